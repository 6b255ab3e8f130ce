#include "graphics/win/IGraphicsWin.h"

#include "framework/IPlugBase.h"
#include "graphics/IControl.h"
#include "graphics/raster/LICE_SysBitmap.h"
#include "graphics/win/WinDpiAwareScope.h"
#include "graphics/win/WinPopupMenu.h"
#include "graphics/win/WinTextEntry.h"

#include <commctrl.h>

namespace
{
// Module-wide: how many editor windows are open (the class is registered while any is).
int sOpenWindows = 0;
} // namespace

IGraphicsWin::IGraphicsWin(IPlugBase* plug, int width, int height, int frameRate)
    : IGraphics(plug, width, height, frameRate),
      mTextEntry(std::make_unique<WinTextEntry>())
{
}

IGraphicsWin::~IGraphicsWin() { DestroyEditorWindow(); }

HINSTANCE IGraphicsWin::Instance() const
{
    const auto module = static_cast<HINSTANCE>(ModuleHandle());
    return module ? module : GetModuleHandleW(nullptr);
}

int IGraphicsWin::OpenWindowCount() { return sOpenWindows; }

void IGraphicsWin::ResetPresentStats()
{
    mPresentCount = 0;
    mPresentedPixels = 0;
}

// ---- Opening and closing ------------------------------------------------------------

