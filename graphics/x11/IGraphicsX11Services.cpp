// What the X11 editor asks of the desktop: menus and message boxes (drawn), folders, the
// clipboard and web addresses.

#include "graphics/x11/IGraphicsX11.h"

#include "graphics/raster/LiceBlit.h"
#include "graphics/x11/X11Connection.h"
#include "graphics/x11/X11PopupMenu.h"
#include "graphics/x11/X11PopupWindow.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

extern char** environ;

namespace
{
constexpr int kClipboardWaitMs = 300;
// Message box types and layout.
constexpr int kTypeOkCancel = 1;
constexpr int kTypeYesNo = 4;

// The box's measures in screen pixels: those of 100 % times the editor's scale.
struct BoxMetrics
{
    explicit BoxMetrics(const EditorScale& scale)
        : boxWidth(scale.ToPhysical(360)),
          lineHeight(scale.ToPhysical(20)),
          buttonWidth(scale.ToPhysical(80)),
          buttonHeight(scale.ToPhysical(24)),
          buttonGap(scale.ToPhysical(8)),
          labelTop(scale.ToPhysical(4)),
          margin(scale.ToPhysical(14)),
          fontPixels(scale.ToPhysical(kX11UiFontPixels))
    {
    }
    int boxWidth, lineHeight, buttonWidth, buttonHeight, buttonGap, labelTop, margin, fontPixels;
};

// The folder part of a path, ending in '/'; empty without one.
std::string FolderOfPath(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size())
        return std::string();
    return path.substr(0, slash + 1);
}

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    return home && *home ? std::string(home) + "/" : std::string();
}

// Words laid into lines no wider than the box.
std::vector<std::string> WrapText(const char* text, int width, int fontPixels)
{
    std::vector<std::string> lines;
    std::string line;
    std::string word;
    auto flushWord = [&]
    {
        if (word.empty())
            return;
        const std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && X11UiTextWidth(longer.c_str(), fontPixels) > width)
        {
            lines.push_back(line);
            line = word;
        }
        else
            line = longer;
        word.clear();
    };
    for (const char* p = text ? text : ""; *p; ++p)
    {
        if (*p == '\n')
        {
            flushWord();
            lines.push_back(line);
            line.clear();
        }
        else if (*p == ' ')
            flushWord();
        else
            word += *p;
    }
    flushWord();
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

struct BoxButton
{
    const char* label;
    int result;
    int left;
};

void DrawBox(X11PopupWindow& box, const std::vector<std::string>& lines,
             const std::vector<BoxButton>& buttons, int buttonsTop, const BoxMetrics& m)
{
    LICE_SysBitmap& canvas = box.Canvas();
    FillRect(&canvas, 0, 0, canvas.GetWidth(), canvas.GetHeight(), 0xFF7A7A7A, 1.0f, BlendCopy);
    FillRect(&canvas, 1, 1, canvas.GetWidth() - 2, canvas.GetHeight() - 2, 0xFFF2F2F2, 1.0f, BlendCopy);
    for (size_t i = 0; i < lines.size(); ++i)
        X11DrawUiText(canvas, lines[i].c_str(), m.margin, m.margin + static_cast<int>(i) * m.lineHeight,
                      0xFF000000, m.fontPixels);
    for (const BoxButton& button : buttons)
    {
        FillRect(&canvas, button.left, buttonsTop, m.buttonWidth, m.buttonHeight, 0xFF7A7A7A, 1.0f,
                 BlendCopy);
        FillRect(&canvas, button.left + 1, buttonsTop + 1, m.buttonWidth - 2, m.buttonHeight - 2, 0xFFFFFFFF,
                 1.0f, BlendCopy);
        X11DrawUiText(canvas, button.label,
                      button.left + (m.buttonWidth - X11UiTextWidth(button.label, m.fontPixels)) / 2,
                      buttonsTop + m.labelTop, 0xFF000000, m.fontPixels);
    }
    box.Present();
}
} // namespace

PopupMenu* IGraphicsX11::ShowPopupMenu(PopupMenu& menu, const Rect& rect)
{
    ReleaseMouse();
    if (!mWindow)
        return nullptr;
    int screenX = 0;
    int screenY = 0;
    X11ToScreen(XDisplay(), mWindow, Scale().ToPhysical(rect.left), Scale().ToPhysical(rect.bottom), screenX,
                screenY);
    PopupMenu* chosen = X11RunPopupMenu(
        XDisplay(), menu, screenX, screenY,
        [this](XEvent& event)
        {
            if (event.type == Expose)
                HandleEvent(event);
        },
        Scale());
    ExposeArea(Rect(0, 0, Width(), Height()));
    return chosen;
}

