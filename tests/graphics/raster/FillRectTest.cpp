#include <gtest/gtest.h>

#include "graphics/raster/LICE_MemBitmap.h"
#include "graphics/raster/LiceBlit.h"
#include "tests/graphics/raster/RasterTestSupport.h"

namespace
{
LICE_pixel FillOne(LICE_pixel dest, LICE_pixel color, float weight, int mode)
{
    LICE_MemBitmap d(1, 1);
    SetPixel(d, 0, 0, dest);
    FillRect(&d, 0, 0, 1, 1, color, weight, mode);
    return PixelAt(d, 0, 0);
}
constexpr int kAlphaCopy = BlendCopy | BlendUseSourceAlpha;
} // namespace

TEST(RasterFillRect, FastPathsStoreTheWordCombinations)
{
    // An opaque colour at full weight is stored as it is, alpha included.
    EXPECT_EQ(FillOne(0x12345678, 0xFF102030, 1.0f, kAlphaCopy), 0xFF102030u);
    EXPECT_EQ(FillOne(0x12345678, 0x00102030, 1.0f, BlendCopy), 0x00102030u);
    // 128: halves of both.
    EXPECT_EQ(FillOne(0x00FF00FF, 0xFF00FF00, 0.5f, BlendCopy), 0x7F7F7F7Fu);
    // Colour alpha 0x80 turns weight 1.0 into 128/255, which lands on the same path.
    EXPECT_EQ(FillOne(0x00FF00FF, 0x8000FF00, 1.0f, kAlphaCopy), 0x407F7F7Fu);
    // 64: three quarters destination, one quarter colour.
    EXPECT_EQ(FillOne(0xFFFFFFFF, 0x00000000, 0.25f, BlendCopy), 0xBEBEBEBEu);
    // 192: one quarter destination, three quarters colour.
    EXPECT_EQ(FillOne(0xFFFFFFFF, 0x00000000, 0.75f, BlendCopy), 0x3F3F3F3Fu);
}

TEST(RasterFillRect, WeightedCopyMovesAlphaTowardTheWeight)
{
    // w = int(0.3 * 256) = 76. Colour 255 + (0 - 255) * 180 / 256 = 76;
    // alpha 76 + (0 - 76) * 180 / 256 = 23.
    EXPECT_EQ(FillOne(0x00000000, 0xFFFFFFFF, 0.3f, BlendCopy), 0x174C4C4Cu);
    // Alpha moves toward w, not toward the colour's alpha.
    EXPECT_EQ(FillOne(0xFF000000, 0x00000000, 0.3f, BlendCopy) >> 24,
              static_cast<LICE_pixel>(76 + 179 * 180 / 256));
    // Negative weights draw nothing in copy mode.
    EXPECT_EQ(FillOne(0x11223344, 0xFFFFFFFF, -0.3f, BlendCopy), 0x11223344u);
}

TEST(RasterFillRect, OtherModesUseTheColourAsSource)
{
    // Add: colours saturate, alpha gains w * w / 256 (76 * 76 / 256 = 22).
    EXPECT_EQ(FillOne(0x10F01010, 0x00FFFFFF, 0.3f, BlendAdd), 0x26FF5B5Bu);
    // Multiply keeps the destination alpha.
    EXPECT_EQ(FillOne(0x40C8C8C8, 0xFF808080, 1.0f, BlendMultiply), 0x40646464u);
    // Channel copy from a constant colour.
    EXPECT_EQ(FillOne(0x11223344, 0x00AB0000, 1.0f, BlendChannelCopyMode(0, 2)), 0x112233ABu);
}

TEST(RasterFillRect, ClipsToTheBitmapAndIgnoresEmptyRequests)
{
    LICE_MemBitmap bitmap(4, 3);
    FillAll(bitmap, 0);
    FillRect(&bitmap, -2, -1, 3, 2, 0xFFFFFFFF, 1.0f, BlendCopy); // leaves (0,0) only
    EXPECT_EQ(PixelAt(bitmap, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(CountNot(bitmap, 0), 1);

    FillAll(bitmap, 0);
    FillRect(&bitmap, 2, 1, 100, 100, 0xFFFFFFFF, 1.0f, BlendCopy);
    EXPECT_EQ(CountNot(bitmap, 0), 4);
    EXPECT_EQ(PixelAt(bitmap, 3, 2), 0xFFFFFFFFu);

    FillAll(bitmap, 0);
    FillRect(&bitmap, 4, 0, 1, 1, 0xFFFFFFFF, 1.0f, BlendCopy);
    FillRect(&bitmap, 0, 3, 1, 1, 0xFFFFFFFF, 1.0f, BlendCopy);
    FillRect(&bitmap, -1, 0, 1, 1, 0xFFFFFFFF, 1.0f, BlendCopy);
    FillRect(&bitmap, 0, 0, 0, 1, 0xFFFFFFFF, 1.0f, BlendCopy);
    FillRect(&bitmap, 0, 0, 1, 1, 0xFFFFFFFF, 0.0f, BlendCopy);
    FillRect(&bitmap, 0, 0, 1, 1, 0x00FFFFFF, 1.0f, kAlphaCopy); // transparent colour: weight 0
    FillRect(nullptr, 0, 0, 1, 1, 0xFFFFFFFF, 1.0f, BlendCopy);
    EXPECT_EQ(CountNot(bitmap, 0), 0);

    LICE_MemBitmap empty;
    FillRect(&empty, 0, 0, 1, 1, 0xFFFFFFFF, 1.0f, BlendCopy);

    FlippedBitmap flipped(2, 2);
    FillAll(flipped, 0);
    FillRect(&flipped, 0, 0, 2, 1, 0xFFFFFFFF, 1.0f, BlendCopy);
    EXPECT_EQ(flipped.GetBits()[flipped.GetRowSpan()], 0xFFFFFFFFu); // top row stored last
    EXPECT_EQ(flipped.GetBits()[0], 0u);
}

TEST(RasterBlur, SmoothsOnlyTheRequestedArea)
{
    LICE_MemBitmap bitmap(5, 5);
    FillAll(bitmap, 0);
    SetPixel(bitmap, 1, 1, 0xFFFFFFFF);
    SetPixel(bitmap, 4, 4, 0xFFFFFFFF);
    BlurBitmap(&bitmap, 3, 3);
    EXPECT_EQ(PixelAt(bitmap, 1, 1), 0x3F3F3F3Fu); // 255 * 4 / 16
    EXPECT_EQ(PixelAt(bitmap, 0, 1), 0x1F1F1F1Fu); // 255 * 2 / 16
    EXPECT_EQ(PixelAt(bitmap, 0, 0), 0x0F0F0F0Fu); // 255 * 1 / 16
    EXPECT_EQ(PixelAt(bitmap, 3, 3), 0u);          // outside the area
    EXPECT_EQ(PixelAt(bitmap, 4, 4), 0xFFFFFFFFu);
    BlurBitmap(&bitmap, 100, 100); // larger than the bitmap: cut, no overrun
    BlurBitmap(nullptr, 3, 3);
}
