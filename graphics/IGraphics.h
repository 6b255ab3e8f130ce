#pragma once
// The platform-independent half of the plug-in's editor. It owns the controls and a back
// buffer, keeps each control's value in step with its parameter, decides what must be
// redrawn, draws the controls in order into the back buffer, and turns mouse and key input
// (delivered by the window layer) into calls on the controls and on the plug-in.
//
// The window layer derives from it: IGraphicsWin (graphics/win/) on Windows,
// IGraphicsHeadless elsewhere; MakeEditorWindowLayer (EditorWindowLayer.h) picks one.
// It supplies the window and the operating-system services (the operations marked "window
// layer" below) and drives the redraw cycle from its timer:
//
//     Rect dirty;                        // every frame, on the window thread
//     if (CollectDirtyArea(dirty))
//         ... invalidate `dirty`; the paint request then calls Redraw(updateRect) ...
//     Redraw(rect)  ->  controls drawn clipped into the back buffer  ->  PresentArea(rect)
//
// What else a window layer uses from here: the Handle... input entry points (HandleMouseDrag
// for moves with a button held), WheelNotches for wheel deltas, ReleaseMouse before a menu
// takes the mouse, MarkAllControlsChanged once a window is open, EntryAcceptsChar and
// CommitEnteredText for the in-place text entry, PopupMenu's command-id numbering
// (FirstCommandId, FindByCommandId, ItemLabel) for native menus, and BackBuffer(),
// ModuleHandle(), FrameRate() and the switches.
//
// Scale: the layout is in logical pixels (the editor at 100 %); at another scale (EditorScale)
// the back buffer and the window are physical pixels, and the drawing primitives below draw
// each control at physical resolution from the images rendered for that scale. Controls,
// hit tests, the Handle... entry points and CollectDirtyArea stay logical; PresentArea,
// BackBuffer() and WindowSize() are physical. The window layer converts mouse positions and
// paint areas with Scale().
//
// Threads: everything runs on the editor's window thread except PushValueToControls, which
// the plug-in core calls from whatever thread changed a parameter; it only stores values and
// flags in the controls (atomics, no locks, no allocation), which the next frame picks up.
// The module-wide bitmap and font caches are shared by every editor of the module and each
// sits behind its own lock.
//
// The plug-in core owns the editor once AttachEditor has taken it (through EditorLink).

#include "framework/EditorLink.h"
#include "graphics/EditorScale.h"
#include "graphics/IControl.h"
#include "graphics/IGraphicsTypes.h"
#include "graphics/PopupMenu.h"

#include <memory>
#include <string>
#include <vector>

class IFileSelectorControl;
class IPlugBase;
class LICE_IBitmap;
class LICE_MemBitmap;
class LICE_SysBitmap;
class PluginParameter;

class IGraphics : public EditorLink
{
public:
    // Results of AskUser (the platform's message-box answers).
    static constexpr int kAskUserOk = 1;
    static constexpr int kAskUserCancel = 2;
    static constexpr int kAskUserYes = 6;
    static constexpr int kAskUserNo = 7;
    // AskForFile actions.
    static constexpr int kFileOpen = 0;
    static constexpr int kFileSave = 1;
    // A wheel notch in the platform's wheel units.
    static constexpr int kWheelDeltaPerNotch = 120;

    IGraphics(IPlugBase* plug, int width, int height, int frameRate);
    IGraphics(const IGraphics&) = delete;
    IGraphics& operator=(const IGraphics&) = delete;

    // ---- Virtual operations, in their fixed order -------------------------------------