bool IGraphicsWin::RegisterWindowClass()
{
    if (sOpenWindows++ > 0)
        return true;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &IGraphicsWin::WindowProc;
    windowClass.hInstance = Instance();
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = kWindowClassName;
    // A class left behind by a window the host destroyed on its own is still usable.
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void IGraphicsWin::ReleaseWindowClass()
{
    if (sOpenWindows > 0 && --sOpenWindows == 0)
        UnregisterClassA(kWindowClassName, Instance());
}

EditorWindowHandle IGraphicsWin::CreateEditorWindow(EditorWindowHandle parent)
{
    mParentWnd = static_cast<HWND>(parent);
    int x = 0, y = 0;
    const EditorSize size = WindowSize();
    if (mWnd)
    {
        // Reopening keeps the window where it was.
        RECT r;
        GetWindowRect(mWnd, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(mWnd), reinterpret_cast<POINT*>(&r), 2);
        x = r.left;
        y = r.top;
        DestroyEditorWindow();
    }

    if (!RegisterWindowClass())
    {
        ReleaseWindowClass();
        return nullptr;
    }
    HWND created = nullptr;
    {
        // Drawn at the parent's DPI by us, not stretched by the system.
        const WinDpiAwareScope perMonitor(mParentWnd);
        created = CreateWindowExA(0, kWindowClassName, "IPlug", WS_CHILD | WS_VISIBLE, x, y, size.width,
                                  size.height, mParentWnd, nullptr, Instance(), this);
    }
    if (!created)
    {
        mWnd = nullptr;
        ReleaseWindowClass();
        return nullptr;
    }
    mWnd = created;
    MarkAllControlsChanged();
    if (TooltipsEnabled())
        SetUpTooltips();
    return mWnd;
}

void IGraphicsWin::DestroyEditorWindow()
{
    if (!mWnd)
        return;
    mTextEntry->Close();
    DestroyTooltips();
    mDestroying = true;
    DestroyWindow(mWnd); // WM_NCDESTROY forgets the window
    mDestroying = false;
    ReleaseWindowClass();
}

void IGraphicsWin::ForgetWindow()
{
    SetWindowLongPtrW(mWnd, GWLP_USERDATA, 0);
    mWnd = nullptr;
    if (mDestroying)
        return;
    // The host destroyed its window with the editor inside. Its children are gone already;
    // the count still drops, but the class stays registered while this window lives, so the
    // next opening finds it in place.
    mTextEntry->Close();
    DestroyTooltips();
    if (sOpenWindows > 0)
        --sOpenWindows;
}

// ---- Tooltips -----------------------------------------------------------------------

void IGraphicsWin::SetUpTooltips()
{
    INITCOMMONCONTROLSEX init = {sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    bool ok = InitCommonControlsEx(&init) != FALSE;
    if (ok)
        mTooltipWnd = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, mWnd,
                                      nullptr, Instance(), nullptr);
    ok = ok && mTooltipWnd;
    if (ok)
    {
        SetWindowPos(mTooltipWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        TTTOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = mWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(mWnd);
        tool.lpszText = const_cast<char*>("");
        ok = SendMessageA(mTooltipWnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
    }
    if (!ok)
    {
        DestroyTooltips();
        SetTooltipsEnabled(false);
    }
}

void IGraphicsWin::DestroyTooltips()
{
    if (mTooltipWnd)
        DestroyWindow(mTooltipWnd);
    mTooltipWnd = nullptr;
    mTooltipShowing = false;
    mTooltipArmedIndex = -1;
}

void IGraphicsWin::HideTooltip()
{
    if (!mTooltipWnd || !mTooltipShowing)
        return;
    TTTOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = mWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(mWnd);
    tool.lpszText = nullptr;
    SendMessageA(mTooltipWnd, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    mTooltipShowing = false;
}

// ---- The window procedure -----------------------------------------------------------

LRESULT CALLBACK IGraphicsWin::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CREATE)
    {
        auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* editor = static_cast<IGraphicsWin*>(create->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(editor));
        editor->mWnd = hwnd;
        SetTimer(hwnd, kTimerId, static_cast<UINT>(editor->TickMilliseconds()), nullptr);
        SetFocus(hwnd);
        return 0;
    }
    auto* editor = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!editor || editor->mWnd != hwnd)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY)
    {
        // Also when the host destroys its window with ours inside: never keep a dead handle.
        editor->ForgetWindow();
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    return editor->HandleMessage(hwnd, msg, wParam, lParam);
}

LRESULT IGraphicsWin::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (mTextEntry->HasFocus())
    {
        // Typing into the entry: the editor neither redraws nor takes input, and a click
        // into it abandons the entry.
        if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN)
        {
            mTextEntry->SetState(WinTextEntry::kCancelRequested);
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    switch (msg)
    {
        case WM_SETFOCUS:
        case WM_KILLFOCUS: return 0;
        case WM_PAINT: OnPaint(hwnd); return 0;
        case kWmDpiChangedAfterParent:
            // The host's window moved to a screen of another DPI.
            if (!HostChoseScale())
                SetScale(WinWindowDpiScale(hwnd));
            return 0;
        case WM_CLOSE: DestroyEditorWindow(); return 0;
        case WM_TIMER:
            if (wParam == kTimerId)
            {
                OnTimer();
                return 0;
            }
            break;
        case WM_KEYDOWN:
        case WM_KEYUP: return HandleKeyMessage(hwnd, msg, wParam, lParam);
        case WM_CTLCOLOREDIT:
            if (mTextEntry->IsOpen())
            {
                const TextStyle& style = mTextEntry->Control()->GetTextStyle();
                HDC dc = reinterpret_cast<HDC>(wParam);
                const COLORREF background =
                    RGB(style.entryBackground.R, style.entryBackground.G, style.entryBackground.B);
                SetBkColor(dc, background);
                SetTextColor(dc, RGB(style.entryText.R, style.entryText.G, style.entryText.B));
                SetBkMode(dc, OPAQUE);
                SetDCBrushColor(dc, background);
                return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
            }
            break;
        default:
            if (HandleMouseMessage(msg, wParam, lParam))
                return 0;
            break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void IGraphicsWin::OnTimer()
{
    if (mTextEntry->OnTimerTick())
        return;
    Rect dirty;
    if (!CollectDirtyArea(dirty))
        return;
    const Rect area = Scale().ToPhysical(dirty);
    RECT r = {area.left, area.top, area.right, area.bottom};
    InvalidateRect(mWnd, &r, FALSE);
    if (mTextEntry->IsOpen())
    {
        // The field paints itself; the editor must not paint over it.
        const Rect entry = Scale().ToPhysical(mTextEntry->Control()->GetRect());
        RECT keep = {entry.left, entry.top, entry.right, entry.bottom};
        ValidateRect(mWnd, &keep);
        UpdateWindow(mWnd);
        mTextEntry->SetState(WinTextEntry::kRepainted);
    }
    else
    {
        UpdateWindow(mWnd);
    }
}

void IGraphicsWin::OnPaint(HWND hwnd)
{
    RECT r;
    if (GetUpdateRect(hwnd, &r, FALSE))
        Redraw(Scale().ToLogicalCovering(Rect(r.left, r.top, r.right, r.bottom)));
    // Redraw presents (and so validates) only when there are controls; an empty editor must
    // not be asked to paint forever.
    ValidateRect(hwnd, nullptr);
}

void IGraphicsWin::PresentArea(const Rect& rect)
{
    if (!mWnd)
        return;
    PAINTSTRUCT ps;
    HDC windowDc = BeginPaint(mWnd, &ps);
    HDC backDc = BackBuffer() ? static_cast<HDC>(BackBuffer()->GetDeviceContext()) : nullptr;
    if (windowDc && backDc)
    {
        BitBlt(windowDc, rect.left, rect.top, rect.Width(), rect.Height(), backDc, rect.left, rect.top,
               SRCCOPY);
        ++mPresentCount;
        mPresentedPixels += static_cast<long long>(rect.Width()) * rect.Height();
    }
    EndPaint(mWnd, &ps);
}

// ---- Services tied to the window ----------------------------------------------------

void IGraphicsWin::CancelTextEntry() { mTextEntry->SetState(WinTextEntry::kCancelRequested); }

void IGraphicsWin::OpenTextEntry(IControl* control, const TextStyle& style, const Rect& rect,
                                 const char* initialText, PluginParameter* param)
{
    // The field lives in window pixels, with the font at the editor's scale.
    TextStyle scaled = style;
    scaled.size = Scale().ToPhysical(style.size);
    mTextEntry->Open(mWnd, control, scaled, Scale().ToPhysical(rect), initialText, param);
}

PopupMenu* IGraphicsWin::ShowPopupMenu(PopupMenu& menu, const Rect& rect)
{
    ReleaseMouse();
    if (!mWnd)
        return nullptr;
    int nextId = 0;
    HMENU native = WinBuildNativeMenu(menu, nextId);
    if (!native)
        return nullptr;
    POINT corner = {Scale().ToPhysical(rect.left), Scale().ToPhysical(rect.bottom)};
    ClientToScreen(mWnd, &corner);
    PopupMenu* chosen = nullptr;
    if (TrackPopupMenu(native, TPM_LEFTBUTTON, corner.x, corner.y, 0, mWnd, nullptr))
    {
        MSG command;
        if (PeekMessageW(&command, mWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE) && HIWORD(command.wParam) == 0)
            chosen = menu.FindByCommandId(LOWORD(command.wParam));
    }
    DestroyMenu(native);
    RECT all = {0, 0, WindowSize().width, WindowSize().height};
    InvalidateRect(mWnd, &all, FALSE);
    return chosen;
}

void IGraphicsWin::Resize(int width, int height)
{
    if (width == Width() && height == Height())
        return;
    const EditorSize before = WindowSize();
    // Resizing destroys every control, so an open entry would be left pointing at a dead one.
    mTextEntry->Close();
    IGraphics::Resize(width, height);
    if (!mWnd)
        return;
    const int dW = WindowSize().width - before.width;
    const int dH = WindowSize().height - before.height;

    auto grow = [dW, dH](HWND window)
    {
        RECT r;
        GetWindowRect(window, &r);
        SetWindowPos(window, nullptr, 0, 0, r.right - r.left + dW, r.bottom - r.top + dH,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    auto isChild = [](HWND window)
    {
        return (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) &&
               !(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_MDICHILD);
    };
    grow(mWnd);
    // A VST3 host resizes its own frame; older hosts expect the plug-in to grow them.
    if (isChild(mWnd) && GetPlug() && GetPlug()->GetPluginApi() != kApiVst3)
    {
        HWND parent = GetParent(mWnd);
        if (parent)
        {
            grow(parent);
            HWND grandparent = GetParent(parent);
            if (grandparent && isChild(parent))
                grow(grandparent);
        }
    }
    RECT all = {0, 0, WindowSize().width, WindowSize().height};
    InvalidateRect(mWnd, &all, FALSE);
}

void IGraphicsWin::ScaleChanged()
{
    mTextEntry->Close();
    if (!mWnd)
        return;
    const EditorSize size = WindowSize();
    SetWindowPos(mWnd, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(mWnd, nullptr, FALSE);
}

double IGraphicsWin::SystemScale(EditorWindowHandle parent)
{
    return WinWindowDpiScale(static_cast<HWND>(parent));
}

void IGraphicsWin::HideCursorForDrag()
{
    if (mCursorHidden)
        return;
    GetCursorPos(&mCursorHiddenAt);
    ShowCursor(FALSE);
    mCursorHidden = true;
}

void IGraphicsWin::RestoreCursor()
{
    if (!mCursorHidden)
        return;
    SetCursorPos(mCursorHiddenAt.x, mCursorHiddenAt.y);
    ShowCursor(TRUE);
    mCursorHidden = false;
}
