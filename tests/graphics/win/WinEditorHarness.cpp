#include "tests/graphics/win/WinEditorHarness.h"

#include "graphics/raster/LICE_SysBitmap.h"

#include <cstdio>
#include <memory>

namespace
{
constexpr UINT kFlushMessage = WM_APP + 1;
bool sFlushed = false;
const wchar_t* const kHostClass = L"KestrumTestHost";

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_KEYDOWN)
        WinEditorHarness::HostKeys().push_back(wParam);
    if (msg == kFlushMessage)
    {
        sFlushed = true;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

std::vector<WPARAM>& WinEditorHarness::HostKeys()
{
    static std::vector<WPARAM> keys;
    return keys;
}

WinEditorHarness::WinEditorHarness(bool tooltips, double scale)
{
    WNDCLASSW hostClass = {};
    hostClass.lpfnWndProc = &HostProc;
    hostClass.hInstance = GetModuleHandleW(nullptr);
    hostClass.lpszClassName = kHostClass;
    RegisterClassW(&hostClass); // already registered by an earlier test: fine
    host =
        CreateWindowExW(0, kHostClass, L"host", WS_POPUP | WS_VISIBLE, 0, 0, static_cast<int>(520 * scale),
                        static_cast<int>(500 * scale), nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(host);
    HostKeys().clear();

    auto owned = std::make_unique<IGraphicsWin>(&plug, 500, 480, 25);
    editor = owned.get();
    editor->SetModuleHandle(GetModuleHandleW(nullptr));
    knobA = AddControls(*editor, plug);
    editor->SetTooltipsEnabled(tooltips);
    plug.AttachEditor(std::move(owned));
    if (scale != 1.0)
        editor->SetContentScale(scale);
    editor->CreateEditorWindow(host);
}

WinEditorHarness::~WinEditorHarness()
{
    editor->DestroyEditorWindow();
    DestroyWindow(host);
}

void WinEditorHarness::Post(UINT msg, WPARAM wParam, int x, int y) const
{
    PostMessageW(EditorWnd(), msg, wParam, MAKELPARAM(x, y));
}

bool WinEditorHarness::Flush()
{
    // Posted messages are handled in order, so once this one arrives all earlier ones have.
    sFlushed = false;
    PostMessageW(host, kFlushMessage, 0, 0);
    return PumpUntil([] { return sFlushed; });
}

bool WinEditorHarness::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;)
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

bool WinEditorHarness::Settle()
{
    return PumpUntil(
        [this]
        {
            Rect dirty;
            RECT update;
            return editor->PresentCount() > 0 && !editor->CollectDirtyArea(dirty) &&
                   !GetUpdateRect(EditorWnd(), &update, FALSE);
        });
}

bool WinEditorHarness::WindowShowsFrame(const Rect& rect, int frame) const
{
    LICE_SysBitmap readBack(rect.Width(), rect.Height());
    HDC windowDc = GetDC(EditorWnd());
    BitBlt(readBack.GetDeviceContext(), 0, 0, rect.Width(), rect.Height(), windowDc, rect.left, rect.top,
           SRCCOPY);
    ReleaseDC(EditorWnd(), windowDc);
    GdiFlush();
    for (int y = 0; y < rect.Height(); ++y)
        for (int x = 0; x < rect.Width(); ++x)
        {
            const LICE_pixel shown = readBack.GetBits()[y * readBack.GetRowSpan() + x] & 0xFFFFFF;
            const LICE_pixel drawn = FramePixel(frame, x, y);
            if (shown != drawn)
                return false;
        }
    return true;
}

bool WinEditorHarness::WindowEqualsBackBuffer() const
{
    const LICE_SysBitmap* back = editor->BackBuffer();
    RECT client;
    GetClientRect(EditorWnd(), &client);
    if (!back || client.right != back->GetWidth() || client.bottom != back->GetHeight())
        return false;
    LICE_SysBitmap readBack(client.right, client.bottom);
    HDC windowDc = GetDC(EditorWnd());
    BitBlt(readBack.GetDeviceContext(), 0, 0, client.right, client.bottom, windowDc, 0, 0, SRCCOPY);
    ReleaseDC(EditorWnd(), windowDc);
    GdiFlush();
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            if ((readBack.GetBits()[y * readBack.GetRowSpan() + x] & 0xFFFFFF) !=
                (back->GetBits()[y * back->GetRowSpan() + x] & 0xFFFFFF))
                return false;
    return true;
}