    // 0. Copies a rectangle of the back buffer (physical pixels) to the window. [window thread]
    virtual void PresentArea(const Rect& rect) = 0;
    // 1. Measures text with the style's font and places the box in `rect` by the alignment;
    // false when the font cannot be made. [window thread]
    virtual bool MeasureStyledText(TextStyle& style, const char* text, Rect& rect);
    // 2. Asks an open text entry to close without applying. [window thread]
    virtual void CancelTextEntry() = 0;
    // 3. Sets a new size: destroys every control and both bitmaps, makes new ones and tells
    // the plug-in. The window layer checks for a change first and resizes its windows after.
    // [window thread, takes the plug-in lock while the controls change, since pushes from
    // other threads walk them under that lock; the plug-in is told after, outside it]
    virtual void Resize(int width, int height);
    // 4. True while the editor window exists. [window thread]
    bool HasWindow() override;
    // 5. The name of the drawing interface; empty here. [any thread]
    virtual const char* GetDrawingApiName();
    // 6. A modal message box; returns the platform's answer (kAskUser...). [window thread]
    virtual int AskUser(const char* text, const char* caption, int type) = 0;
    // 7. Shows the menu below `rect`; returns the menu holding the chosen item (with its
    // chosen index set), or none when dismissed. [window thread]
    virtual PopupMenu* ShowPopupMenu(PopupMenu& menu, const Rect& rect) = 0;
    // 8. Opens an in-place text entry over `rect`. With a parameter the typed text becomes a
    // value (CommitEnteredText); without one the control gets ApplyEnteredText.
    // [window thread]
    virtual void OpenTextEntry(IControl* control, const TextStyle& style, const Rect& rect,
                               const char* initialText, PluginParameter* param) = 0;
    // 9. Folder of the host's executable, ending in a separator; empty when unknown. [window thread]
    virtual void HostFolder(std::string& folder) = 0;
    // 10. Folder of the plug-in module, ending in a separator; empty when unknown. [window thread]
    virtual void PluginFolder(std::string& folder) = 0;
    // 11. [window thread]
    virtual void DesktopFolder(std::string& folder) = 0;
    // 12. The application-data folder for all users (true) or the current user. [window thread]
    virtual void AppDataFolder(std::string& folder, bool forAllUsers) = 0;
    // 13. [window thread]
    virtual void UserAppDataFolder(std::string& folder) = 0;
    // 14. A modal open (kFileOpen) or save (kFileSave) dialog. `extensions` are separated by
    // single spaces. On success `file` is the full path and `folder` its folder; cancelled,
    // `file` is empty. [window thread]
    virtual void AskForFile(std::string& file, int action, std::string& folder, const char* extensions) = 0;
    // 15. A modal colour dialog; true when the user chose (alpha is kept). [window thread]
    virtual bool AskForColor(Color& color, const char* title) = 0;
    // 16. Opens a web address, asking first when `question` is given. [window thread]
    virtual bool OpenWebAddress(const char* url, const char* title, const char* question,
                                const char* errorMessage) = 0;
    // 17. Answers false. [window thread]
    virtual bool ReservedQuery17();
    // 18. Opens the editor window inside the host's parent window; none on failure.
    // [window thread]
    virtual EditorWindowHandle CreateEditorWindow(EditorWindowHandle parent) = 0;
    // 19. A hook without effect. [window thread]
    virtual void ReservedHook19();
    // 20. A hook without effect. [window thread]
    virtual void ReservedHook20();
    // 21. Closes the window; controls and bitmaps stay for the next opening. [window thread]
    virtual void DestroyEditorWindow() = 0;
    // 22. The open editor window, or none. [window thread]
    virtual EditorWindowHandle EditorWindow() = 0;
    // 23. The clipboard's text as UTF-8; false (and empty) without any. [window thread]
    virtual bool ReadClipboardText(std::string& text) = 0;
    // 24. Destroys the key catcher, the controls from last to first, then the bitmaps.
    // [the thread that destroys the instance]
    ~IGraphics() override;
    // 25. [window thread]
    virtual void HideCursorForDrag() = 0;
    // 26. [window thread]
    virtual void RestoreCursor() = 0;
    // 27. A hook without effect. [window thread]
    virtual void ReservedHook27();
    // 28. Decodes an image of the module; none when it cannot.
    // [window thread or constructing thread]
    virtual std::unique_ptr<LICE_IBitmap> LoadPlatformImage(int resourceId, const char* fileName) = 0;
    // 29. Starts the control's file dialog in the background, so the host's UI thread goes on
    // meanwhile; the control hears the answer through FinishSelection. False when the layer
    // has only the modal AskForFile (the default). [window thread]
    virtual bool StartFileDialog(IFileSelectorControl* control);
    // 30. The scale changed (the back buffer already has the new size): an open window takes
    // WindowSize() and is redrawn whole. [window thread]
    virtual void ScaleChanged();
    // 31. The scale the screen asks for when the host gives none, read as the window opens in
    // `parent`; 1 (the default) where the layer has no such setting. [window thread]
    virtual double SystemScale(EditorWindowHandle parent);

    // ---- EditorLink -------------------------------------------------------------------

