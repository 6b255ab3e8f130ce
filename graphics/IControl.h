#pragma once
// One rectangular element of the editor. It draws itself into the editor's back buffer,
// reacts to the mouse and usually mirrors one plug-in parameter as a normalised value 0..1.
// The editor owns its controls; a control talks back to the plug-in through
// SetParameterFromEditor when the user changes it.
//
// Two threads touch a control. The window thread does everything: input, drawing, the
// redraw bookkeeping. The plug-in core also pushes values in from whatever thread changed a
// parameter (the audio thread for host automation): ReceiveValueFromPlugin and
// ReceiveAuxValueFromPlugin. What those two write (the value, the default, the auxiliary
// values and the redraw flags) is therefore held in atomics: a push never locks or
// allocates, and the window thread always sees either the old or the new value. The dirty
// and redraw-requested flags share one atomic word, ClearChanged updates it in one step,
// and a push requests its redraw before it marks the control dirty: so a push landing while
// a frame is drawn is never cleared by that frame's ClearChanged.

#include "graphics/IGraphicsTypes.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>

class IGraphics;
class IPlugBase;
class ITextControl;
class PluginParameter;

class IControl
{
public:
    static constexpr int kDefaultTextEntryLength = 7;

    IControl(IPlugBase* plug, const Rect& rect, int paramIndex = -1, const BlendSpec& blend = BlendSpec());
    IControl(const IControl&) = delete;
    IControl& operator=(const IControl&) = delete;

    // ---- Virtual operations, in their fixed order -------------------------------------

    // 0. Frees the tooltip text and the auxiliary list. [window thread]
    virtual ~IControl();
    // 1. With the right button: prompts for a value (when prompts are enabled). [window thread]
    virtual void MouseDown(int x, int y, const MouseModifiers& mod);
    // 2. [window thread]
    virtual void MouseUp(int x, int y, const MouseModifiers& mod);
    // 3. [window thread, the control holds the mouse]
    virtual void MouseDrag(int x, int y, int dX, int dY, const MouseModifiers& mod);
    // 4. Restores the first value the plug-in pushed, once one is known. [window thread]
    virtual void MouseDoubleClick(int x, int y, const MouseModifiers& mod);
    // 5. [window thread]
    virtual void MouseWheel(int x, int y, const MouseModifiers& mod, int notches);
    // 6. Returns true when the key was used. [window thread]
    virtual bool KeyDown(int x, int y, int key);
    // 7. [window thread]
    virtual void MouseOver(int x, int y, const MouseModifiers& mod);
    // 8. [window thread]
    virtual void MouseOut();
    // 9. Draws into the editor's back buffer, clipped by the editor. [window thread]
    virtual bool Draw(IGraphics& graphics) = 0;
    // 10. The plug-in's value for the bound parameter (normalised). The first one also
    // becomes the default. [any thread: only stores and marks]
    virtual void ReceiveValueFromPlugin(double value);
    // 11. A value the user chose through a prompt; tells the plug-in. [window thread]
    virtual void ApplyUserValue(double value);
    // 12. Text typed into an entry opened for no parameter. [window thread]
    virtual void ApplyEnteredText(const char* text);
    // 13. [window thread]
    virtual void SetHidden(bool hidden);
    // 14. Grayed controls are not hit and draw at weight 0.25. [window thread]
    virtual void SetGrayed(bool grayed);
    // 15. [window thread]
    virtual bool HitTest(int x, int y);
    // 16. Clamps the value and marks the control dirty; with notifyPlugin also sends the
    // value to the plug-in and updates the attached display texts.
    // [window thread; pushes from the plug-in come here with notifyPlugin false]
    virtual void MarkChanged(bool notifyPlugin);
    // 17. After a frame: stays dirty only when a redraw was requested meanwhile. [window thread]
    virtual void ClearChanged();
    // 18. [window thread]
    virtual bool NeedsRedraw();
    // 19. A hook without effect. [window thread]
    virtual void ReservedHook19();
    // 20. The plug-in's value of an auxiliary parameter. [any thread: only stores and marks]
    virtual void ReceiveAuxValueFromPlugin(int position, double value);

    // ---- Bookkeeping ------------------------------------------------------------------

    IPlugBase* GetPlug() const { return mPlug; }
    // The editor that holds the control, or none before one took it.
    IGraphics* GetGUI() const { return mGraphics; }
    // [constructing thread] the editor taking the control says so.
    void SetGUI(IGraphics* graphics) { mGraphics = graphics; }
    const Rect& GetRect() const { return mRect; }
    void SetRect(const Rect& rect) { mRect = rect; }
    const Rect& GetTargetRect() const { return mTargetRect; }
    void SetTargetRect(const Rect& rect) { mTargetRect = rect; }
    int ParamIndex() const { return mParamIndex; }
    // The bound parameter, or none.
    PluginParameter* GetParam() const;

