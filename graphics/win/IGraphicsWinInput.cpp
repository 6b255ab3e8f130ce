// The Windows editor's mouse and key messages, turned into the editor's input entry points.
// Keys the editor does not use go on to the host's top-level window. [window thread]

#include "graphics/win/IGraphicsWin.h"

#include "graphics/IControl.h"
#include "graphics/win/WinTextEntry.h"

#include <commctrl.h>

namespace
{
MouseModifiers ModifiersFromKeyFlags(WPARAM keyFlags)
{
    return MouseModifiers((keyFlags & MK_LBUTTON) != 0, (keyFlags & MK_RBUTTON) != 0,
                          (keyFlags & MK_SHIFT) != 0, (keyFlags & MK_CONTROL) != 0, GetKeyState(VK_MENU) < 0);
}

int SignedLow(LPARAM value) { return static_cast<short>(LOWORD(value)); }

int SignedHigh(LPARAM value) { return static_cast<short>(HIWORD(value)); }

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
} // namespace

// --------------------------------------------------------------------------

bool IGraphicsWin::HandleMouseMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Window pixels to the editor's logical pixels.
    const int x = Scale().ToLogical(SignedLow(lParam));
    const int y = Scale().ToLogical(SignedHigh(lParam));
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
        case WM_MOUSEWHEEL:
        {
            if (mTextEntry->IsOpen())
            {
                mTextEntry->SetState(WinTextEntry::kCancelRequested);
                return true;
            }
            const int notches = WheelNotches(static_cast<short>(HIWORD(wParam)));
            // The wheel's position is on the screen.
            POINT p = {SignedLow(lParam), SignedHigh(lParam)};
            ScreenToClient(mWnd, &p);
            HandleMouseWheel(Scale().ToLogical(p.x), Scale().ToLogical(p.y),
                             ModifiersFromKeyFlags(LOWORD(wParam)), notches);
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
        default: return false;
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
            if (HandleKeyDown(Scale().ToLogical(p.x), Scale().ToLogical(p.y), key))
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
