#include "graphics/x11/X11Connection.h"

#include <poll.h>
#include <time.h>

X11Connection::X11Connection() : mDisplay(XOpenDisplay(nullptr))
{
    if (!mDisplay)
        return;
    xembedInfo = XInternAtom(mDisplay, "_XEMBED_INFO", False);
    clipboard = XInternAtom(mDisplay, "CLIPBOARD", False);
    utf8String = XInternAtom(mDisplay, "UTF8_STRING", False);
    transferProperty = XInternAtom(mDisplay, "KESTRUM_TRANSFER", False);
}

X11Connection::~X11Connection()
{
    if (mDisplay)
        XCloseDisplay(mDisplay);
}

bool X11Connection::WaitReadable(int milliseconds) const
{
    if (!mDisplay)
        return false;
    if (XPending(mDisplay) > 0)
        return true;
    return WaitFd(ConnectionNumber(mDisplay), milliseconds);
}

bool X11Connection::WaitFd(int fd, int milliseconds)
{
    pollfd watched = {fd, POLLIN, 0};
    return poll(&watched, 1, milliseconds) > 0;
}

long long X11NowMs()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}