    // Pushes a plug-in value into every control bound to the parameter (directly or as an
    // auxiliary parameter). A plain value is clamped and normalised first.
    // [any thread: only stores and marks]
    void PushValueToControls(int paramIndex, double value, bool normalized) override;
    // Creates the back buffer at the editor's size and a new spare bitmap.
    // [constructing thread, under the plug-in lock]
    void PrepareDrawing() override;
    // CreateEditorWindow in the parent, at the screen's scale unless the host chose one (the
    // host is told when that changed the size); false when it made none. [window thread]
    bool OpenWindow(void* parent) override;
    // DestroyEditorWindow. [window thread]
    void CloseWindow() override;
    // The window's width and height: the editor's, in physical pixels. [window thread]
    EditorSize WindowSize() const override;
    // The host's scale (SetScale); from now on it wins over the screen's. [main thread]
    void SetContentScale(double factor) override;
    // The module set with SetModuleHandle. [any thread]
    void* ModuleHandle() const override { return mModule; }

    // ---- Controls ---------------------------------------------------------------------

    // Appends the control and makes this its editor; returns it, or none for none.
    // [constructing thread]
    IControl* AddControl(std::unique_ptr<IControl> control);
    // Loads the image and inserts a copy-blended background control at index 0.
    // [constructing thread]
    IControl* SetBackgroundImage(int resourceId, const char* fileName);
    // The image through the module-wide cache (loaded on the first request). A failed load
    // gives a reference without a bitmap and is tried again at the next request.
    // [window or constructing thread; takes the bitmap cache's lock]
    BitmapRef GetImage(int resourceId, const char* fileName, int frames = 1, bool horizontal = false);
    int NumControls() const { return static_cast<int>(mControls.size()); }
    // The control at the index, or none.
    IControl* GetControl(int index) const;
    // The control that gets keys no control under the mouse takes (replaces any).
    void SetKeyCatcher(std::unique_ptr<IControl> control);
    IControl* KeyCatcher() const { return mKeyCatcher.get(); }
    // Opens a popup menu (enumerations and switches with texts) or a text entry for the
    // parameter over `rect`. [window thread]
    void PromptForParameterValue(IControl* control, PluginParameter* param, const Rect& rect);

    // ---- Drawing (into the back buffer, cut to the clip rectangle) ---------------------

    // [window thread] for all five.
    bool DrawBitmapRegion(const BitmapRef& bitmap, const Rect& dest, int srcX, int srcY,
                          const BlendSpec* blend = nullptr);
    // `frame` counts from 1.
    bool DrawBitmapFrame(const BitmapRef& bitmap, const Rect& dest, int frame,
                         const BlendSpec* blend = nullptr);
    bool FillColorRect(const Color& color, const Rect& rect, const BlendSpec* blend = nullptr);
    // Empty text draws nothing and succeeds; false when no font can be made.
    bool DrawStyledText(TextStyle& style, const char* text, const Rect& rect);
    const Rect& ClipRect() const { return mClipRect; }
    void SetClipRect(const Rect& rect) { mClipRect = rect; }

    // ---- The redraw cycle -------------------------------------------------------------

    // Grows `rect` by every control that needs redrawing; true when any did. [window thread]
    bool CollectDirtyArea(Rect& rect);
    // Draws what `rect` needs into the back buffer and presents it. [window thread]
    void Redraw(const Rect& rect);
    // Marks every control changed without telling the plug-in, so the next frame draws all.
    // [window thread]
    void MarkAllControlsChanged();

    // ---- Input from the window layer (all [window thread]) ----------------------------

    void HandleMouseDown(int x, int y, const MouseModifiers& mod);
    void HandleMouseUp(int x, int y, const MouseModifiers& mod);
    // A move with a button held: reaches the mouse holder when the position changed.
    void HandleMouseDrag(int x, int y, const MouseModifiers& mod);
    // True when the control took the double click as a click (capture the mouse then).
    bool HandleMouseDoubleClick(int x, int y, const MouseModifiers& mod);
    void HandleMouseWheel(int x, int y, const MouseModifiers& mod, int notches);
    // True when mouse-over tracking is on and the move was handled.
    bool HandleMouseOver(int x, int y, const MouseModifiers& mod);
    void HandleMouseOut();
    // True when a control used the key; otherwise the window layer passes it to the host.
    bool HandleKeyDown(int x, int y, int key);
    // Whole notches of a platform wheel delta; partial notches count 0.
    static int WheelNotches(int wheelDelta) { return wheelDelta / kWheelDeltaPerNotch; }

