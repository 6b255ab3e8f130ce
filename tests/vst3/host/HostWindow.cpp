#include "tests/vst3/host/HostWindow.h"

#ifdef _WIN32

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace
{

constexpr char kHostWindowClass[] = "KestrumTestHostWindow";
constexpr int kDragStepPixels = 4;
constexpr UINT kModalCheckMs = 50;

void RegisterHostClass()
{
    static const bool registered = []
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = kHostWindowClass;
        return RegisterClassA(&windowClass) != 0;
    }();
    (void)registered;
}

LPARAM Position(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

struct PooledWindow
{
    HWND window;
    int x, y, width, height;
    bool inUse;
};

std::vector<PooledWindow>& WindowPool()
{
    static std::vector<PooledWindow> pool;
    return pool;
}

// The modal windows seen by the closer's timer; one closer at a time per test program.
std::vector<std::string>* gClosedModals = nullptr;

BOOL CALLBACK CloseModalWindow(HWND window, LPARAM)
{
    if (!IsWindowVisible(window))
        return TRUE;
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    const std::string windowClass = name;
    if (windowClass == ModalWindowCloser::kMenuClass)
    {
        gClosedModals->push_back(windowClass);
        EndMenu();
    }
    else if (windowClass == ModalWindowCloser::kDialogClass)
    {
        gClosedModals->push_back(windowClass);
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    }
    return TRUE;
}

void CALLBACK CheckForModalWindows(HWND, UINT, UINT_PTR, DWORD)
{
    if (gClosedModals != nullptr)
        EnumThreadWindows(GetCurrentThreadId(), CloseModalWindow, 0);
}

} // namespace

HostWindow::HostWindow(int x, int y, int width, int height)
{
    // Destroying a top-level window costs Wine two seconds without a window manager (it waits
    // for one to withdraw the window), so windows are kept for the whole program and reused.
    for (PooledWindow& pooled : WindowPool())
        if (!pooled.inUse && pooled.x == x && pooled.y == y && pooled.width == width &&
            pooled.height == height)
        {
            pooled.inUse = true;
            window = pooled.window;
            return;
        }
    RegisterHostClass();
    RECT frame{0, 0, width, height};
    AdjustWindowRect(&frame, WS_POPUP, FALSE);
    window = CreateWindowExA(0, kHostWindowClass, "Kestrum test host",
                             WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, frame.right - frame.left,
                             frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window != nullptr)
        WindowPool().push_back({window, x, y, width, height, true});
    Pump();
}

HostWindow::~HostWindow()
{
    // An editor window a failed test left behind must not show up in the next one.
    while (HWND child = Child())
        DestroyWindow(child);
    for (PooledWindow& pooled : WindowPool())
        if (pooled.window == window)
            pooled.inUse = false;
    Pump();
}

HWND HostWindow::Child() const { return window != nullptr ? GetWindow(window, GW_CHILD) : nullptr; }

void HostWindow::Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool HostWindow::PumpUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;)
    {
        Pump();
        if (condition())
            return true;
        if (GetTickCount() - start > static_cast<DWORD>(timeoutMs))
            return false;
        // Wakes for the next message (the editor's timer) or after a short while.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

PixelBlock HostWindow::Read(HWND target, int left, int top, int right, int bottom)
{
    PixelBlock block;
    block.width = right - left;
    block.height = bottom - top;
    if (target == nullptr || block.width <= 0 || block.height <= 0)
        return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = block.width;
    info.bmiHeader.biHeight = -block.height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetDC(target);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP dib = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memoryDc, dib);
    const bool copied = BitBlt(memoryDc, 0, 0, block.width, block.height, windowDc, left, top, SRCCOPY) != 0;
    GdiFlush();
    if (copied && bits != nullptr)
    {
        const auto* source = static_cast<const uint32_t*>(bits);
        block.pixels.assign(source, source + static_cast<size_t>(block.width) * block.height);
        for (uint32_t& pixel : block.pixels)
            pixel &= 0x00FFFFFF;
    }
    SelectObject(memoryDc, previous);
    DeleteObject(dib);
    DeleteDC(memoryDc);
    ReleaseDC(target, windowDc);
    if (!copied)
        return {};
    return block;
}

void HostWindow::MouseDown(HWND target, int x, int y)
{
    SendMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, Position(x, y));
}

void HostWindow::MouseMove(HWND target, int x, int y, bool leftHeld)
{
    SendMessageA(target, WM_MOUSEMOVE, leftHeld ? MK_LBUTTON : 0, Position(x, y));
}

void HostWindow::MouseUp(HWND target, int x, int y) { SendMessageA(target, WM_LBUTTONUP, 0, Position(x, y)); }

void HostWindow::Drag(HWND target, int x, int y, int dy)
{
    MouseDown(target, x, y);
    const int direction = dy < 0 ? -1 : 1;
    int moved = 0;
    while (moved != dy)
    {
        const int step = std::min(kDragStepPixels, std::abs(dy - moved)) * direction;
        moved += step;
        MouseMove(target, x, y + moved, true);
    }
    MouseUp(target, x, y + moved);
}

ModalWindowCloser::ModalWindowCloser()
{
    gClosedModals = new std::vector<std::string>();
    timer = SetTimer(nullptr, 0, kModalCheckMs, CheckForModalWindows);
}

ModalWindowCloser::~ModalWindowCloser()
{
    KillTimer(nullptr, timer);
    delete gClosedModals;
    gClosedModals = nullptr;
}

std::vector<std::string> ModalWindowCloser::Take()
{
    std::vector<std::string> taken;
    std::swap(taken, *gClosedModals);
    return taken;
}

#endif
