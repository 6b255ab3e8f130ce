#include <gtest/gtest.h>

#include <vector>

#include "graphics/raster/LiceUtf8.h"

namespace
{
// Decodes a whole text into its codes.
std::vector<int> Codes(const char* text, int length)
{
    std::vector<int> codes;
    int position = 0;
    int code = 0;
    while (int used = LiceDecodeUtf8Char(text + position, length - position, code))
    {
        codes.push_back(code);
        position += used;
    }
    return codes;
}
} // namespace

TEST(RasterUtf8, DecodesTwoAndThreeByteSequences)
{
    EXPECT_EQ(Codes("a\xC3\xA9z", 4), (std::vector<int>{'a', 0xE9, 'z'}));
    EXPECT_EQ(Codes("\xE2\x82\xAC", 3), (std::vector<int>{0x20AC}));
    EXPECT_EQ(Codes("\xEF\xBF\xBD", 3), (std::vector<int>{0xFFFD}));
}

TEST(RasterUtf8, FourByteCharactersBecomeOneSpace)
{
    EXPECT_EQ(Codes("a\xF0\x9F\x98\x80"
                    "b",
                    6),
              (std::vector<int>{'a', ' ', 'b'}));
}

TEST(RasterUtf8, MalformedBytesStandForThemselves)
{
    EXPECT_EQ(Codes("\xE9t\xE9", 3), (std::vector<int>{0xE9, 't', 0xE9}));
    EXPECT_EQ(Codes("\xC0\x80", 2), (std::vector<int>{0xC0, 0x80})); // overlong lead
    EXPECT_EQ(Codes("\xF5\x80\x80\x80", 4), (std::vector<int>{0xF5, 0x80, 0x80, 0x80}));
    // A sequence cut by the length is not read past it.
    EXPECT_EQ(Codes("\xC3\xA9", 1), (std::vector<int>{0xC3}));
    EXPECT_EQ(Codes("\xE2\x82\xAC", 2), (std::vector<int>{0xE2, 0x82}));
}

TEST(RasterUtf8, StopsAtTheLengthOrAZeroByte)
{
    EXPECT_EQ(Codes("abc", 2), (std::vector<int>{'a', 'b'}));
    EXPECT_EQ(Codes("ab\0cd", 5), (std::vector<int>{'a', 'b'}));
    EXPECT_EQ(Codes("\xC3\0", 2), (std::vector<int>{0xC3}));
    EXPECT_EQ(LiceTextLength("abc", -1), 3);
    EXPECT_EQ(LiceTextLength("abc", 2), 2);
    EXPECT_EQ(LiceTextLength("a\0c", 3), 1);
    EXPECT_EQ(LiceTextLength(nullptr, 5), 0);
}

TEST(RasterUtf8, RecognisesTextNeedingConversion)
{
    EXPECT_FALSE(LiceHasUtf8MultiByte("plain", 5));
    EXPECT_FALSE(LiceHasUtf8MultiByte("caf\xE9", 4));
    EXPECT_TRUE(LiceHasUtf8MultiByte("caf\xC3\xA9", 5));
    EXPECT_FALSE(LiceHasUtf8MultiByte("caf\xC3\xA9", 4));
}
