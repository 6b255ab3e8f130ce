#pragma once
// The in-place text entry of the Windows editor: a single-line EDIT child of the editor
// window, subclassed to filter characters and to turn Return, Escape and focus changes
// into requests. Nothing is applied from inside the entry's own messages; the editor's
// timer acts on the request at its next tick (within one frame):
//
//   state 0 idle      the entry is open, or no entry          (tick: redraw as usual)
//   state 1 focused   the entry received the focus            (editor ignores ticks/paints)
//   state 2 repainted the editor repainted around the entry   (tick: back to 0)
//   state 3 cancel    Escape, a click while focused, the wheel (tick: close, discard)
//   state 4 commit    Return, focus lost, any other click      (tick: apply, close)
//
// [window thread] for everything.

#include <windows.h>

class IControl;
class PluginParameter;
struct Rect;
struct TextStyle;

class WinTextEntry
{
public:
    enum State : int
    {
        kIdle = 0,
        kFocused = 1,
        kRepainted = 2,
        kCancelRequested = 3,
        kCommitRequested = 4,
    };
    static constexpr int kControlId = 99;

    WinTextEntry() = default;
    WinTextEntry(const WinTextEntry&) = delete;
    WinTextEntry& operator=(const WinTextEntry&) = delete;
    ~WinTextEntry();

    // Nothing happens without a control or while an entry is open.
    void Open(HWND editorWindow, IControl* control, const TextStyle& style, const Rect& rect,
              const char* initialText, PluginParameter* param);
    // The timer's part: true when the entry used this tick (state 2, 3 or 4).
    bool OnTimerTick();
    // Restores the previous procedure, destroys the field and its font, forgets everything.
    void Close();

    bool IsOpen() const { return mWnd != nullptr; }
    bool HasFocus() const { return IsOpen() && mState == kFocused; }
    HWND Window() const { return mWnd; }
    IControl* Control() const { return mControl; }
    int GetState() const { return mState; }
    void SetState(int state) { mState = state; }

private:
    static LRESULT CALLBACK EntryProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Commit();

    HWND mWnd = nullptr;
    HFONT mFont = nullptr;
    WNDPROC mPreviousProc = nullptr;
    IControl* mControl = nullptr;
    PluginParameter* mParam = nullptr;
    int mState = kIdle;
};
