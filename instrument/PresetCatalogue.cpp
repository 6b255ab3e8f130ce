#include "instrument/PresetCatalogue.h"

#include <array>
#include <cstdio>

namespace
{

// How the entries of one catalogue row are named after the row's stem.
enum class RowNaming
{
    Single,    // the stem is the whole name
    Lettered,  // stem + " A", " B", ...
    UserSlots, // stem + " 001", " 002", ... continuing the user slot count
};

struct CatalogueRow
{
    const char* stem;
    int count;
    RowNaming naming;
    const char* folder;
    int menu;
};

// Sub-menus in main-menu order; their base numbers follow from the rows below.
constexpr std::array<const char*, PresetCatalogue::kMenuCount> kMenuTitles = {"",
                                                                              "Factory > EDM",
                                                                              "Factory > Vintage",
                                                                              "Factory > Acoustic",
                                                                              "User > User Bank A",
                                                                              "User > User Bank B",
                                                                              "User > User Bank C",
                                                                              "User > User Bank D"};

// The rows in catalogue order; numbers run on from 1 without gaps.
constexpr std::array<CatalogueRow, 14> kRows = {{
    {"WLCM - Beating Heart", 1, RowNaming::Single, "Factory/", 0},
    {"EDM - Electro", 14, RowNaming::Lettered, "Factory/", 1},
    {"EDM - Noisy", 3, RowNaming::Lettered, "Factory/", 1},
    {"VNTG - KM 808", 8, RowNaming::Lettered, "Factory/", 2},
    {"VNTG - KM 909", 5, RowNaming::Lettered, "Factory/", 2},
    {"VNTG - KM SDS", 4, RowNaming::Lettered, "Factory/", 2},
    {"VNTG - Processed", 5, RowNaming::Lettered, "Factory/", 2},
    {"ACST - Bass Djembe", 3, RowNaming::Lettered, "Factory/", 3},
    {"ACST - Bongo", 6, RowNaming::Lettered, "Factory/", 3},
    {"ACST - Snare", 5, RowNaming::Lettered, "Factory/", 3},
    {"USR - Kestrum User Preset", 25, RowNaming::UserSlots, "User/", 4},
    {"USR - Kestrum User Preset", 25, RowNaming::UserSlots, "User/", 5},
    {"USR - Kestrum User Preset", 25, RowNaming::UserSlots, "User/", 6},
    {"USR - Kestrum User Preset", 25, RowNaming::UserSlots, "User/", 7},
}};

struct Catalogue
{
    std::array<PresetCatalogueEntry, PresetCatalogue::kEntryCount> entries;
    std::array<int, PresetCatalogue::kMenuCount> menuBase{};  // number of a sub-menu's first item
    std::array<int, PresetCatalogue::kMenuCount> menuCount{}; // items of each sub-menu
};

std::string EntryName(const CatalogueRow& row, int indexInRow, int userSlot)
{
    std::string name = row.stem;
    if (row.naming == RowNaming::Lettered)
    {
        name += ' ';
        name += static_cast<char>('A' + indexInRow);
    }
    else if (row.naming == RowNaming::UserSlots)
    {
        char digits[16];
        std::snprintf(digits, sizeof digits, " %03d", userSlot);
        name += digits;
    }
    return name;
}

Catalogue BuildCatalogue()
{
    Catalogue catalogue;
    int number = PresetCatalogue::kFirstNumber;
    int userSlot = 1;
    for (const CatalogueRow& row : kRows)
    {
        for (int i = 0; i < row.count; ++i)
        {
            PresetCatalogueEntry& entry = catalogue.entries[number - PresetCatalogue::kFirstNumber];
            entry.number = number;
            entry.name = EntryName(row, i, userSlot);
            entry.file = std::string(row.folder) + entry.name + PresetCatalogue::kFileExtension;
            entry.menu = row.menu;
            if (row.menu != PresetCatalogue::kMainMenu)
            {
                if (catalogue.menuCount[row.menu] == 0)
                    catalogue.menuBase[row.menu] = number;
                ++catalogue.menuCount[row.menu];
            }
            if (row.naming == RowNaming::UserSlots)
                ++userSlot;
            ++number;
        }
    }
    return catalogue;
}

const Catalogue& TheCatalogue()
{
    static const Catalogue catalogue = BuildCatalogue();
    return catalogue;
}

// Main menu: "< Presets Library >", the welcome preset, then one item per sub-menu.
constexpr int kMainMenuPlainItems = 2;
constexpr int kMainMenuItemCount = kMainMenuPlainItems + PresetCatalogue::kMenuCount - 1;

bool IsSubMenu(int menu) { return menu > PresetCatalogue::kMainMenu && menu < PresetCatalogue::kMenuCount; }

} // namespace

const PresetCatalogueEntry* PresetCatalogue::EntryForNumber(int number)
{
    if (number < kFirstNumber || number > kLastNumber)
        return nullptr;
    return &TheCatalogue().entries[number - kFirstNumber];
}

std::optional<std::string> PresetCatalogue::PresetFileForNumber(double selectorValue)
{
    const char* file = PresetFileNameForNumber(selectorValue);
    if (!file)
        return std::nullopt;
    return std::string(file);
}

const char* PresetCatalogue::PresetFileNameForNumber(double selectorValue)
{
    const double rounded = selectorValue + 0.5;
    // Checked in double first so that huge values and NaN never reach the conversion.
    if (!(rounded >= kFirstNumber && rounded < kLastNumber + 1))
        return nullptr;
    return EntryForNumber(static_cast<int>(rounded))->file.c_str();
}

std::optional<int> PresetCatalogue::PresetMenuNumber(int menu, int position)
{
    if (position < 0 || position >= MenuItemCount(menu))
        return std::nullopt;
    if (menu == kMainMenu)
        return position;
    return TheCatalogue().menuBase[menu] + position;
}

int PresetCatalogue::MenuItemCount(int menu)
{
    if (menu == kMainMenu)
        return kMainMenuItemCount;
    if (IsSubMenu(menu))
        return TheCatalogue().menuCount[menu];
    return 0;
}

std::string PresetCatalogue::MenuItemText(int menu, int position)
{
    if (position < 0 || position >= MenuItemCount(menu))
        return {};
    if (menu == kMainMenu)
    {
        if (position == 0)
            return kNoPresetText;
        if (position == 1)
            return EntryForNumber(1)->name;
        return kMenuTitles[position - kMainMenuPlainItems + 1];
    }
    return EntryForNumber(TheCatalogue().menuBase[menu] + position)->name;
}

std::string PresetCatalogue::MenuTitle(int menu)
{
    if (!IsSubMenu(menu))
        return {};
    return kMenuTitles[menu];
}
