#include "tests/support/X11HostWindow.h"

#ifndef _WIN32

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>

X11HostWindow::X11HostWindow(int x, int y, int width, int height) : display(XOpenDisplay(nullptr))
{
    if (!display)
        return;
    window = XCreateSimpleWindow(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 0, 0, 0);
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    XEvent event;
    XIfEvent(
        display, &event, [](Display*, XEvent* e, XPointer) -> Bool { return e->type == MapNotify; }, nullptr);
}

X11HostWindow::~X11HostWindow()
{
    if (!display)
        return;
    if (window)
        XDestroyWindow(display, window);
    XCloseDisplay(display);
}

void* X11HostWindow::Handle() const { return reinterpret_cast<void*>(static_cast<uintptr_t>(window)); }

std::vector<Window> X11HostWindow::Children() const
{
    Sync();
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, window, &root, &parent, &children, &count) && children)
    {
        result.assign(children, children + count);
        XFree(children);
    }
    return result;
}

void X11HostWindow::MoveTo(int x, int y)
{
    int screenX = 0;
    int screenY = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &screenX, &screenY, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), screenX, screenY, CurrentTime);
    Sync();
}

void X11HostWindow::Button(bool down, unsigned button)
{
    XTestFakeButtonEvent(display, button, down ? True : False, CurrentTime);
    Sync();
}

void X11HostWindow::Sync() const { XSync(display, False); }

std::vector<uint32_t> X11HostWindow::Read(Window child, int left, int top, int right, int bottom) const
{
    std::vector<uint32_t> pixels;
    if (!child || right <= left || bottom <= top)
        return pixels;
    Sync();
    XImage* image = XGetImage(display, child, left, top, static_cast<unsigned>(right - left),
                              static_cast<unsigned>(bottom - top), AllPlanes, ZPixmap);
    if (!image)
        return pixels;
    pixels.reserve(static_cast<size_t>(right - left) * (bottom - top));
    for (int y = 0; y < bottom - top; ++y)
        for (int x = 0; x < right - left; ++x)
            pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF);
    XDestroyImage(image);
    return pixels;
}

std::vector<uint32_t> X11HostWindow::WaitForPicture(Window child, int left, int top, int right, int bottom,
                                                    const std::function<void()>& pump, int timeoutMs) const
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<uint32_t> before;
    while (std::chrono::steady_clock::now() < end)
    {
        pump();
        std::vector<uint32_t> now = Read(child, left, top, right, bottom);
        const bool drawn = std::any_of(now.begin(), now.end(), [](uint32_t pixel) { return pixel != 0; });
        if (drawn && now == before)
            return now;
        before = std::move(now);
    }
    return {};
}

#endif
