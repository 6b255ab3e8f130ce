#include "graphics/x11/X11PopupMenu.h"

#include "graphics/PopupMenu.h"
#include "graphics/raster/LiceBlit.h"
#include "graphics/x11/X11PopupWindow.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace
{
// The menu's measures in screen pixels: those of 100 % times the editor's scale.
struct Metrics
{
    explicit Metrics(const EditorScale& scale)
        : rowHeight(scale.ToPhysical(20)),
          separatorHeight(scale.ToPhysical(7)),
          padding(scale.ToPhysical(3)),
          checkColumn(scale.ToPhysical(22)),
          arrowColumn(scale.ToPhysical(22)),
          minWidth(scale.ToPhysical(100)),
          textTop(scale.ToPhysical(2)),
          arrowInset(scale.ToPhysical(8)),
          mark(scale.ToPhysical(6)),
          fontPixels(scale.ToPhysical(kX11UiFontPixels))
    {
    }
    int rowHeight, separatorHeight, padding, checkColumn, arrowColumn, minWidth, textTop, arrowInset, mark,
        fontPixels;
};
constexpr LICE_pixel kBackground = 0xFFF2F2F2;
constexpr LICE_pixel kBorder = 0xFF7A7A7A;
constexpr LICE_pixel kHighlight = 0xFF3875D7;
constexpr LICE_pixel kText = 0xFF000000;
constexpr LICE_pixel kGreyText = 0xFF9A9A9A;
constexpr LICE_pixel kWhite = 0xFFFFFFFF;

bool Selectable(const PopupMenuItem& item)
{
    return !item.IsSeparator() && !(item.Flags() & (PopupMenuItem::kGrayed | PopupMenuItem::kDisabled));
}

struct Level
{
    explicit Level(const Metrics& sizes) : m(sizes) {}

    Metrics m;
    PopupMenu* menu = nullptr;
    std::unique_ptr<X11PopupWindow> window;
    std::vector<int> rowTops; // one per item, plus the bottom
    int highlighted = -1;

    int ItemAt(int y) const
    {
        for (int i = 0; i + 1 < static_cast<int>(rowTops.size()); ++i)
            if (y >= rowTops[i] && y < rowTops[i + 1])
                return i;
        return -1;
    }

    void Draw()
    {
        LICE_SysBitmap& canvas = window->Canvas();
        const int width = canvas.GetWidth();
        const int height = canvas.GetHeight();
        FillRect(&canvas, 0, 0, width, height, kBorder, 1.0f, BlendCopy);
        FillRect(&canvas, 1, 1, width - 2, height - 2, kBackground, 1.0f, BlendCopy);
        for (int i = 0; i < menu->NumItems(); ++i)
        {
            const PopupMenuItem& item = *menu->GetItem(i);
            const int top = rowTops[i];
            if (item.IsSeparator())
            {
                FillRect(&canvas, 4, top + m.separatorHeight / 2, width - 8, 1, kBorder, 1.0f, BlendCopy);
                continue;
            }
            const bool lit = i == highlighted && Selectable(item);
            if (lit)
                FillRect(&canvas, 1, top, width - 2, m.rowHeight, kHighlight, 1.0f, BlendCopy);
            const LICE_pixel color = !Selectable(item) ? kGreyText : lit ? kWhite : kText;
            if (item.IsChecked())
                FillRect(&canvas, m.mark + 2, top + (m.rowHeight - m.mark) / 2, m.mark, m.mark, color, 1.0f,
                         BlendCopy);
            X11DrawUiText(canvas, menu->ItemLabel(i).c_str(), m.checkColumn, top + m.textTop, color,
                          m.fontPixels);
            if (item.Submenu())
                X11DrawUiText(canvas, ">", width - m.arrowColumn + m.arrowInset, top + m.textTop, color,
                              m.fontPixels);
        }
        window->Present();
    }
};

std::unique_ptr<Level> OpenLevel(Display* display, PopupMenu& menu, int x, int y, const Metrics& m)
{
    auto level = std::make_unique<Level>(m);
    level->menu = &menu;
    int width = m.minWidth;
    int top = m.padding;
    for (int i = 0; i < menu.NumItems(); ++i)
    {
        level->rowTops.push_back(top);
        const PopupMenuItem& item = *menu.GetItem(i);
        top += item.IsSeparator() ? m.separatorHeight : m.rowHeight;
        if (!item.IsSeparator())
            width = std::max(width, m.checkColumn + X11UiTextWidth(menu.ItemLabel(i).c_str(), m.fontPixels) +
                                        m.arrowColumn);
    }
    level->rowTops.push_back(top);
    const int height = top + m.padding;
    // Kept on the screen: a long menu near the bottom opens upwards.
    const int screenHeight = DisplayHeight(display, DefaultScreen(display));
    const int screenWidth = DisplayWidth(display, DefaultScreen(display));
    x = std::max(0, std::min(x, screenWidth - width));
    y = std::max(0, std::min(y, screenHeight - height));
    level->window = std::make_unique<X11PopupWindow>(display, x, y, width, height);
    level->Draw();
    return level;
}

class MenuRun
{
public:
    MenuRun(Display* display, PopupMenu& menu, int x, int y, const EditorScale& scale)
        : mDisplay(display),
          mMetrics(scale)
    {
        mLevels.push_back(OpenLevel(display, menu, x, y, mMetrics));
    }

    // One event; true when the run is over (mChosen tells how).
    bool Handle(XEvent& event, const std::function<void(XEvent&)>& otherEvent)
    {
        Level* level = LevelOf(event.xany.window);
        switch (event.type)
        {
            case Expose:
                if (level)
                    level->Draw();
                else
                    otherEvent(event);
                return false;
            case MotionNotify: Hover(event.xmotion.x_root, event.xmotion.y_root); return false;
            case ButtonPress:
                return !LevelAt(event.xbutton.x_root, event.xbutton.y_root); // outside: dismissed
            case ButtonRelease:
                if (event.xbutton.button > 3)
                    return false;
                Hover(event.xbutton.x_root, event.xbutton.y_root);
                if (Level* under = LevelAt(event.xbutton.x_root, event.xbutton.y_root))
                    return Choose(*under);
                return false;
            case KeyPress: return Key(event.xkey);
            default: otherEvent(event); return false;
        }
    }

    PopupMenu* Chosen() const { return mChosen; }
    Window FirstWindow() const { return mLevels.front()->window->Id(); }

private:
    Level* LevelOf(Window window)
    {
        for (auto& level : mLevels)
            if (level->window->Id() == window)
                return level.get();
        return nullptr;
    }

    Level* LevelAt(int screenX, int screenY)
    {
        for (auto it = mLevels.rbegin(); it != mLevels.rend(); ++it)
        {
            X11PopupWindow& w = *(*it)->window;
            if (screenX >= w.X() && screenX < w.X() + w.Canvas().GetWidth() && screenY >= w.Y() &&
                screenY < w.Y() + w.Canvas().GetHeight())
                return it->get();
        }
        return nullptr;
    }

    size_t IndexOf(const Level* level) const
    {
        for (size_t i = 0; i < mLevels.size(); ++i)
            if (mLevels[i].get() == level)
                return i;
        return 0;
    }

    void Highlight(Level& level, int item)
    {
        mLevels.resize(IndexOf(&level) + 1); // deeper levels close
        if (item != level.highlighted)
        {
            level.highlighted = item;
            level.Draw();
        }
    }

    void OpenSubmenu(Level& level)
    {
        if (level.highlighted < 0)
            return;
        PopupMenu* submenu = level.menu->GetItem(level.highlighted)->Submenu();
        if (!submenu || !Selectable(*level.menu->GetItem(level.highlighted)))
            return;
        if (&level != mLevels.back().get() && mLevels[IndexOf(&level) + 1]->menu == submenu)
            return; // already open
        mLevels.resize(IndexOf(&level) + 1);
        X11PopupWindow& w = *level.window;
        mLevels.push_back(OpenLevel(mDisplay, *submenu, w.X() + w.Canvas().GetWidth() - 2,
                                    w.Y() + level.rowTops[level.highlighted] - mMetrics.padding, mMetrics));
    }

    void Hover(int screenX, int screenY)
    {
        Level* level = LevelAt(screenX, screenY);
        if (!level)
            return;
        const int item = level->ItemAt(screenY - level->window->Y());
        if (item == level->highlighted && item >= 0 && level->menu->GetItem(item)->Submenu())
            return;
        Highlight(*level, item);
        OpenSubmenu(*level);
    }

    bool Choose(Level& level)
    {
        const int item = level.highlighted;
        if (item < 0 || !Selectable(*level.menu->GetItem(item)) || level.menu->GetItem(item)->Submenu())
            return false;
        level.menu->SetChosenItemIndex(item);
        mChosen = level.menu;
        return true;
    }

    // The next selectable item from `from` in the direction; `from` itself when there is none.
    static int Step(const Level& level, int from, int direction)
    {
        const int count = level.menu->NumItems();
        for (int n = 1; n <= count; ++n)
        {
            const int i = ((from < 0 ? (direction > 0 ? -1 : 0) : from) + direction * n + count * 2) % count;
            if (Selectable(*level.menu->GetItem(i)))
                return i;
        }
        return from;
    }

    bool Key(XKeyEvent& event)
    {
        char typed[8] = {};
        KeySym key = NoSymbol;
        XLookupString(&event, typed, sizeof(typed), &key, nullptr);
        Level& level = *mLevels.back();
        switch (key)
        {
            case XK_Up: Highlight(level, Step(level, level.highlighted, -1)); return false;
            case XK_Down: Highlight(level, Step(level, level.highlighted, 1)); return false;
            case XK_Right:
            case XK_Return:
            case XK_KP_Enter:
            case XK_space:
                if (level.highlighted >= 0 && level.menu->GetItem(level.highlighted)->Submenu())
                {
                    OpenSubmenu(level);
                    Level& opened = *mLevels.back();
                    if (&opened != &level)
                        Highlight(opened, Step(opened, -1, 1));
                    return false;
                }
                return key != XK_Right && Choose(level);
            case XK_Left:
                if (mLevels.size() > 1)
                    mLevels.pop_back();
                return false;
            case XK_Escape:
                if (mLevels.size() == 1)
                    return true;
                mLevels.pop_back();
                return false;
            default: return false;
        }
    }

    Display* mDisplay;
    Metrics mMetrics;
    std::vector<std::unique_ptr<Level>> mLevels;
    PopupMenu* mChosen = nullptr;
};
} // namespace

PopupMenu* X11RunPopupMenu(Display* display, PopupMenu& menu, int screenX, int screenY,
                           const std::function<void(XEvent&)>& otherEvent, const EditorScale& scale)
{
    if (menu.NumItems() == 0)
        return nullptr;
    MenuRun run(display, menu, screenX, screenY, scale);
    const Window grabber = run.FirstWindow();
    XSync(display, False);
    // Without the grabs the menu still answers clicks on its own windows.
    X11GrabInput(display, grabber, ButtonPressMask | ButtonReleaseMask | PointerMotionMask);
    for (;;)
    {
        XEvent event;
        XNextEvent(display, &event);
        if (run.Handle(event, otherEvent))
            break;
    }
    XUngrabKeyboard(display, CurrentTime);
    XUngrabPointer(display, CurrentTime);
    XFlush(display);
    return run.Chosen();
}
