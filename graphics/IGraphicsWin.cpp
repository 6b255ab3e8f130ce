#include "graphics/IGraphicsWin.h"

#include "framework/IPlugBase.h"
#include "graphics/IControl.h"
#include "graphics/raster/LICE_SysBitmap.h"
#include "graphics/win/WinPopupMenu.h"
#include "graphics/win/WinTextEntry.h"

#include <commctrl.h>

namespace
{
// Module-wide: how many editor windows are open (the class is registered while any is) and
// the frame rate of the editor being opened, which its timer takes.
int sOpenWindows = 0;
int sFrameRate = 25;

MouseModifiers ModifiersFromKeyFlags(WPARAM keyFlags)
{
    return MouseModifiers((keyFlags & MK_LBUTTON) != 0, (keyFlags & MK_RBUTTON) != 0, (keyFlags & MK_SHIFT) != 0,
                          (keyFlags & MK_CONTROL) != 0, GetKeyState(VK_MENU) < 0);
}

int SignedLow(LPARAM value)
{
    return static_cast<short>(LOWORD(value));
}

int SignedHigh(LPARAM value)
{
    return static_cast<short>(HIWORD(value));
}

// The editor's key code for a virtual key, or -1 for keys the editor does not use.
int EditorKeyFromVirtualKey(WPARAM key)
{
    switch (key)
    {
    case VK_SPACE: return kKeySpace;
    case VK_UP: return kKeyUp;
    case VK_DOWN: return kKeyDown;
    case VK_LEFT: return kKeyLeft;
    case VK_RIGHT: return kKeyRight;
    default: break;
    }
    if (key >= '0' && key <= '9')
        return kKeyDigit0 + static_cast<int>(key - '0');
    // Letters arrive as their upper-case virtual keys; 97 to 122 are the numeric keypad
    // and function keys, which the host gets.
    if (key >= 'A' && key <= 'Z')
        return kKeyLetterA + static_cast<int>(key - 'A');
    return -1;
}
}  // namespace

IGraphicsWin::IGraphicsWin(IPlugBase* plug, int width, int height, int frameRate)
    : IGraphics(plug, width, height, frameRate), mTextEntry(std::make_unique<WinTextEntry>())
{
}

IGraphicsWin::~IGraphicsWin()
{
    DestroyEditorWindow();
}

HINSTANCE IGraphicsWin::Instance() const
{
    return ModuleHandle() ? ModuleHandle() : GetModuleHandleW(nullptr);
}

int IGraphicsWin::OpenWindowCount()
{
    return sOpenWindows;
}

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
    int x = 0, y = 0, width = Width(), height = Height();
    if (mWnd)
    {
        // Reopening keeps the window where it was, at its size.
        RECT r;
        GetWindowRect(mWnd, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(mWnd), reinterpret_cast<POINT*>(&r), 2);
        x = r.left;
        y = r.top;
        width = r.right - r.left;
        height = r.bottom - r.top;
        DestroyEditorWindow();
    }

    if (!RegisterWindowClass())
    {
        ReleaseWindowClass();
        return nullptr;
    }
    sFrameRate = FrameRate() > 0 ? FrameRate() : 25;
    HWND created = CreateWindowExA(0, kWindowClassName, "IPlug", WS_CHILD | WS_VISIBLE, x, y, width, height,
                                   mParentWnd, nullptr, Instance(), this);
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
    DestroyWindow(mWnd);  // WM_NCDESTROY forgets the window
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
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, mWnd, nullptr,
                                      Instance(), nullptr);
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
        SetTimer(hwnd, kTimerId, static_cast<UINT>(1000 / sFrameRate), nullptr);
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
    case WM_KILLFOCUS:
        return 0;
    case WM_PAINT:
        OnPaint(hwnd);
        return 0;
    case WM_CLOSE:
        DestroyEditorWindow();
        return 0;
    case WM_TIMER:
        if (wParam == kTimerId)
        {
            OnTimer();
            return 0;
        }
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        return HandleKeyMessage(hwnd, msg, wParam, lParam);
    case WM_CTLCOLOREDIT:
        if (mTextEntry->IsOpen())
        {
            const TextStyle& style = mTextEntry->Control()->GetTextStyle();
            HDC dc = reinterpret_cast<HDC>(wParam);
            const COLORREF background = RGB(style.entryBackground.R, style.entryBackground.G, style.entryBackground.B);
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
    RECT r = {dirty.left, dirty.top, dirty.right, dirty.bottom};
    InvalidateRect(mWnd, &r, FALSE);
    if (mTextEntry->IsOpen())
    {
        // The field paints itself; the editor must not paint over it.
        const Rect& entry = mTextEntry->Control()->GetRect();
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
        Redraw(Rect(r.left, r.top, r.right, r.bottom));
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
        BitBlt(windowDc, rect.left, rect.top, rect.Width(), rect.Height(), backDc, rect.left, rect.top, SRCCOPY);
        ++mPresentCount;
        mPresentedPixels += static_cast<long long>(rect.Width()) * rect.Height();
    }
    EndPaint(mWnd, &ps);
}

// ---- Input --------------------------------------------------------------------------

