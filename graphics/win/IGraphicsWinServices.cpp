// The operating-system services of the Windows editor that are not about the window's own
// messages: message boxes, folders, file and colour dialogs, web addresses, the clipboard
// and images. [window thread] for everything.

#include "graphics/win/IGraphicsWin.h"

#include "graphics/raster/LICE_MemBitmap.h"
#include "graphics/raster/LicePng.h"
#include "graphics/win/WinText.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wininet.h>

#include <cstdlib>
#include <cstring>

namespace
{
constexpr int kMaxPath = 255;
constexpr int kCustomColorCount = 16;

// The folder of a module's file: the path cut after its last backslash (kept). Empty when
// the path cannot be read, has no backslash or ends in one.
std::string ModuleFolder(HMODULE module)
{
    wchar_t path[kMaxPath + 1] = {};
    const DWORD length = GetModuleFileNameW(module, path, kMaxPath + 1);
    if (length == 0 || length > kMaxPath)
        return std::string();
    wchar_t* lastSeparator = wcsrchr(path, L'\\');
    if (!lastSeparator || lastSeparator[1] == L'\0')
        return std::string();
    lastSeparator[1] = L'\0';
    return WinUtf8FromWide(path);
}

std::string SpecialFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::string();
    std::string folder = WinUtf8FromWide(path);
    if (folder.size() > kMaxPath)
        folder.clear();
    return folder;
}

// "wav aif" -> "*.wav;*.aif" and the default extension "wav".
bool FilePattern(const char* extensions, std::wstring& pattern, std::wstring& defaultExtension)
{
    std::string all = extensions ? extensions : "";
    std::string joined;
    std::string first;
    size_t start = 0;
    while (start < all.size())
    {
        size_t end = all.find(' ', start);
        if (end == std::string::npos)
            end = all.size();
        const std::string token = all.substr(start, end - start);
        if (!token.empty())
        {
            if (first.empty())
                first = token;
            joined += (joined.empty() ? "*." : ";*.") + token;
        }
        start = end + 1;
    }
    if (joined.size() >= 256 || first.size() >= 16)
        return false;
    pattern = WinWideFromUtf8(joined.c_str());
    defaultExtension = WinWideFromUtf8(first.c_str());
    return true;
}

UINT_PTR CALLBACK ColorDialogHook(HWND dialog, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg == WM_INITDIALOG)
    {
        const auto* choose = reinterpret_cast<const CHOOSECOLORW*>(lParam);
        const auto* title = reinterpret_cast<const wchar_t*>(choose->lCustData);
        if (title && *title)
            SetWindowTextW(dialog, title);
    }
    return 0;
}

struct MainWindowSearch
{
    DWORD processId = 0;
    const std::string* className = nullptr;
    HWND found = nullptr;
};

