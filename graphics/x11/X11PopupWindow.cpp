#include "graphics/x11/X11PopupWindow.h"

#include "graphics/FontCache.h"
#include "graphics/raster/LICE_CachedFont.h"

#include <X11/Xutil.h>

#include <chrono>
#include <thread>

X11PopupWindow::X11PopupWindow(Display* display, int x, int y, int width, int height)
    : mDisplay(display),
      mCanvas(width, height),
      mX(x),
      mY(y)
{
    XSetWindowAttributes attributes = {};
    attributes.override_redirect = True;
    attributes.event_mask =
        ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask;
    attributes.background_pixmap = None;
    mWindow = XCreateWindow(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                            CWOverrideRedirect | CWEventMask | CWBackPixmap, &attributes);
    mGc = XCreateGC(display, mWindow, 0, nullptr);
    XMapRaised(display, mWindow);
}

X11PopupWindow::~X11PopupWindow()
{
    XFreeGC(mDisplay, mGc);
    XDestroyWindow(mDisplay, mWindow);
    XFlush(mDisplay);
}

void X11PopupWindow::Present()
{
    if (!mCanvas.GetBits())
        return;
    const int screen = DefaultScreen(mDisplay);
    XImage* image = XCreateImage(
        mDisplay, DefaultVisual(mDisplay, screen), static_cast<unsigned>(DefaultDepth(mDisplay, screen)),
        ZPixmap, 0, reinterpret_cast<char*>(mCanvas.GetBits()), static_cast<unsigned>(mCanvas.GetWidth()),
        static_cast<unsigned>(mCanvas.GetHeight()), 32, mCanvas.GetRowSpan() * 4);
    if (!image)
        return;
    XPutImage(mDisplay, mWindow, mGc, image, 0, 0, 0, 0, static_cast<unsigned>(mCanvas.GetWidth()),
              static_cast<unsigned>(mCanvas.GetHeight()));
    image->data = nullptr; // the canvas keeps its pixels
    XDestroyImage(image);
    XFlush(mDisplay);
}

LICE_CachedFont* X11UiFont(int pixels)
{
    TextStyle style("Arial", pixels, Color(255, 0, 0, 0));
    return FontCache::Instance().FindOrCreate(style);
}

int X11DrawUiText(LICE_IBitmap& canvas, const char* text, int x, int y, LICE_pixel color, int pixels)
{
    LICE_CachedFont* font = X11UiFont(pixels);
    if (!font)
        return 0;
    font->SetTextColor(color);
    font->SetTextBlend(BlendCopy | BlendUseSourceAlpha, 1.0f);
    LICE_Rect rect = {x, y, canvas.GetWidth(), canvas.GetHeight()};
    font->RenderText(&canvas, text, -1, &rect, LICE_DT_NOCLIP);
    return X11UiTextWidth(text, pixels);
}

int X11UiTextWidth(const char* text, int pixels)
{
    LICE_CachedFont* font = X11UiFont(pixels);
    if (!font)
        return 0;
    LICE_Rect rect = {0, 0, 0, 0};
    font->RenderText(nullptr, text, -1, &rect, LICE_DT_CALCRECT | LICE_DT_SINGLELINE);
    return rect.right;
}

void X11ToScreen(Display* display, Window window, int x, int y, int& screenX, int& screenY)
{
    Window child = 0;
    screenX = x;
    screenY = y;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &screenX, &screenY, &child);
}

bool X11GrabInput(Display* display, Window window, unsigned pointerEvents)
{
    constexpr int kTries = 250;
    bool pointer = false;
    bool keyboard = false;
    for (int attempt = 0; attempt < kTries; ++attempt)
    {
        if (!pointer)
            pointer = XGrabPointer(display, window, True, pointerEvents, GrabModeAsync, GrabModeAsync, None,
                                   None, CurrentTime) == GrabSuccess;
        if (!keyboard)
            keyboard = XGrabKeyboard(display, window, True, GrabModeAsync, GrabModeAsync, CurrentTime) ==
                       GrabSuccess;
        if (pointer && keyboard)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}
