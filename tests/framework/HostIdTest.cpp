#include "framework/HostId.h"

#include <gtest/gtest.h>

#include <string>

TEST(IdentifyHost, MatchesCaseInsensitiveSubstringsInTableOrder)
{
    const struct
    {
        const char* name;
        int id;
    } cases[] = {
        {"REAPER", 1},
        {"Reaper64", 1},
        {"Cubase 7", 3},
        {"Steinberg Nuendo", 4},
        {"Nuendo with Cubase inside", 3},
        {"PreSonus Studio One", 26},
        {"Ableton Live 9", 9},
        {"Deliverance", 9}, // "live" inside a longer word
        {"Digital Performer", 23},
        {"VST3PluginTestHost", 27},
        {"Pro Tools", 0},
        {"ProTools", 2},
        {"Ardour", 28},
        {"Standalone", 24},
        {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IdentifyHost(c.name), c.id) << c.name;
    EXPECT_EQ(IdentifyHost(nullptr), 0);
}

TEST(IdentifyHost, LooksOnlyAtTheFirst255Characters)
{
    std::string name(300, 'x');
    name.replace(260, 6, "Reaper");
    EXPECT_EQ(IdentifyHost(name.c_str()), 0);
    name.replace(249, 6, "Reaper"); // ends at the 255th character
    EXPECT_EQ(IdentifyHost(name.c_str()), 1);
    name.replace(249, 6, "xReape"); // would need the 256th
    name[255] = 'r';
    EXPECT_EQ(IdentifyHost(name.c_str()), 0);
}
