#pragma once
// The in-place text entry of the X11 editor, drawn by the layer over the editor window: one
// line with a caret and a selection (all of it at first), the character filter of the
// parameter, and at most the control's text-entry length of characters. As on Windows,
// nothing is applied from inside the key handling; the editor's tick acts on the request:
//
//   state 0 idle      the entry is open                        (tick: redraw as usual)
//   state 1 focused   the entry has the keyboard               (editor does not repaint)
//   state 2 repainted the editor repainted around the entry    (tick: back to 0)
//   state 3 cancel    Escape, a click while focused, the wheel (tick: close, discard)
//   state 4 commit    Return, focus lost, a click after repaint (tick: apply, close)
//
// [window thread] for everything.

#include "graphics/IGraphicsTypes.h"
#include "graphics/raster/LICE_SysBitmap.h"

#include <string>

#include <X11/Xlib.h>

class IControl;
class PluginParameter;

class X11TextEntry
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

    // Nothing happens without a control or while an entry is open.
    void Open(IControl* control, const TextStyle& style, const Rect& rect, const char* initialText,
              PluginParameter* param);
    // The tick's part: true when the entry used this tick (state 2, 3 or 4).
    bool OnTimerTick();
    void Close();
    // Edits the text for a key press (the typed characters as XLookupString gave them).
    void HandleKey(KeySym key, const char* typed, int length, bool shift, bool control);
    // Draws the entry over the window (nothing while closed). The entry's rectangle and text
    // style are the window's pixels, already scaled by the editor.
    void Present(Display* display, Window window, GC gc, Visual* visual, int depth);

    bool IsOpen() const { return mControl != nullptr; }
    bool HasFocus() const { return IsOpen() && mState == kFocused; }
    int GetState() const { return mState; }
    void SetState(int state) { mState = state; }
    const std::string& Text() const { return mText; }
    const Rect& Area() const { return mRect; }

private:
    void Draw();
    void Insert(const std::string& characters);
    void DeleteSelection();
    bool HasSelection() const { return mAnchor != mCaret; }

    IControl* mControl = nullptr;
    PluginParameter* mParam = nullptr;
    TextStyle mStyle;
    Rect mRect;
    std::string mText;
    size_t mCaret = 0;
    size_t mAnchor = 0;
    int mMaxLength = 0;
    int mState = kIdle;
    LICE_SysBitmap mCanvas;
};
