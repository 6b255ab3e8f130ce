#pragma once
// The instrument's preset vocabulary: 154 numbered entries (a welcome preset, 53
// factory presets in three style groups, 100 user slots). The catalogue fixes each
// entry's number, display name, menu and file; the values themselves live in preset
// files in the preset library folder and are not part of the program.
//
// Number 0 stands for "no preset" and selects no file. The preset menu has a main
// menu (menu 0) and seven sub-menus (menus 1 to 7, in the order the main menu lists
// them); a menu choice maps to a catalogue number through PresetMenuNumber.

#include <optional>
#include <string>

struct PresetCatalogueEntry
{
    int number = 0;   // 1 to 154
    std::string name; // display name, e.g. "EDM - Electro A"
    std::string file; // relative to the library folder, e.g. "Factory/EDM - Electro A.kestrumpreset"
    int menu = 0;     // 0 main menu, 1 to 7 the sub-menus
};

class PresetCatalogue
{
public:
    static constexpr int kFirstNumber = 1;
    static constexpr int kLastNumber = 154;
    static constexpr int kEntryCount = kLastNumber - kFirstNumber + 1;
    static constexpr int kMainMenu = 0;
    static constexpr int kMenuCount = 8; // main menu plus seven sub-menus
    static constexpr const char* kNoPresetText = "< Presets Library >";
    static constexpr const char* kFileExtension = ".kestrumpreset";

    // The entry with this catalogue number, or none outside 1 to 154.
    static const PresetCatalogueEntry* EntryForNumber(int number);

    // The file of the entry that a PresetSelector value selects. The value is rounded by
    // adding 0.5 and truncating toward zero, so 0.49 selects nothing and 1.5 entry 2.
    static std::optional<std::string> PresetFileForNumber(double selectorValue);
    // The same file without a copy: the catalogue's own text, or none.
    // [any thread; allocates nothing]
    static const char* PresetFileNameForNumber(double selectorValue);

    // The catalogue number of a menu choice: main-menu positions as they are, sub-menu
    // positions plus the sub-menu's base number. Nothing for an unknown menu or a
    // position the menu does not have.
    static std::optional<int> PresetMenuNumber(int menu, int position);

    // Menu structure for the editor's preset menu.
    static int MenuItemCount(int menu);                      // 0 for an unknown menu
    static std::string MenuItemText(int menu, int position); // empty when out of range
    static std::string MenuTitle(int menu);                  // sub-menu titles; "" for the main menu
};
