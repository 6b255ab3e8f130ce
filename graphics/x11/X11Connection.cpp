#include "graphics/x11/X11Connection.h"

#include <cstring>

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

double ParseXftDpi(const char* resources)
{
    static const char kName[] = "Xft.dpi:";
    const size_t nameLength = sizeof(kName) - 1;
    for (const char* line = resources; line && *line;)
    {
        if (std::strncmp(line, kName, nameLength) == 0)
        {
            // Digits by hand: the host may have set a locale with a decimal comma.
            const char* p = line + nameLength;
            while (*p == ' ' || *p == '\t')
                ++p;
            double value = 0.0;
            bool digits = false;
            for (; *p >= '0' && *p <= '9' && value < 1e6; ++p, digits = true)
                value = value * 10.0 + (*p - '0');
            if (*p == '.')
                for (double place = 0.1; *++p >= '0' && *p <= '9'; place /= 10.0, digits = true)
                    value += (*p - '0') * place;
            return digits && value > 0.0 ? value : 0.0;
        }
        line = std::strchr(line, '\n');
        if (line)
            ++line;
    }
    return 0.0;
}

double X11DpiScale(Display* display)
{
    const double dpi = display ? ParseXftDpi(XResourceManagerString(display)) : 0.0;
    return dpi > 0.0 ? dpi / 96.0 : 1.0;
}
