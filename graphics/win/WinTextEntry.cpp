#include "graphics/win/WinTextEntry.h"

#include "graphics/IControl.h"
#include "graphics/win/IGraphicsWin.h"
#include "graphics/win/WinText.h"

WinTextEntry::~WinTextEntry() { Close(); }

void WinTextEntry::Open(HWND editorWindow, IControl* control, const TextStyle& style, const Rect& rect,
                        const char* initialText, PluginParameter* param)
{
    if (!control || IsOpen() || !editorWindow)
        return;

    DWORD windowStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | ES_MULTILINE;
    if (style.align == TextStyle::kCentre)
        windowStyle |= ES_CENTER;
    else if (style.align == TextStyle::kRight)
        windowStyle |= ES_RIGHT;

    // Known before the field exists: it asks the editor for its colours while it is made.
    mControl = control;
    mParam = param;
    const std::wstring text = WinWideFromUtf8(initialText);
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(editorWindow, GWLP_HINSTANCE));
    mWnd = CreateWindowExW(0, L"EDIT", text.c_str(), windowStyle, rect.left, rect.top, rect.Width() + 1,
                           rect.Height() + 1, editorWindow,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)), instance, nullptr);
    if (!mWnd)
    {
        mControl = nullptr;
        mParam = nullptr;
        return;
    }

    const std::wstring face = WinWideFromUtf8(style.face);
    mFont = CreateFontW(style.size, 0, 0, 0, style.style == TextStyle::kBold ? FW_BOLD : 0,
                        style.style == TextStyle::kItalic ? TRUE : FALSE, 0, 0, 0, 0, 0, 0, 0, face.c_str());
    SendMessageW(mWnd, EM_LIMITTEXT, static_cast<WPARAM>(control->TextEntryLength()), 0);
    SendMessageW(mWnd, WM_SETFONT, reinterpret_cast<WPARAM>(mFont), 0);
    SendMessageW(mWnd, EM_SETSEL, 0, -1);
    // The focus is given before the field is subclassed, so the entry starts idle (not
    // "focused"): the editor keeps redrawing around it and a click into the editor commits.
    SetFocus(mWnd);
    mPreviousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(mWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WinTextEntry::EntryProc)));
}

bool WinTextEntry::OnTimerTick()
{
    if (!IsOpen() || mState == kIdle)
        return false;
    switch (mState)
    {
        case kRepainted: mState = kIdle; break;
        case kCancelRequested: Close(); break;
        case kCommitRequested:
            Commit();
            Close();
            break;
        default: break;
    }
    return true;
}

void WinTextEntry::Close()
{
    if (mWnd)
    {
        if (mPreviousProc)
            SetWindowLongPtrW(mWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(mPreviousProc));
        DestroyWindow(mWnd);
    }
    if (mFont)
        DeleteObject(mFont);
    mWnd = nullptr;
    mFont = nullptr;
    mPreviousProc = nullptr;
    mControl = nullptr;
    mParam = nullptr;
    mState = kIdle;
}

void WinTextEntry::Commit()
{
    wchar_t buffer[32] = {};
    GetWindowTextW(mWnd, buffer, 32);
    const std::string text = WinUtf8FromWide(buffer);
    IGraphics::CommitEnteredText(mControl, mParam, text.c_str());
}

LRESULT CALLBACK WinTextEntry::EntryProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* editor = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrW(GetParent(hwnd), GWLP_USERDATA));
    if (!editor || editor->TextEntry().Window() != hwnd)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    editor->HideTooltip();
    return editor->TextEntry().HandleMessage(hwnd, msg, wParam, lParam);
}

LRESULT WinTextEntry::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
        case WM_SETFOCUS: mState = kFocused; break;
        case WM_KILLFOCUS: mState = kCommitRequested; break;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN)
            {
                mState = kCommitRequested;
                return 0;
            }
            if (wParam == VK_ESCAPE)
            {
                mState = kCancelRequested;
                return 0;
            }
            break;
        case WM_CHAR:
            // Return and Escape end the entry (above); their characters would otherwise land in
            // the multi-line field as a line break or a beep.
            if (wParam == '\r' || wParam == '\n' || wParam == 0x1B)
                return 0;
            if (!IGraphics::EntryAcceptsChar(mParam, static_cast<int>(wParam)))
                return 0;
            break;
        case WM_GETDLGCODE:
        {
            LRESULT code = CallWindowProcW(mPreviousProc, hwnd, msg, wParam, lParam);
            const MSG* queried = reinterpret_cast<const MSG*>(lParam);
            if (!mParam && queried && queried->message == WM_KEYDOWN && queried->wParam == VK_RETURN)
                code |= DLGC_WANTALLKEYS;
            return code;
        }
        case WM_COMMAND:
            if (HIWORD(wParam) == 1)
            {
                mState = kCommitRequested;
                return 0;
            }
            break;
        default: break;
    }
    return CallWindowProcW(mPreviousProc, hwnd, msg, wParam, lParam);
}
