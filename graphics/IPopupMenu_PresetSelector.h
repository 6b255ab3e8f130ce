#pragma once
// The preset library menu: an invisible control over the preset name that, when clicked,
// shows the main menu with its submenus, as the plug-in's PresetMenuContent describes them.
// A choice sets the preset selection parameter directly and lets the plug-in react to it
// (OnParameterChange); the host is not told, since the choice is an action rather than an
// automatable value.

#include "graphics/IControl.h"
#include "graphics/PopupMenu.h"
#include "graphics/PresetMenuContent.h"

#include <memory>
#include <vector>

class IPopupMenu_PresetSelector : public IControl
{
public:
    // A choice sets the parameter `presetParamIndex` to the number `content` gives it.
    IPopupMenu_PresetSelector(IPlugBase* plug, const Rect& rect, int presetParamIndex,
                              std::unique_ptr<const PresetMenuContent> content,
                              const BlendSpec& blend = BlendSpec());
    ~IPopupMenu_PresetSelector() override;

    // [window thread]
    void MouseDown(int x, int y, const MouseModifiers& mod) override;
    // [window thread] Draws nothing visible: the preset name below shows through.
    bool Draw(IGraphics& graphics) override;

    // Menu 0 is the main menu, then the submenus in the order the main menu lists them;
    // none out of range.
    PopupMenu* Menu(int menu) const;
    // The content's menu number of `menu`, or -1 when it is none of ours.
    int MenuNumber(const PopupMenu* menu) const;

private:
    void BuildMenus();
    void ChoosePreset(int number);

    int mPresetParam = -1;
    std::unique_ptr<const PresetMenuContent> mContent;
    std::unique_ptr<PopupMenu> mMainMenu;
    std::vector<PopupMenu*> mMenus; // owned through mMainMenu
};
