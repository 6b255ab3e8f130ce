#include "instrument/KestrumPresetMenu.h"

#include "instrument/PresetCatalogue.h"

int KestrumPresetMenu::MenuCount() const { return PresetCatalogue::kMenuCount; }

int KestrumPresetMenu::ItemCount(int menu) const { return PresetCatalogue::MenuItemCount(menu); }

std::string KestrumPresetMenu::ItemText(int menu, int position) const
{
    return PresetCatalogue::MenuItemText(menu, position);
}

std::optional<int> KestrumPresetMenu::ChoiceNumber(int menu, int position) const
{
    return PresetCatalogue::PresetMenuNumber(menu, position);
}
