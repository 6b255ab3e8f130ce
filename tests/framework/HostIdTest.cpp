#include "framework/HostId.h"

#include <gtest/gtest.h>

#include <string>

TEST(IdentifyHost, MatchesCaseInsensitiveSubstringsInTableOrder)
{
    EXPECT_EQ(IdentifyHost("REAPER"), 1);
    EXPECT_EQ(IdentifyHost("Reaper64"), 1);
    EXPECT_EQ(IdentifyHost("Cubase 7"), 3);
    EXPECT_EQ(IdentifyHost("Steinberg Nuendo"), 4);
    EXPECT_EQ(IdentifyHost("Nuendo with Cubase inside"), 3);
    EXPECT_EQ(IdentifyHost("PreSonus Studio One"), 26);
    EXPECT_EQ(IdentifyHost("Ableton Live 9"), 9);
    EXPECT_EQ(IdentifyHost("Deliverance"), 9);  // "live" inside a longer word
    EXPECT_EQ(IdentifyHost("Digital Performer"), 23);
    EXPECT_EQ(IdentifyHost("VST3PluginTestHost"), 27);
    EXPECT_EQ(IdentifyHost("Pro Tools"), 0);
    EXPECT_EQ(IdentifyHost("ProTools"), 2);
    EXPECT_EQ(IdentifyHost("Ardour"), 28);
    EXPECT_EQ(IdentifyHost("Standalone"), 24);
    EXPECT_EQ(IdentifyHost(""), 0);
    EXPECT_EQ(IdentifyHost(nullptr), 0);
}

TEST(IdentifyHost, LooksOnlyAtTheFirst255Characters)
{
    std::string name(300, 'x');
    name.replace(260, 6, "Reaper");
    EXPECT_EQ(IdentifyHost(name.c_str()), 0);
    name.replace(249, 6, "Reaper");  // ends at the 255th character
    EXPECT_EQ(IdentifyHost(name.c_str()), 1);
    name.replace(249, 6, "xReape");  // would need the 256th
    name[255] = 'r';
    EXPECT_EQ(IdentifyHost(name.c_str()), 0);
}
