#pragma once
// The preset library menu's content: the catalogue's main menu and seven submenus, each
// choice standing for a catalogue number (PresetCatalogue.h).

#include "graphics/PresetMenuContent.h"

class KestrumPresetMenu : public PresetMenuContent
{
public:
    // [window thread] for all four.
    int MenuCount() const override;
    int ItemCount(int menu) const override;
    std::string ItemText(int menu, int position) const override;
    std::optional<int> ChoiceNumber(int menu, int position) const override;
};
