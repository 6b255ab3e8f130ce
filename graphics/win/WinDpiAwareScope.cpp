#include "graphics/win/WinDpiAwareScope.h"

namespace
{
// The awareness contexts and values of the DPI interface (fixed handle values).
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4));
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-3));
constexpr int kAwarenessUnaware = 0;
constexpr int kAwarenessPerMonitor = 2;
constexpr double kBaseDpi = 96.0;

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetWindowDpiAwarenessContextFn = HANDLE(WINAPI*)(HWND);
using GetAwarenessFromDpiAwarenessContextFn = int(WINAPI*)(HANDLE);
using SetThreadDpiAwarenessContextFn = HANDLE(WINAPI*)(HANDLE);

template <typename Fn>
Fn User32Function(const char* name)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

// The window's DPI awareness; unaware when the system cannot tell.
int AwarenessOf(HWND window)
{
    static const auto windowContext =
        User32Function<GetWindowDpiAwarenessContextFn>("GetWindowDpiAwarenessContext");
    static const auto awarenessOf =
        User32Function<GetAwarenessFromDpiAwarenessContextFn>("GetAwarenessFromDpiAwarenessContext");
    if (!window || !windowContext || !awarenessOf)
        return kAwarenessUnaware;
    const int awareness = awarenessOf(windowContext(window));
    return awareness < 0 ? kAwarenessUnaware : awareness;
}
} // namespace

double WinWindowDpiScale(HWND window)
{
    static const auto dpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (!dpiForWindow || AwarenessOf(window) == kAwarenessUnaware)
        return 1.0;
    const UINT dpi = dpiForWindow(window);
    return dpi > 0 ? dpi / kBaseDpi : 1.0;
}

WinDpiAwareScope::WinDpiAwareScope(HWND parent)
{
    static const auto setContext =
        User32Function<SetThreadDpiAwarenessContextFn>("SetThreadDpiAwarenessContext");
    // A per-monitor child inside a window of another awareness would need mixed hosting;
    // such hosts get a child of their own awareness, which Windows handles.
    if (!setContext || AwarenessOf(parent) != kAwarenessPerMonitor)
        return;
    mPrevious = setContext(kPerMonitorAwareV2);
    if (!mPrevious)
        mPrevious = setContext(kPerMonitorAware);
}

WinDpiAwareScope::~WinDpiAwareScope()
{
    static const auto setContext =
        User32Function<SetThreadDpiAwarenessContextFn>("SetThreadDpiAwarenessContext");
    if (mPrevious && setContext)
        setContext(mPrevious);
}
