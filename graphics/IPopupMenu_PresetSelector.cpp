#include "graphics/IPopupMenu_PresetSelector.h"

#include "framework/IPlugBase.h"
#include "graphics/IGraphics.h"

IPopupMenu_PresetSelector::IPopupMenu_PresetSelector(IPlugBase* plug, const Rect& rect, int presetParamIndex,
                                                     std::unique_ptr<const PresetMenuContent> content,
                                                     const BlendSpec& blend)
    : IControl(plug, rect, -1, blend),
      mPresetParam(presetParamIndex),
      mContent(std::move(content))
{
    BuildMenus();
}

IPopupMenu_PresetSelector::~IPopupMenu_PresetSelector() = default;

void IPopupMenu_PresetSelector::MouseDown(int /*x*/, int /*y*/, const MouseModifiers& /*mod*/)
{
    IGraphics* gui = GetGUI();
    if (gui)
    {
        const PopupMenu* chosen = gui->ShowPopupMenu(*mMainMenu, GetRect());
        const int menu = MenuNumber(chosen);
        if (menu >= 0 && mContent)
        {
            const auto number = mContent->ChoiceNumber(menu, chosen->ChosenItemIndex());
            if (number)
                ChoosePreset(*number);
        }
    }
    MarkChanged(true);
}

bool IPopupMenu_PresetSelector::Draw(IGraphics& graphics)
{
    const BlendSpec invisible(BlendSpec::kAlpha, 1.0f);
    graphics.FillColorRect(Color(0, 0, 0, 0), GetRect(), &invisible);
    return true;
}

PopupMenu* IPopupMenu_PresetSelector::Menu(int menu) const
{
    if (menu < 0 || menu >= static_cast<int>(mMenus.size()))
        return nullptr;
    return mMenus[static_cast<size_t>(menu)];
}

int IPopupMenu_PresetSelector::MenuNumber(const PopupMenu* menu) const
{
    if (!menu)
        return -1;
    for (int i = 0; i < static_cast<int>(mMenus.size()); ++i)
        if (mMenus[static_cast<size_t>(i)] == menu)
            return i;
    return -1;
}

void IPopupMenu_PresetSelector::BuildMenus()
{
    mMainMenu = std::make_unique<PopupMenu>();
    mMenus.assign(1, mMainMenu.get());
    if (!mContent)
        return;
    // The main menu's plain items come first; its last items own the submenus.
    constexpr int kMainMenu = 0;
    const int menuCount = mContent->MenuCount();
    const int mainItems = mContent->ItemCount(kMainMenu);
    const int plainItems = mainItems - (menuCount - 1);
    int nextSubmenu = kMainMenu + 1;
    for (int position = 0; position < mainItems; ++position)
    {
        const std::string text = mContent->ItemText(kMainMenu, position);
        if (position < plainItems || nextSubmenu >= menuCount)
        {
            mMainMenu->AddItem(text.c_str());
            continue;
        }
        auto submenu = std::make_unique<PopupMenu>();
        for (int item = 0; item < mContent->ItemCount(nextSubmenu); ++item)
            submenu->AddItem(mContent->ItemText(nextSubmenu, item).c_str());
        mMenus.push_back(&mMainMenu->AddSubmenu(text.c_str(), std::move(submenu)));
        ++nextSubmenu;
    }
}

void IPopupMenu_PresetSelector::ChoosePreset(int number)
{
    IPlugBase* plug = GetPlug();
    if (!plug)
        return;
    // A choice, not automation: the host is not told; the plug-in lock is taken there.
    plug->ApplyParameterValue(mPresetParam, static_cast<float>(number), false, ValueOrigin::Instrument);
    RequestRedraw();
}
