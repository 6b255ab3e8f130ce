#pragma once
// What the preset library menu lists and what a choice in it means. The editor framework
// knows nothing of presets: the plug-in hands its catalogue in through this interface when it
// builds its editor.
//
// Menu 0 is the main menu, menus 1 to MenuCount() - 1 its submenus. The main menu's last
// MenuCount() - 1 items open the submenus in order; its other items and every submenu item
// are choices.
//
// Threads: read on the window thread only (building the menu and turning a choice into a
// number).

#include <optional>
#include <string>

class PresetMenuContent
{
public:
    virtual ~PresetMenuContent() = default;

    // The main menu and its submenus; at least 1.
    virtual int MenuCount() const = 0;
    // The items of a menu; 0 for an unknown menu.
    virtual int ItemCount(int menu) const = 0;
    // An item's text (a submenu's title for the items that open one); empty out of range.
    virtual std::string ItemText(int menu, int position) const = 0;
    // The value a choice gives the preset parameter; none for a position that chooses
    // nothing.
    virtual std::optional<int> ChoiceNumber(int menu, int position) const = 0;
};
