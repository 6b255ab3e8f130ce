#pragma once
// The Windows DPI of the host's window, and the per-monitor awareness the editor's window is
// created with. Every function involved is looked up at run time, since older systems (and
// some Wine versions) lack them; without them the editor is the 100 % one.
// [window thread] for all.

#include <windows.h>

// Sent to per-monitor aware child windows when the top-level window's DPI changed.
constexpr UINT kWmDpiChangedAfterParent = 0x02E3;

// The editor scale of a window: its DPI over 96. 1 when the window is not DPI aware (Windows
// stretches such a host as a whole, so the editor must stay at 100 % inside it) or the
// system cannot tell.
double WinWindowDpiScale(HWND window);

// While it lives, windows the thread creates are per-monitor DPI aware, where the parent
// window is too; otherwise (or on systems without the call) it changes nothing.
class WinDpiAwareScope
{
public:
    explicit WinDpiAwareScope(HWND parent);
    ~WinDpiAwareScope();
    WinDpiAwareScope(const WinDpiAwareScope&) = delete;
    WinDpiAwareScope& operator=(const WinDpiAwareScope&) = delete;

private:
    HANDLE mPrevious = nullptr;
};
