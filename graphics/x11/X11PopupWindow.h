#pragma once
// A window of the layer's own over everything (override-redirect, so no window manager
// frames or moves it): the drawn menus and message boxes. It shows a bitmap drawn by its
// owner and frees every X resource it made when it goes.
// [window thread]

#include "graphics/raster/LICE_SysBitmap.h"

#include <X11/Xlib.h>

class LICE_CachedFont;
struct TextStyle;

class X11PopupWindow
{
public:
    // At (x, y) on the screen, width x height pixels.
    X11PopupWindow(Display* display, int x, int y, int width, int height);
    ~X11PopupWindow();
    X11PopupWindow(const X11PopupWindow&) = delete;
    X11PopupWindow& operator=(const X11PopupWindow&) = delete;

    Window Id() const { return mWindow; }
    LICE_SysBitmap& Canvas() { return mCanvas; }
    int X() const { return mX; }
    int Y() const { return mY; }
    // Copies the canvas to the window.
    void Present();

private:
    Display* mDisplay;
    Window mWindow = 0;
    GC mGc = nullptr;
    LICE_SysBitmap mCanvas;
    int mX;
    int mY;
};

// The pixel size of the font of menus and message boxes at 100 %.
constexpr int kX11UiFontPixels = 14;
// The font of menus and message boxes (Liberation Sans) at a pixel size, or none.
LICE_CachedFont* X11UiFont(int pixels = kX11UiFontPixels);
// Draws one line of text in the colour, left-aligned at (x, y); returns its width.
int X11DrawUiText(LICE_IBitmap& canvas, const char* text, int x, int y, LICE_pixel color,
                  int pixels = kX11UiFontPixels);
int X11UiTextWidth(const char* text, int pixels = kX11UiFontPixels);
// Takes the pointer (reporting `pointerEvents`) and the keyboard for the window, as a modal
// menu or box must. Another client's grab (the host's own menu just closing, say) may hold
// them for a moment, so it tries again for up to half a second; false when it never got both.
bool X11GrabInput(Display* display, Window window, unsigned pointerEvents);
// The screen position of a point of a window.
void X11ToScreen(Display* display, Window window, int x, int y, int& screenX, int& screenY);
