#pragma once
// What a Linux host gives a plug-in editor: a mapped top-level X window to embed the editor's
// window in (its id is the parent handed to the plug-in), on a connection of the host's own.
// Input is real: XTest moves the pointer and presses buttons through the server, as a user's
// would arrive; pixels are read back from the embedded window with XGetImage.
//
// Linux only. Everything runs on the thread that created it (the host's UI thread).

#ifndef _WIN32

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <vector>

class X11HostWindow
{
public:
    // A window at (x, y) of the given size on $DISPLAY; Open() tells whether that worked.
    X11HostWindow(int x, int y, int width, int height);
    ~X11HostWindow();
    X11HostWindow(const X11HostWindow&) = delete;
    X11HostWindow& operator=(const X11HostWindow&) = delete;

    bool Open() const { return window != 0; }
    Display* XDisplay() const { return display; }
    Window Id() const { return window; }
    // The window id as plug-in interfaces take a parent window.
    void* Handle() const;
    // The embedded windows (the editor's), in stacking order.
    std::vector<Window> Children() const;

    // Real input at coordinates of this window.
    void MoveTo(int x, int y);
    void Button(bool down, unsigned button = 1);
    // A vertical drag with the left button from (x, y), in steps of a few pixels (negative dy
    // is upward); `pump` runs the plug-in's side between the steps.
    template <class Pump>
    void Drag(int x, int y, int dy, Pump pump)
    {
        MoveTo(x, y);
        Button(true);
        pump();
        const int step = dy < 0 ? -4 : 4;
        for (int moved = 0; moved != dy;)
        {
            moved = (dy - moved) / step > 0 ? moved + step : dy;
            MoveTo(x, y + moved);
            pump();
        }
        Button(false);
        pump();
    }
    // Every request so far has reached the server.
    void Sync() const;

    // The pixels (0x00RRGGBB, rows top-down) of a rectangle of `child`; empty when unreadable.
    std::vector<uint32_t> Read(Window child, int left, int top, int right, int bottom) const;
    // Runs `pump` until the rectangle of `child` shows a picture (not all black) that is the
    // same in two reads in a row, and returns it; empty after `timeoutMs`.
    std::vector<uint32_t> WaitForPicture(Window child, int left, int top, int right, int bottom,
                                         const std::function<void()>& pump, int timeoutMs) const;

private:
    Display* display = nullptr;
    Window window = 0;
};

#endif
