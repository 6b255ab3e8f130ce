#pragma once
// One editor window's own connection to the X server, with the atoms the layer uses. Each
// open window has its own, so closing the window frees every X resource it made.
// [window thread]

#include <X11/Xlib.h>

class X11Connection
{
public:
    // Connects to $DISPLAY; IsOpen() tells whether that worked.
    X11Connection();
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    bool IsOpen() const { return mDisplay != nullptr; }
    Display* Get() const { return mDisplay; }
    int Fd() const { return mDisplay ? ConnectionNumber(mDisplay) : -1; }
    // Waits at most `milliseconds` for the connection to become readable; true when it did.
    bool WaitReadable(int milliseconds) const;
    // Waits at most `milliseconds` for a file descriptor to become readable.
    static bool WaitFd(int fd, int milliseconds);

    Atom xembedInfo = 0;
    Atom clipboard = 0;
    Atom utf8String = 0;
    Atom transferProperty = 0;

private:
    Display* mDisplay = nullptr;
};

// Milliseconds on the monotonic clock.
long long X11NowMs();

// The editor scale of the display's Xft.dpi resource (96 dpi is 1); 1 without the resource.
double X11DpiScale(Display* display);
// The dots per inch an X resource string (as XResourceManagerString gives it) sets for
// Xft.dpi; 0 when it sets none or no positive number.
double ParseXftDpi(const char* resources);