int IGraphicsX11::AskUser(const char* text, const char* caption, int type)
{
    if (!mWindow)
        return kAskUserCancel;
    std::vector<BoxButton> buttons;
    if (type == kTypeYesNo)
        buttons = {{"Yes", kAskUserYes, 0}, {"No", kAskUserNo, 0}};
    else if (type == kTypeOkCancel)
        buttons = {{"OK", kAskUserOk, 0}, {"Cancel", kAskUserCancel, 0}};
    else
        buttons = {{"OK", kAskUserOk, 0}};
    const BoxMetrics m(Scale());
    std::vector<std::string> lines = WrapText(caption, m.boxWidth - 2 * m.margin, m.fontPixels);
    if (!lines.empty())
        lines.push_back(std::string());
    for (const std::string& line : WrapText(text, m.boxWidth - 2 * m.margin, m.fontPixels))
        lines.push_back(line);
    const int buttonsTop = m.margin + static_cast<int>(lines.size()) * m.lineHeight + m.margin / 2;
    const int height = buttonsTop + m.buttonHeight + m.margin;
    int left = m.boxWidth - m.margin - m.buttonWidth;
    for (auto it = buttons.rbegin(); it != buttons.rend(); ++it, left -= m.buttonWidth + m.buttonGap)
        it->left = left;

    Display* display = XDisplay();
    int x = 0;
    int y = 0;
    X11ToScreen(display, mWindow, (PhysicalWidth() - m.boxWidth) / 2, (PhysicalHeight() - height) / 2, x, y);
    X11PopupWindow box(display, x, y, m.boxWidth, height);
    DrawBox(box, lines, buttons, buttonsTop, m);
    XSync(display, False);
    X11GrabInput(display, box.Id(), ButtonPressMask | ButtonReleaseMask);
    // Return takes the first answer, Escape the last.
    int result = 0;
    while (result == 0)
    {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == Expose && event.xany.window == box.Id())
            DrawBox(box, lines, buttons, buttonsTop, m);
        else if (event.type == Expose)
            HandleEvent(event);
        else if (event.type == KeyPress)
        {
            const KeySym key = XLookupKeysym(&event.xkey, 0);
            if (key == XK_Return || key == XK_KP_Enter)
                result = buttons.front().result;
            else if (key == XK_Escape)
                result = buttons.back().result;
        }
        else if (event.type == ButtonRelease && event.xany.window == box.Id())
        {
            for (const BoxButton& button : buttons)
                if (event.xbutton.x >= button.left && event.xbutton.x < button.left + m.buttonWidth &&
                    event.xbutton.y >= buttonsTop && event.xbutton.y < buttonsTop + m.buttonHeight)
                    result = button.result;
        }
    }
    XUngrabPointer(display, CurrentTime);
    XUngrabKeyboard(display, CurrentTime);
    return result;
}

void IGraphicsX11::HostFolder(std::string& folder)
{
    char path[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    folder = length > 0 ? FolderOfPath(std::string(path, static_cast<size_t>(length))) : std::string();
}

void IGraphicsX11::PluginFolder(std::string& folder)
{
    Dl_info info = {};
    static const int kAnchor = 0;
    folder = dladdr(&kAnchor, &info) && info.dli_fname ? FolderOfPath(info.dli_fname) : std::string();
}

void IGraphicsX11::DesktopFolder(std::string& folder)
{
    folder = HomeFolder();
    if (!folder.empty() && access((folder + "Desktop").c_str(), F_OK) == 0)
        folder += "Desktop/";
}

void IGraphicsX11::AppDataFolder(std::string& folder, bool forAllUsers)
{
    if (forAllUsers)
    {
        folder = "/usr/local/share/";
        return;
    }
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    folder = dataHome && *dataHome ? std::string(dataHome) + "/" : HomeFolder();
    if (!(dataHome && *dataHome) && !folder.empty())
        folder += ".local/share/";
}

void IGraphicsX11::UserAppDataFolder(std::string& folder) { AppDataFolder(folder, false); }

bool IGraphicsX11::OpenWebAddress(const char* url, const char* title, const char* question,
                                  const char* errorMessage)
{
    if (!url || !*url)
        return false;
    if (question && *question && AskUser(question, title, kTypeYesNo) != kAskUserYes)
        return false;
    // xdg-open through a shell that leaves it running in the background and returns at once.
    pid_t pid = 0;
    const char* argv[] = {"sh", "-c", "command -v xdg-open >/dev/null && (xdg-open \"$1\" >/dev/null 2>&1 &)",
                          "sh", url,  nullptr};
    int status = -1;
    if (posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char**>(argv), environ) == 0)
        waitpid(pid, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    if (errorMessage && *errorMessage)
        AskUser(errorMessage, title, 0);
    return false;
}

bool IGraphicsX11::ReadClipboardText(std::string& text)
{
    text.clear();
    if (!mWindow)
        return false;
    Display* display = XDisplay();
    const X11Connection& x = *mConnection;
    if (XGetSelectionOwner(display, x.clipboard) == None)
        return false;
    XConvertSelection(display, x.clipboard, x.utf8String, x.transferProperty, mWindow, CurrentTime);
    XFlush(display);
    // The owner answers with a SelectionNotify; other events wait in the queue meanwhile.
    const long long deadline = X11NowMs() + kClipboardWaitMs;
    XEvent event;
    bool answered = false;
    while (!answered && X11NowMs() < deadline)
    {
        if (XCheckTypedWindowEvent(display, mWindow, SelectionNotify, &event))
            answered = true;
        else
            mConnection->WaitReadable(static_cast<int>(std::max(1LL, deadline - X11NowMs())));
    }
    if (!answered || event.xselection.property == None)
        return false;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, mWindow, x.transferProperty, 0, LONG_MAX / 4, True, AnyPropertyType,
                           &type, &format, &count, &remaining, &data) != Success)
        return false;
    if (data && format == 8)
        text.assign(reinterpret_cast<const char*>(data), count);
    if (data)
        XFree(data);
    return !text.empty();
}
