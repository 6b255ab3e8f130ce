#include "instrument/PresetCatalogue.h"

#include <cmath>
#include <set>
#include <string>

#include <gtest/gtest.h>

namespace
{

std::string FileOf(double selectorValue)
{
    return PresetCatalogue::PresetFileForNumber(selectorValue).value_or("<none>");
}

TEST(PresetCatalogue, NamesAndFilesAtEveryRowBoundary)
{
    const struct
    {
        int number;
        const char* name;
        const char* folder;
    } expected[] = {
        {1, "WLCM - Beating Heart", "Factory/"},
        {2, "EDM - Electro A", "Factory/"},
        {15, "EDM - Electro N", "Factory/"},
        {16, "EDM - Noisy A", "Factory/"},
        {18, "EDM - Noisy C", "Factory/"},
        {19, "VNTG - KM 808 A", "Factory/"},
        {26, "VNTG - KM 808 H", "Factory/"},
        {27, "VNTG - KM 909 A", "Factory/"},
        {31, "VNTG - KM 909 E", "Factory/"},
        {32, "VNTG - KM SDS A", "Factory/"},
        {35, "VNTG - KM SDS D", "Factory/"},
        {36, "VNTG - Processed A", "Factory/"},
        {40, "VNTG - Processed E", "Factory/"},
        {41, "ACST - Bass Djembe A", "Factory/"},
        {43, "ACST - Bass Djembe C", "Factory/"},
        {44, "ACST - Bongo A", "Factory/"},
        {49, "ACST - Bongo F", "Factory/"},
        {50, "ACST - Snare A", "Factory/"},
        {54, "ACST - Snare E", "Factory/"},
        {55, "USR - Kestrum User Preset 001", "User/"},
        {79, "USR - Kestrum User Preset 025", "User/"},
        {80, "USR - Kestrum User Preset 026", "User/"},
        {104, "USR - Kestrum User Preset 050", "User/"},
        {105, "USR - Kestrum User Preset 051", "User/"},
        {130, "USR - Kestrum User Preset 076", "User/"},
        {154, "USR - Kestrum User Preset 100", "User/"},
    };
    for (const auto& e : expected)
    {
        const PresetCatalogueEntry* entry = PresetCatalogue::EntryForNumber(e.number);
        ASSERT_NE(entry, nullptr) << e.number;
        EXPECT_EQ(entry->number, e.number);
        EXPECT_EQ(entry->name, e.name);
        EXPECT_EQ(entry->file, std::string(e.folder) + e.name + ".kestrumpreset");
    }
}

TEST(PresetCatalogue, NamesAndFilesAreUniqueAndWellFormed)
{
    std::set<std::string> names;
    std::set<std::string> files;
    for (int number = 1; number <= 154; ++number)
    {
        const PresetCatalogueEntry* entry = PresetCatalogue::EntryForNumber(number);
        ASSERT_NE(entry, nullptr);
        names.insert(entry->name);
        files.insert(entry->file);
        EXPECT_NE(entry->name.find(" - "), std::string::npos) << entry->name;
    }
    EXPECT_EQ(names.size(), 154u);
    EXPECT_EQ(files.size(), 154u);
    EXPECT_EQ(PresetCatalogue::EntryForNumber(0), nullptr);
    EXPECT_EQ(PresetCatalogue::EntryForNumber(155), nullptr);
}

TEST(PresetCatalogue, SelectorValuesRoundByAddingHalfAndTruncating)
{
    EXPECT_EQ(FileOf(0.49), "<none>");
    EXPECT_EQ(FileOf(0.5), "Factory/WLCM - Beating Heart.kestrumpreset");
    EXPECT_EQ(FileOf(1.5), "Factory/EDM - Electro A.kestrumpreset");
    EXPECT_EQ(FileOf(-0.7), "<none>");
    EXPECT_EQ(FileOf(54.4), "Factory/ACST - Snare E.kestrumpreset");
    EXPECT_EQ(FileOf(54.5), "User/USR - Kestrum User Preset 001.kestrumpreset");
    EXPECT_EQ(FileOf(154.49), "User/USR - Kestrum User Preset 100.kestrumpreset");
}

TEST(PresetCatalogue, NumbersWithoutAnEntrySelectNoFile)
{
    for (double value : {0.0, -1.0, 154.5, 155.0, 10000.0, 1e300, -1e300, std::nan("")})
        EXPECT_EQ(FileOf(value), "<none>") << value;
}

TEST(PresetCatalogue, MenuChoicesMapToCatalogueNumbers)
{
    EXPECT_EQ(PresetCatalogue::PresetMenuNumber(0, 0), 0); // "< Presets Library >"
    EXPECT_EQ(PresetCatalogue::PresetMenuNumber(0, 1), 1);
    EXPECT_EQ(PresetCatalogue::PresetMenuNumber(1, 0), 2);
    EXPECT_EQ(PresetCatalogue::PresetMenuNumber(1, 16), 18);
    EXPECT_EQ(PresetCatalogue::PresetMenuNumber(2, 0), 19);
    EXPECT_EQ(PresetCatalogue::PresetMenuNumber(3, 13), 54);
    EXPECT_EQ(PresetCatalogue::PresetMenuNumber(4, 0), 55);
    EXPECT_EQ(PresetCatalogue::PresetMenuNumber(5, 0), 80);
    EXPECT_EQ(PresetCatalogue::PresetMenuNumber(6, 0), 105);
    EXPECT_EQ(PresetCatalogue::PresetMenuNumber(7, 24), 154);

    EXPECT_FALSE(PresetCatalogue::PresetMenuNumber(1, 17).has_value());
    EXPECT_FALSE(PresetCatalogue::PresetMenuNumber(7, 25).has_value());
    EXPECT_FALSE(PresetCatalogue::PresetMenuNumber(8, 0).has_value());
    EXPECT_FALSE(PresetCatalogue::PresetMenuNumber(-1, 0).has_value());
    EXPECT_FALSE(PresetCatalogue::PresetMenuNumber(2, -1).has_value());
}

TEST(PresetCatalogue, EveryMenuItemShowsTheEntryItSelects)
{
    const int expectedCounts[] = {9, 17, 22, 14, 25, 25, 25, 25};
    int subMenuItems = 0;
    for (int menu = 0; menu < PresetCatalogue::kMenuCount; ++menu)
    {
        ASSERT_EQ(PresetCatalogue::MenuItemCount(menu), expectedCounts[menu]) << menu;
        if (menu == PresetCatalogue::kMainMenu)
            continue;
        for (int position = 0; position < PresetCatalogue::MenuItemCount(menu); ++position)
        {
            const int number = PresetCatalogue::PresetMenuNumber(menu, position).value();
            EXPECT_EQ(PresetCatalogue::MenuItemText(menu, position),
                      PresetCatalogue::EntryForNumber(number)->name);
            EXPECT_EQ(PresetCatalogue::EntryForNumber(number)->menu, menu);
            ++subMenuItems;
        }
    }
    EXPECT_EQ(subMenuItems, 153); // every entry but the welcome preset, which the main menu holds
}

TEST(PresetCatalogue, MainMenuListsPlainItemsThenSubMenus)
{
    EXPECT_EQ(PresetCatalogue::MenuItemText(0, 0), "< Presets Library >");
    EXPECT_EQ(PresetCatalogue::MenuItemText(0, 1), "WLCM - Beating Heart");
    EXPECT_EQ(PresetCatalogue::MenuItemText(0, 2), "Factory > EDM");
    EXPECT_EQ(PresetCatalogue::MenuItemText(0, 4), "Factory > Acoustic");
    EXPECT_EQ(PresetCatalogue::MenuItemText(0, 8), "User > User Bank D");
    EXPECT_EQ(PresetCatalogue::MenuTitle(3), "Factory > Acoustic");
    EXPECT_EQ(PresetCatalogue::MenuItemText(0, 9), "");
}

} // namespace
