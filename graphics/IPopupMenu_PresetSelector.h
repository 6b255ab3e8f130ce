#pragma once
// The preset library menu: an invisible control over the preset name that, when clicked,
// shows the catalogue's main menu with its seven submenus. A choice sets the preset
// selection parameter directly and lets the plug-in react to it (OnParameterChange); the
// host is not told, since the choice is an action rather than an automatable value.

#include "graphics/IControl.h"
#include "graphics/PopupMenu.h"

#include <array>
#include <memory>

class IPopupMenu_PresetSelector : public IControl
{
public:
    static constexpr int kPresetSelectorParam = 13;
    static constexpr int kMenuCount = 8;  // the main menu and seven submenus

    IPopupMenu_PresetSelector(IPlugBase* plug, const Rect& rect, int presetParamIndex = kPresetSelectorParam,
                              const BlendSpec& blend = BlendSpec());
    ~IPopupMenu_PresetSelector() override;

    // [window thread]
    void MouseDown(int x, int y, const MouseModifiers& mod) override;
    // [window thread] Draws nothing visible: the preset name below shows through.
    bool Draw(IGraphics& graphics) override;

    // Menu 0 is the main menu, 1 to 7 the submenus in the order the main menu lists them.
    PopupMenu* Menu(int menu) const;
    // The catalogue menu number of `menu`, or -1 when it is none of ours.
    int MenuNumber(const PopupMenu* menu) const;

private:
    void BuildMenus();
    void ChoosePreset(int number);

    int mPresetParam = kPresetSelectorParam;
    std::unique_ptr<PopupMenu> mMainMenu;
    std::array<PopupMenu*, kMenuCount> mMenus{};  // owned through mMainMenu
};