    // ---- Text entry helpers for the window layer --------------------------------------

    // Whether the entry for `param` (none: any text) accepts the typed character.
    static bool EntryAcceptsChar(const PluginParameter* param, int ch);
    // Applies the text of a committed entry: with a parameter as a value (display texts
    // for switches and enumerations, else the leading decimal number), else as text.
    static void CommitEnteredText(IControl* control, const PluginParameter* param, const char* text);

    // ---- Scale ------------------------------------------------------------------------

    const EditorScale& Scale() const { return mScale; }
    // Draws at the factor from now on (kept to EditorScale's range): a new back buffer, a
    // whole redraw, the window resized (ScaleChanged) and, with a window open, the host told
    // the new size. [window thread]
    void SetScale(double factor);
    // True once the host has given a scale, which the screen's then no longer changes.
    bool HostChoseScale() const { return mHostChoseScale; }
    // The image drawn at the current scale for a 1x image: its own bitmap at 100 %, else the
    // bitmap rendered for the scale (or reduced from the next larger rendering), decoded into
    // the module-wide cache on first use; none when the module has no such image.
    // [window thread; takes the bitmap cache's lock]
    LICE_IBitmap* ImageAtScale(const BitmapRef& image);

    // ---- State ------------------------------------------------------------------------

    IPlugBase* GetPlug() const { return mPlug; }
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    int FrameRate() const { return mFrameRate; }
    // The interval of the window layer's redraw timer; an editor made without a frame rate
    // ticks at 25 frames a second.
    int TickMilliseconds() const { return 1000 / (mFrameRate > 0 ? mFrameRate : 25); }
    LICE_SysBitmap* BackBuffer() const { return mBackBuffer.get(); }
    // The module whose resources hold the images (MakeEditorWindowLayer sets it; tests may
    // point it elsewhere). [constructing thread]
    void SetModuleHandle(LICE_HMODULE module) { mModule = module; }

    int MouseHolder() const { return mMouseHolder; }
    int HoveredControl() const { return mMouseOverIndex; }
    int MouseX() const { return mMouseX; }
    int MouseY() const { return mMouseY; }
    // Forgets the mouse holder and position (menus and dialogs take the mouse away).
    void ReleaseMouse();

    bool MouseOverTracking() const { return mMouseOverTracking; }
    void SetMouseOverTracking(bool on) { mMouseOverTracking = on; }
    bool StrictDrawing() const { return mStrictDrawing; }
    void SetStrictDrawing(bool on) { mStrictDrawing = on; }
    bool TooltipsEnabled() const { return mTooltips; }
    void SetTooltipsEnabled(bool on) { mTooltips = on; }

    // The topmost visible, not grayed control whose HitTest answers true; -1 for none.
    int FindControlAt(int x, int y, bool allowGrayedMouseOver = false) const;

private:
    void DrawControl(IControl& control);
    void RedrawStrict(const Rect& rect);
    void RedrawIncremental();
    void DestroyControls();
    void MakeBitmaps();
    void DrawScaled(LICE_IBitmap* image, const Rect& dest, int srcX, int srcY, int maxWidth, int maxHeight,
                    const BlendSpec* blend);
    LICE_IBitmap* ReducedImage(const BitmapRef& image, int setPercent);
    void PromptWithTextEntry(IControl* control, PluginParameter* param, const Rect& rect);
    void PromptWithMenu(IControl* control, PluginParameter* param, const Rect& rect);

    IPlugBase* mPlug = nullptr;
    LICE_HMODULE mModule = nullptr;
    std::vector<std::unique_ptr<IControl>> mControls; // index 0 is the background
    Rect mClipRect;
    std::unique_ptr<LICE_SysBitmap> mBackBuffer;
    std::unique_ptr<LICE_MemBitmap> mSpareBitmap;
    int mWidth = 0;
    int mHeight = 0;
    int mFrameRate = 0;
    EditorScale mScale;
    bool mHostChoseScale = false;
    int mMouseHolder = -1;
    int mMouseOverIndex = -1;
    int mMouseX = -1;
    int mMouseY = -1;
    bool mMouseOverTracking = false;
    bool mStrictDrawing = true;
    bool mTooltips = false;
    std::unique_ptr<IControl> mKeyCatcher;
};
