#pragma once
// What a Windows host gives a plug-in editor: a visible top-level window to embed the
// editor's child window in, a message loop, and (for tests) ways to look at and poke the
// embedded editor: its pixels read back through GDI, mouse messages sent straight to its
// window procedure, and the modal windows (menus, file dialogs) it opens, which are noted
// and closed again so the test can carry on.
//
// Windows only. Everything runs on the thread that created the window.

#ifdef _WIN32

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// 32-bit pixels 0x00RRGGBB, rows top-down.
struct PixelBlock
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

class HostWindow
{
public:
    // A visible popup window at (x, y) of the given client size (reused once a previous one
    // of the same place and size has gone).
    HostWindow(int x, int y, int width, int height);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND Handle() const { return window; }
    // The first child window (the embedded editor), or none.
    HWND Child() const;

    // Dispatches every waiting message of this thread.
    static void Pump();
    // Pumps messages until the condition holds or the time is up; true when it held.
    static bool PumpUntil(const std::function<bool()>& condition, int timeoutMs);

    // The pixels of a rectangle of a window's client area, as shown on screen.
    static PixelBlock Read(HWND target, int left, int top, int right, int bottom);

    // Mouse messages as the system delivers them, straight to the window procedure.
    static void MouseDown(HWND target, int x, int y);
    static void MouseMove(HWND target, int x, int y, bool leftHeld);
    static void MouseUp(HWND target, int x, int y);
    // A vertical drag with the left button, in steps of a few pixels (negative dy is upward).
    static void Drag(HWND target, int x, int y, int dy);

private:
    HWND window = nullptr;
};

// While alive, closes every popup menu and dialog this thread opens (a thread timer does
// it from inside their modal loops) and notes their window classes, so a test can click a
// control that opens one and see that it did.
class ModalWindowCloser
{
public:
    ModalWindowCloser();
    ~ModalWindowCloser();
    ModalWindowCloser(const ModalWindowCloser&) = delete;
    ModalWindowCloser& operator=(const ModalWindowCloser&) = delete;

    static constexpr const char* kMenuClass = "#32768";
    static constexpr const char* kDialogClass = "#32770";

    // The classes of the modal windows closed so far, in order, and forgets them.
    std::vector<std::string> Take();

private:
    UINT_PTR timer = 0;
};

#endif