    double GetValue() const { return mValue.load(std::memory_order_acquire); }
    // Sets the value without marking anything (layout code and tests).
    void SetValue(double value) { mValue.store(value, std::memory_order_release); }
    // The value a double click restores; below 0 while unknown.
    double GetDefaultValue() const { return mDefaultValue.load(std::memory_order_acquire); }
    void SetClamp(double lower, double upper);

    bool IsHidden() const { return mHidden.load(std::memory_order_acquire); }
    bool IsGrayed() const { return mGrayed.load(std::memory_order_acquire); }
    const BlendSpec& GetBlend() const { return mBlend; }

    TextStyle& GetTextStyle() { return mTextStyle; }
    void SetTextStyle(const TextStyle& style) { mTextStyle = style; }
    int TextEntryLength() const { return mTextEntryLength; }
    void SetTextEntryLength(int characters) { mTextEntryLength = characters; }

    // Right-click prompts are off by default.
    void SetPromptsEnabled(bool enabled) { mPromptsDisabled = !enabled; }
    bool PromptsEnabled() const { return !mPromptsDisabled; }
    void SetDoubleClickAsSingleClick(bool single) { mDoubleClickAsSingle = single; }
    bool DoubleClickAsSingleClick() const { return mDoubleClickAsSingle; }
    void SetMouseOverWhenGrayed(bool accept) { mMouseOverWhenGrayed = accept; }
    bool MouseOverWhenGrayed() const { return mMouseOverWhenGrayed; }

    // Text controls that show this control's parameter value and name after user changes.
    void SetValueDisplayControl(ITextControl* control) { mValueDisplay = control; }
    void SetNameDisplayControl(ITextControl* control) { mNameDisplay = control; }

    const std::string& Tooltip() const { return mTooltip; }
    void SetTooltip(const char* text) { mTooltip = text ? text : ""; }

    // Auxiliary parameters: further parameters whose values the control follows.
    // [window thread, before the editor is attached]
    void AddAuxParam(int paramIndex);
    int NumAuxParams() const { return static_cast<int>(mAuxParams.size()); }
    // The parameter at the position, or -1.
    int AuxParamIndex(int position) const;
    // The position of the first entry for the parameter, or -1.
    int FindAuxParam(int paramIndex) const;
    double AuxValue(int position) const;

    // Asks for one more frame after the next one. [any thread: only marks]
    void RequestRedraw() { mRedrawFlags.fetch_or(kRedrawRequested, std::memory_order_acq_rel); }
    // Opens the editor's value prompt for the bound parameter (see MouseDown). [window thread]
    void PromptUserInput();

protected:
    // Sets the value; used by subclasses that change it from the window thread.
    void StoreValue(double value) { mValue.store(value, std::memory_order_release); }
    bool IsDirty() const { return (mRedrawFlags.load(std::memory_order_acquire) & kDirty) != 0; }
    BlendSpec& Blend() { return mBlend; }

private:
    static constexpr uint32_t kDirty = 1;
    static constexpr uint32_t kRedrawRequested = 2;

    struct AuxParam
    {
        explicit AuxParam(int index) : paramIndex(index) {}
        std::atomic<double> value{0.0};
        int paramIndex = -1;
    };

    // Clamps the value to the clamp range and marks the control dirty.
    void ClampAndMarkDirty();
    void UpdateDisplayControls(PluginParameter& param);

    int mTextEntryLength = kDefaultTextEntryLength;
    TextStyle mTextStyle;
    IPlugBase* mPlug = nullptr;
    IGraphics* mGraphics = nullptr;
    Rect mRect;
    Rect mTargetRect;
    int mParamIndex = -1;
    std::deque<AuxParam> mAuxParams; // a deque: entries hold atomics and never move
    std::atomic<double> mValue{0.0};
    std::atomic<double> mDefaultValue{-1.0};
    double mClampLow = 0.0;
    double mClampHigh = 1.0;
    std::atomic<uint32_t> mRedrawFlags{kDirty};
    std::atomic<bool> mHidden{false};
    std::atomic<bool> mGrayed{false};
    bool mPromptsDisabled = true;
    bool mDoubleClickAsSingle = false;
    bool mMouseOverWhenGrayed = false;
    BlendSpec mBlend;
    ITextControl* mValueDisplay = nullptr;
    ITextControl* mNameDisplay = nullptr;
    std::string mTooltip;
};