bool IGraphicsWin::HandleMouseMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const int x = SignedLow(lParam);
    const int y = SignedHigh(lParam);
    switch (msg)
    {
    case WM_MOUSEMOVE:
        if (wParam & (MK_LBUTTON | MK_RBUTTON))
        {
            if (GetCapture() == mWnd && !mTextEntry->IsOpen())
                HandleMouseDrag(x, y, ModifiersFromKeyFlags(wParam));
        }
        else
        {
            OnMouseMoveWithoutButtons(x, y, ModifiersFromKeyFlags(wParam));
        }
        return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        HideTooltip();
        if (mTextEntry->IsOpen())
        {
            mTextEntry->SetState(WinTextEntry::kCommitRequested);
            return true;
        }
        SetFocus(mWnd);
        SetCapture(mWnd);
        HandleMouseDown(x, y, ModifiersFromKeyFlags(wParam));
        return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        ReleaseCapture();
        HandleMouseUp(x, y, ModifiersFromKeyFlags(wParam));
        return true;
    case WM_LBUTTONDBLCLK:
        if (HandleMouseDoubleClick(x, y, ModifiersFromKeyFlags(wParam)))
            SetCapture(mWnd);
        return true;
    case WM_MOUSEWHEEL: {
        if (mTextEntry->IsOpen())
        {
            mTextEntry->SetState(WinTextEntry::kCancelRequested);
            return true;
        }
        const int notches = WheelNotches(static_cast<short>(HIWORD(wParam)));
        RECT r;
        GetWindowRect(mWnd, &r);
        HandleMouseWheel(x - r.left, y - r.top, ModifiersFromKeyFlags(LOWORD(wParam)), notches);
        return true;
    }
    case WM_MOUSEHOVER:
        if (mTooltipWnd)
        {
            IControl* control = GetControl(mTooltipArmedIndex);
            TTTOOLINFOA tool = {};
            tool.cbSize = TTTOOLINFOA_V2_SIZE;
            tool.hwnd = mWnd;
            tool.uId = reinterpret_cast<UINT_PTR>(mWnd);
            tool.lpszText = const_cast<char*>(control ? control->Tooltip().c_str() : "");
            SendMessageA(mTooltipWnd, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
            mTooltipShowing = true;
        }
        return true;
    case WM_MOUSELEAVE:
        HideTooltip();
        HandleMouseOut();
        return true;
    default:
        return false;
    }
}

void IGraphicsWin::OnMouseMoveWithoutButtons(int x, int y, const MouseModifiers& mod)
{
    if (!HandleMouseOver(x, y, mod))
        return;
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof(TRACKMOUSEEVENT);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = mWnd;
    track.dwHoverTime = HOVER_DEFAULT;
    if (TooltipsEnabled() && HoveredControl() != mTooltipArmedIndex)
    {
        mTooltipArmedIndex = HoveredControl();
        if (mTooltipArmedIndex != -1)
            track.dwFlags |= TME_HOVER;
        HideTooltip();
    }
    TrackMouseEvent(&track);
}

LRESULT IGraphicsWin::HandleKeyMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_KEYDOWN)
    {
        const int key = EditorKeyFromVirtualKey(wParam);
        if (key >= 0)
        {
            POINT p;
            GetCursorPos(&p);
            ScreenToClient(hwnd, &p);
            if (HandleKeyDown(p.x, p.y, key))
                return 0;
        }
    }
    PassToHost(msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void IGraphicsWin::PassToHost(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND root = GetAncestor(mWnd, GA_ROOT);
    if (root && root != mWnd)
        SendMessageA(root, msg, wParam, lParam);
}

// ---- Services tied to the window ----------------------------------------------------

void IGraphicsWin::CancelTextEntry()
{
    mTextEntry->SetState(WinTextEntry::kCancelRequested);
}

void IGraphicsWin::OpenTextEntry(IControl* control, const TextStyle& style, const Rect& rect,
                                 const char* initialText, PluginParameter* param)
{
    mTextEntry->Open(mWnd, control, style, rect, initialText, param);
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
    POINT corner = {rect.left, rect.bottom};
    ClientToScreen(mWnd, &corner);
    PopupMenu* chosen = nullptr;
    if (TrackPopupMenu(native, TPM_LEFTBUTTON, corner.x, corner.y, 0, mWnd, nullptr))
    {
        MSG command;
        if (PeekMessageW(&command, mWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE) && HIWORD(command.wParam) == 0)
            chosen = menu.FindByCommandId(LOWORD(command.wParam));
    }
    DestroyMenu(native);
    RECT all = {0, 0, Width(), Height()};
    InvalidateRect(mWnd, &all, FALSE);
    return chosen;
}

void IGraphicsWin::Resize(int width, int height)
{
    if (width == Width() && height == Height())
        return;
    const int dW = width - Width();
    const int dH = height - Height();
    IGraphics::Resize(width, height);
    if (!mWnd)
        return;

    auto grow = [dW, dH](HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        SetWindowPos(window, nullptr, 0, 0, r.right - r.left + dW, r.bottom - r.top + dH,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    auto isChild = [](HWND window) {
        return (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) && !(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_MDICHILD);
    };
    grow(mWnd);
    // A VST3 host resizes its own frame; older hosts expect the plug-in to grow them.
    if (isChild(mWnd) && GetPlug() && GetPlug()->GetPluginApi() != 1)
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
    RECT all = {0, 0, width, height};
    InvalidateRect(mWnd, &all, FALSE);
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
