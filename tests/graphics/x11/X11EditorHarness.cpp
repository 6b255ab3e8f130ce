#include "tests/graphics/x11/X11EditorHarness.h"

#include "graphics/raster/LICE_SysBitmap.h"
#include "graphics/x11/X11Connection.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <memory>

X11EditorHarness::X11EditorHarness(double scale)
{
    display = XOpenDisplay(nullptr);
    if (!display)
        return;
    host =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, kHostTop,
                            static_cast<unsigned>(520 * scale), static_cast<unsigned>(500 * scale), 0, 0, 0);
    XSelectInput(display, host, KeyPressMask | StructureNotifyMask);
    XMapWindow(display, host);
    XEvent event;
    XIfEvent(
        display, &event, [](Display*, XEvent* e, XPointer) -> Bool { return e->type == MapNotify; }, nullptr);

    auto owned = std::make_unique<IGraphicsX11>(&plug, 500, 480, 25);
    editor = owned.get();
    knobA = AddControls(*editor, plug);
    plug.AttachEditor(std::move(owned));
    if (scale != 1.0)
        editor->SetContentScale(scale);
    editor->UseRunLoop(&loop);
    editor->CreateEditorWindow(reinterpret_cast<EditorWindowHandle>(static_cast<uintptr_t>(host)));
    // Park the pointer where no control is, so hover states do not leak into tests.
    MoveTo(300, 300);
    Flush();
}

X11EditorHarness::~X11EditorHarness()
{
    if (!display)
        return;
    editor->DestroyEditorWindow();
    XDestroyWindow(display, host);
    XCloseDisplay(display);
}

void X11EditorHarness::MoveTo(int x, int y)
{
    int screenX = 0;
    int screenY = 0;
    Window child = 0;
    XTranslateCoordinates(display, host, DefaultRootWindow(display), x, y, &screenX, &screenY, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), screenX, screenY, CurrentTime);
}

void X11EditorHarness::Button(unsigned button, bool down)
{
    XTestFakeButtonEvent(display, button, down ? True : False, CurrentTime);
}

void X11EditorHarness::Key(const char* keysymName, bool down)
{
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysymName));
    XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
}

void X11EditorHarness::Tap(const char* keysymName)
{
    Key(keysymName, true);
    Key(keysymName, false);
}

void X11EditorHarness::Flush()
{
    XSync(display, False);
    if (Display* editorDisplay = editor->XDisplay())
        XSync(editorDisplay, False); // every event the input caused is now queued
    editor->ProcessEvents();
}

bool X11EditorHarness::PumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    const long long deadline = X11NowMs() + timeoutMs;
    for (;;)
    {
        Flush();
        loop.Idle();
        if (done())
            return true;
        if (X11NowMs() > deadline)
            return false;
        if (loop.Fd() >= 0)
            X11Connection::WaitFd(loop.Fd(), 5);
    }
}

bool X11EditorHarness::Settle()
{
    return PumpUntil(
        [this]
        {
            Rect dirty;
            return editor->PresentCount() > 0 && !editor->CollectDirtyArea(dirty);
        });
}

namespace
{
struct ImageDeleter
{
    void operator()(XImage* image) const { XDestroyImage(image); }
};

// The window's pixels of the rectangle, as 0xRRGGBB.
std::unique_ptr<XImage, ImageDeleter> ReadBack(Display* display, Window window, const Rect& rect)
{
    XSync(display, False);
    return std::unique_ptr<XImage, ImageDeleter>(
        XGetImage(display, window, rect.left, rect.top, static_cast<unsigned>(rect.Width()),
                  static_cast<unsigned>(rect.Height()), AllPlanes, ZPixmap));
}
} // namespace

bool X11EditorHarness::WindowShowsFrame(const Rect& rect, int frame) const
{
    auto image = ReadBack(editor->XDisplay(), editor->XWindow(), rect);
    if (!image)
        return false;
    for (int y = 0; y < rect.Height(); ++y)
        for (int x = 0; x < rect.Width(); ++x)
            if ((XGetPixel(image.get(), x, y) & 0xFFFFFF) != FramePixel(frame, x, y))
                return false;
    return true;
}

bool X11EditorHarness::WindowEqualsBackBuffer() const
{
    const Rect all(0, 0, editor->WindowSize().width, editor->WindowSize().height);
    auto image = ReadBack(editor->XDisplay(), editor->XWindow(), all);
    const LICE_SysBitmap* back = editor->BackBuffer();
    if (!image || !back)
        return false;
    for (int y = 0; y < all.Height(); ++y)
        for (int x = 0; x < all.Width(); ++x)
            if ((XGetPixel(image.get(), x, y) & 0xFFFFFF) !=
                (back->GetBits()[y * back->GetRowSpan() + x] & 0xFFFFFF))
                return false;
    return true;
}

int X11EditorHarness::HostKeyPresses()
{
    XSync(display, False);
    XEvent event;
    while (XCheckTypedWindowEvent(display, host, KeyPress, &event))
        ++mHostKeyPresses;
    return mHostKeyPresses;
}