BOOL CALLBACK FindMainWindowOfProcess(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<MainWindowSearch*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[256] = {};
    if (processId == search->processId && GetClassNameA(window, className, sizeof(className)) > 0 &&
        *search->className == className)
    {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND IGraphicsWin::MainWindow()
{
    if (mMainWnd && IsWindow(mMainWnd))
        return mMainWnd;
    mMainWnd = nullptr;
    if (mParentWnd)
    {
        HWND top = mParentWnd;
        while (HWND up = GetParent(top))
            top = up;
        char className[256] = {};
        if (GetClassNameA(top, className, sizeof(className)) > 0)
            mMainWndClass = className;
        mMainWnd = top;
    }
    else if (!mMainWndClass.empty())
    {
        MainWindowSearch search;
        search.processId = GetCurrentProcessId();
        search.className = &mMainWndClass;
        EnumWindows(&FindMainWindowOfProcess, reinterpret_cast<LPARAM>(&search));
        mMainWnd = search.found;
    }
    return mMainWnd;
}

int IGraphicsWin::AskUser(const char* text, const char* caption, int type)
{
    const std::wstring wideText = WinWideFromUtf8(text);
    const std::wstring wideCaption = WinWideFromUtf8(caption);
    return MessageBoxW(MainWindow(), wideText.c_str(), wideCaption.c_str(), static_cast<UINT>(type));
}

void IGraphicsWin::HostFolder(std::string& folder) { folder = ModuleFolder(nullptr); }

void IGraphicsWin::PluginFolder(std::string& folder) { folder = ModuleFolder(Instance()); }

void IGraphicsWin::DesktopFolder(std::string& folder) { folder = SpecialFolder(CSIDL_DESKTOP); }

void IGraphicsWin::AppDataFolder(std::string& folder, bool forAllUsers)
{
    folder = SpecialFolder(forAllUsers ? CSIDL_COMMON_APPDATA : CSIDL_LOCAL_APPDATA);
}

void IGraphicsWin::UserAppDataFolder(std::string& folder) { AppDataFolder(folder, false); }

void IGraphicsWin::AskForFile(std::string& file, int action, std::string& folder, const char* extensions)
{
    if (!mWnd)
    {
        file.clear();
        return;
    }
    if (folder.empty())
        DesktopFolder(folder);

    std::wstring pattern, defaultExtension;
    if (!FilePattern(extensions, pattern, defaultExtension))
    {
        file.clear();
        return;
    }
    // Description and pattern are the same text: "*.a;*.b\0*.a;*.b\0\0".
    std::wstring filter = pattern;
    filter.push_back(L'\0');
    filter += pattern;
    filter.push_back(L'\0');
    filter.push_back(L'\0');

    wchar_t path[kMaxPath + 1] = {};
    const std::wstring initialFile = WinWideFromUtf8(file.c_str());
    wcsncpy(path, initialFile.c_str(), kMaxPath);
    const std::wstring initialFolder = WinWideFromUtf8(folder.c_str());

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(OPENFILENAMEW);
    dialog.hwndOwner = mWnd;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = kMaxPath + 1;
    dialog.lpstrInitialDir = initialFolder.c_str();
    dialog.lpstrDefExt = defaultExtension.c_str();
    const bool save = action == kFileSave;
    dialog.Flags = save ? (OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST) : (OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen)
    {
        file.clear();
        return;
    }
    wchar_t drive[_MAX_DRIVE] = {}, directory[_MAX_DIR] = {};
    _wsplitpath(path, drive, directory, nullptr, nullptr);
    folder = WinUtf8FromWide(drive) + WinUtf8FromWide(directory);
    file = WinUtf8FromWide(path);
}

bool IGraphicsWin::AskForColor(Color& color, const char* title)
{
    if (!mWnd)
        return false;
    if (!mCustomColors)
        mCustomColors.reset(new COLORREF[kCustomColorCount]());
    const std::wstring wideTitle = WinWideFromUtf8(title);
    CHOOSECOLORW dialog = {};
    dialog.lStructSize = sizeof(CHOOSECOLORW);
    dialog.hwndOwner = mWnd;
    dialog.rgbResult = RGB(color.R, color.G, color.B);
    dialog.lpCustColors = mCustomColors.get();
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK | CC_SOLIDCOLOR | CC_ANYCOLOR;
    dialog.lpfnHook = &ColorDialogHook;
    dialog.lCustData = reinterpret_cast<LPARAM>(title ? wideTitle.c_str() : nullptr);
    if (!ChooseColorW(&dialog))
        return false;
    color.R = GetRValue(dialog.rgbResult);
    color.G = GetGValue(dialog.rgbResult);
    color.B = GetBValue(dialog.rgbResult);
    return true;
}

bool IGraphicsWin::OpenWebAddress(const char* url, const char* title, const char* question,
                                  const char* errorMessage)
{
    if (question && *question && AskUser(question, title, MB_YESNO) != IDYES)
        return false;
    DWORD connection = 0;
    const std::wstring wideUrl = WinWideFromUtf8(url);
    if (InternetGetConnectedState(&connection, 0) &&
        reinterpret_cast<INT_PTR>(
            ShellExecuteW(mWnd, L"open", wideUrl.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32)
        return true;
    if (errorMessage && *errorMessage)
        AskUser(errorMessage, title, MB_OK);
    return false;
}

bool IGraphicsWin::ReadClipboardText(std::string& text)
{
    text.clear();
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT))
        return false;
    const bool opened = OpenClipboard(mWnd) != FALSE;
    bool read = false;
    if (opened)
    {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT))
        {
            if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data)))
            {
                text = WinUtf8FromWide(wide);
                GlobalUnlock(data);
                read = true;
            }
        }
    }
    CloseClipboard();
    return read;
}

std::unique_ptr<LICE_IBitmap> IGraphicsWin::LoadPlatformImage(int resourceId, const char* fileName)
{
    return DecodePngImageResource(Instance(), resourceId, fileName);
}
