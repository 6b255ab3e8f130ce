// X events of the editor window turned into the editor's input entry points.

#include "graphics/x11/IGraphicsX11.h"

#include "graphics/x11/X11Connection.h"
#include "graphics/x11/X11TextEntry.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdlib>

namespace
{
constexpr Time kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 4;
constexpr unsigned kButtonLeft = 1;
constexpr unsigned kButtonMiddle = 2;
constexpr unsigned kButtonRight = 3;
constexpr unsigned kWheelUp = 4;
constexpr unsigned kWheelDown = 5;

MouseModifiers ModifiersOf(unsigned state)
{
    return MouseModifiers((state & Button1Mask) != 0, (state & Button3Mask) != 0, (state & ShiftMask) != 0,
                          (state & ControlMask) != 0, (state & Mod1Mask) != 0);
}

// The editor's code for a key, or -1 for keys it has none for.
int EditorKeyFor(KeySym key)
{
    switch (key)
    {
        case XK_space: return kKeySpace;
        case XK_Up: return kKeyUp;
        case XK_Down: return kKeyDown;
        case XK_Left: return kKeyLeft;
        case XK_Right: return kKeyRight;
        default: break;
    }
    if (key >= XK_0 && key <= XK_9)
        return kKeyDigit0 + static_cast<int>(key - XK_0);
    if (key >= XK_A && key <= XK_Z)
        return kKeyLetterA + static_cast<int>(key - XK_A);
    if (key >= XK_a && key <= XK_z)
        return kKeyLetterA + static_cast<int>(key - XK_a);
    return -1;
}
} // namespace

void IGraphicsX11::ProcessEvents()
{
    Display* display = XDisplay();
    if (!display)
        return;
    while (mConnection && XPending(display) > 0)
    {
        XEvent event;
        XNextEvent(display, &event);
        HandleEvent(event);
    }
}

void IGraphicsX11::HandleEvent(XEvent& event)
{
    if (event.xany.window != mWindow || !mWindow)
        return;
    switch (event.type)
    {
        case Expose:
        {
            const XExposeEvent& e = event.xexpose;
            const Rect area = Scale().ToLogicalCovering(Rect(e.x, e.y, e.x + e.width, e.y + e.height));
            ExposeArea(area.Intersect(Rect(0, 0, Width(), Height())));
            break;
        }
        case ButtonPress: HandleButton(event.xbutton, true); break;
        case ButtonRelease: HandleButton(event.xbutton, false); break;
        case MotionNotify: HandleMotion(event.xmotion); break;
        case LeaveNotify:
            // A grab (a drag leaving the window) is not the pointer leaving for good.
            if (event.xcrossing.mode == NotifyNormal)
                HandleMouseOut();
            break;
        case FocusOut:
            if (mTextEntry->IsOpen() && event.xfocus.mode == NotifyNormal)
                mTextEntry->SetState(X11TextEntry::kCommitRequested);
            break;
        case KeyPress: HandleKey(event.xkey); break;
        case KeyRelease: PassToHost(event.xkey); break;
        case DestroyNotify:
            // The host destroyed its window with ours inside.
            if (event.xdestroywindow.window == mWindow)
                mWindow = 0;
            break;
        default: break;
    }
}

void IGraphicsX11::HandleButton(const XButtonEvent& event, bool pressed)
{
    const int x = ToLogical(event.x);
    const int y = ToLogical(event.y);
    if (event.button == kWheelUp || event.button == kWheelDown)
    {
        if (!pressed)
            return;
        if (mTextEntry->IsOpen())
            mTextEntry->SetState(X11TextEntry::kCancelRequested);
        else
            HandleMouseWheel(x, y, ModifiersOf(event.state), event.button == kWheelUp ? 1 : -1);
        return;
    }
    if (event.button != kButtonLeft && event.button != kButtonRight && event.button != kButtonMiddle)
        return;
    MouseModifiers mod = ModifiersOf(event.state);
    if (pressed)
    {
        // A click while the entry has the keyboard cancels it; after a repaint it commits it.
        if (mTextEntry->IsOpen())
        {
            mTextEntry->SetState(mTextEntry->HasFocus() ? X11TextEntry::kCancelRequested
                                                        : X11TextEntry::kCommitRequested);
            return;
        }
        XSetInputFocus(XDisplay(), mWindow, RevertToParent, event.time);
        mod.L = mod.L || event.button == kButtonLeft;
        mod.R = mod.R || event.button == kButtonRight;
        const bool doubleClick = event.button == kButtonLeft &&
                                 event.time - mLastPressTime < kDoubleClickMs &&
                                 std::abs(event.x - mLastPressX) <= kDoubleClickSlop &&
                                 std::abs(event.y - mLastPressY) <= kDoubleClickSlop;
        if (event.button == kButtonLeft)
        {
            // A third click starts a new pair.
            mLastPressTime = doubleClick ? 0 : event.time;
            mLastPressX = event.x;
            mLastPressY = event.y;
        }
        if (doubleClick)
            HandleMouseDoubleClick(x, y, mod);
        else
            HandleMouseDown(x, y, mod);
        return;
    }
    if (event.button == kButtonMiddle || mTextEntry->IsOpen())
        return;
    mod.L = event.button == kButtonLeft ? false : mod.L;
    mod.R = event.button == kButtonRight ? false : mod.R;
    HandleMouseUp(x, y, mod);
}

void IGraphicsX11::HandleMotion(const XMotionEvent& event)
{
    const int x = ToLogical(event.x);
    const int y = ToLogical(event.y);
    const MouseModifiers mod = ModifiersOf(event.state);
    if (mod.L || mod.R)
    {
        if (!mTextEntry->IsOpen() && MouseHolder() >= 0)
            HandleMouseDrag(x, y, mod);
        return;
    }
    HandleMouseOver(x, y, mod);
}

void IGraphicsX11::HandleKey(XKeyEvent& event)
{
    char typed[8] = {};
    KeySym key = NoSymbol;
    const int length = XLookupString(&event, typed, sizeof(typed), &key, nullptr);
    if (mTextEntry->IsOpen())
    {
        mTextEntry->HandleKey(key, typed, length, (event.state & ShiftMask) != 0,
                              (event.state & ControlMask) != 0);
        PresentArea(mTextEntry->Area());
        return;
    }
    const int code = EditorKeyFor(key);
    if (code >= 0 && HandleKeyDown(ToLogical(event.x), ToLogical(event.y), code))
        return;
    PassToHost(event);
}

void IGraphicsX11::PassToHost(XKeyEvent& event)
{
    // The host's top-level window: the last ancestor below the root.
    Display* display = XDisplay();
    Window window = mParent;
    for (int depth = 0; window && depth < 64; ++depth)
    {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, window, &root, &parent, &children, &count))
            break;
        if (children)
            XFree(children);
        if (!parent || parent == root)
            break;
        window = parent;
    }
    if (!window)
        return;
    XKeyEvent forwarded = event;
    forwarded.window = window;
    XSendEvent(display, window, True, event.type == KeyPress ? KeyPressMask : KeyReleaseMask,
               reinterpret_cast<XEvent*>(&forwarded));
    XFlush(display);
}

void IGraphicsX11::HideCursorForDrag()
{
    Display* display = XDisplay();
    if (mCursorHidden || !mWindow)
        return;
    Window root = 0;
    Window child = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned state = 0;
    XQueryPointer(display, mWindow, &root, &child, &mCursorHiddenAtX, &mCursorHiddenAtY, &windowX, &windowY,
                  &state);
    if (!mBlankCursor)
    {
        static const char kNoBits[1] = {0};
        Pixmap empty = XCreateBitmapFromData(display, mWindow, kNoBits, 1, 1);
        XColor black = {};
        mBlankCursor = XCreatePixmapCursor(display, empty, empty, &black, &black, 0, 0);
        XFreePixmap(display, empty);
    }
    XDefineCursor(display, mWindow, mBlankCursor);
    XFlush(display);
    mCursorHidden = true;
}

void IGraphicsX11::RestoreCursor()
{
    Display* display = XDisplay();
    if (!mCursorHidden || !mWindow)
        return;
    XUndefineCursor(display, mWindow);
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, mCursorHiddenAtX, mCursorHiddenAtY);
    XFlush(display);
    mCursorHidden = false;
}
