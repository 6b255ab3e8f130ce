#include <gtest/gtest.h>

#include "graphics/raster/LICE_MemBitmap.h"
#include "graphics/raster/LiceBlit.h"
#include "tests/graphics/raster/RasterTestSupport.h"

namespace
{
// Blits a single source pixel onto a single destination pixel and returns the result.
LICE_pixel BlendOne(LICE_pixel dest, LICE_pixel src, float weight, int mode)
{
    LICE_MemBitmap d(1, 1);
    LICE_MemBitmap s(1, 1);
    SetPixel(d, 0, 0, dest);
    SetPixel(s, 0, 0, src);
    BlitBitmap(&d, &s, 0, 0, nullptr, weight, mode);
    return PixelAt(d, 0, 0);
}

constexpr int kAlphaCopy = BlendCopy | BlendUseSourceAlpha;
constexpr LICE_pixel kBackground = 0xFF000000;

// A 4 x 4 source whose pixel (x, y) is 0xFF0000YX, to tell apart where pixels land.
void FillNumbered(LICE_IBitmap& bitmap)
{
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x)
            SetPixel(bitmap, x, y, 0xFF000000u | static_cast<LICE_pixel>(y << 4 | x));
}
} // namespace

TEST(RasterBlit, SourceAlphaCopyTruncatesTowardZeroAndSumsAlpha)
{
    // r: 192 + (16 - 192) * 191 / 256 = 192 - 131; flooring would give 60, not 61.
    EXPECT_EQ(BlendOne(0x80102030, 0x40C0A080, 1.0f, kAlphaCopy), 0xC03D4145u);
    // Destination alpha is the saturating sum.
    EXPECT_EQ(BlendOne(0xC8000000, 0x64000000, 1.0f, kAlphaCopy) >> 24, 255u);
    // Fully opaque source replaces the pixel; fully transparent leaves it alone.
    EXPECT_EQ(BlendOne(0x12345678, 0xFFABCDEF, 1.0f, kAlphaCopy), 0xFFABCDEFu);
    EXPECT_EQ(BlendOne(0x12345678, 0x00ABCDEF, 1.0f, kAlphaCopy), 0x12345678u);
    EXPECT_EQ(BlendOne(0x12345678, 0x00ABCDEF, 0.5f, kAlphaCopy), 0x12345678u);
}

TEST(RasterBlit, SourceAlphaCopyAtPartialWeightUsesThePixelWeight)
{
    // l = 128 * 256 / 256 = 128; blue: 255 + (0 - 255) * 128 / 256 = 255 - 127.
    EXPECT_EQ(BlendOne(0x10FF0000, 0xFF0000FF, 0.5f, kAlphaCopy), 0x907F0080u);
    // l = 64 * (63 + 1) / 256 = 16; colours 255 - 255 * 240 / 256 = 16, alpha 0 + 16.
    EXPECT_EQ(BlendOne(0x00000000, 0x3FFFFFFF, 0.25f, kAlphaCopy), 0x10101010u);
}

TEST(RasterBlit, PlainCopyFastPathsAndWeightedFormula)
{
    // Weight 1.0 is a block copy: transparent pixels overwrite too.
    EXPECT_EQ(BlendOne(0xFFFFFFFF, 0x00123456, 1.0f, BlendCopy), 0x00123456u);
    // Weight 0.5 halves both words.
    EXPECT_EQ(BlendOne(0x01FF0003, 0xFF00FF01, 0.5f, BlendCopy), 0x7F7F7F01u);
    // 255 + (0 - 255) * 192 / 256 = 64 in every channel, alpha included.
    EXPECT_EQ(BlendOne(0x00000000, 0xFFFFFFFF, 0.25f, BlendCopy), 0x40404040u);
    // Weight 0 and negative weights draw nothing.
    EXPECT_EQ(BlendOne(0x11223344, 0xFFFFFFFF, 0.0f, BlendCopy), 0x11223344u);
    EXPECT_EQ(BlendOne(0x11223344, 0xFFFFFFFF, -1.0f, BlendCopy), 0x11223344u);
    EXPECT_EQ(BlendOne(0x11223344, 0xFFFFFFFF, 0.001f, BlendCopy), 0x11223344u); // w rounds to 0
}

TEST(RasterBlit, AddDodgeMultiplyOverlay)
{
    EXPECT_EQ(BlendOne(0x80F01010, 0x80201020, 1.0f, BlendAdd), 0xFFFF2030u);
    // With source alpha 127: l = 128; colours gain l * s / 256, alpha a * l / 256.
    EXPECT_EQ(BlendOne(0x10101010, 0x7F406080, 1.0f, BlendAdd | BlendUseSourceAlpha), 0x4F304050u);
    EXPECT_EQ(BlendOne(0x10101010, 0x00FFFFFF, 1.0f, BlendAdd | BlendUseSourceAlpha), 0x10101010u);

    // Dodge: s = 128 doubles the destination; s = 255 saturates whatever is not 0.
    EXPECT_EQ(BlendOne(0x64646464, 0x80808080, 1.0f, BlendDodge), 0xC8C8C8C8u);
    EXPECT_EQ(BlendOne(0x01000201, 0xFFFFFFFF, 1.0f, BlendDodge), 0xFF00FFFFu);

    // Multiply by 128/256 halves; at weight 0.5 the factor is (128*128 + 128*256)/65536.
    EXPECT_EQ(BlendOne(0xC8C8C8C8, 0x80808080, 1.0f, BlendMultiply), 0x64646464u);
    EXPECT_EQ(BlendOne(0xC8C8C8C8, 0x80808080, 0.5f, BlendMultiply), 0x96969696u);

    // Overlay with mid grey is the identity; with white it lightens 128 to 191.
    EXPECT_EQ(BlendOne(0x80402010, 0x80808080, 1.0f, BlendOverlay), 0x80402010u);
    EXPECT_EQ(BlendOne(0x80808080, 0xFFFFFFFF, 1.0f, BlendOverlay), 0xBFBFBFBFu);
}

TEST(RasterBlit, ChannelCopyMovesOneByteAndIgnoresTheWeight)
{
    // Red of the source into alpha of the destination.
    EXPECT_EQ(BlendOne(0x11223344, 0x00AB0000, 0.3f, BlendChannelCopyMode(3, 2)), 0xAB223344u);
    EXPECT_EQ(BlendOne(0x11223344, 0x000000CD, 1.0f, BlendChannelCopyMode(1, 0)), 0x1122CD44u);
}

TEST(RasterBlit, HsvAdjustWithNeutralSourceKeepsTheColour)
{
    // Integer hue/saturation/value round trips may lose one step per channel.
    const LICE_pixel neutral = BlendOne(0x00C83264, 0xFF808080, 1.0f, BlendHSVAdjust);
    EXPECT_EQ(LICE_GetA(neutral), 0xFF); // the source alpha passes
    EXPECT_NEAR(LICE_GetR(neutral), 0xC8, 1);
    EXPECT_NEAR(LICE_GetG(neutral), 0x32, 1);
    EXPECT_NEAR(LICE_GetB(neutral), 0x64, 1);
    // Full value down makes black; a hue turn changes the colour but not its value.
    EXPECT_EQ(BlendOne(0x00C83264, 0xFF808000, 2.0f, BlendHSVAdjust) & 0xFFFFFF, 0u);
    const LICE_pixel turned = BlendOne(0x00C83264, 0xFFFF8080, 1.0f, BlendHSVAdjust);
    EXPECT_GT(LICE_GetB(turned), LICE_GetR(turned));
}

TEST(RasterBlit, NothingIsDrawnWithoutSourceOrOutsideTheDestination)
{
    LICE_MemBitmap dest(4, 4);
    LICE_MemBitmap src(2, 2);
    FillAll(dest, kBackground);
    FillAll(src, 0xFFFFFFFF);
    BlitBitmap(&dest, nullptr, 0, 0, nullptr, 1.0f, BlendCopy);
    BlitBitmap(nullptr, &src, 0, 0, nullptr, 1.0f, BlendCopy);
    BlitBitmap(&dest, &src, 4, 0, nullptr, 1.0f, BlendCopy);
    BlitBitmap(&dest, &src, 0, 4, nullptr, 1.0f, BlendCopy);
    BlitBitmap(&dest, &src, -2, 0, nullptr, 1.0f, BlendCopy);
    BlitBitmap(&dest, &src, 0, 0, nullptr, 0.0f, BlendCopy);
    const LICE_Rect outside = {2, 0, 5, 2}; // starts at the source's right edge
    BlitBitmap(&dest, &src, 0, 0, &outside, 1.0f, BlendCopy);
    LICE_MemBitmap empty;
    BlitBitmap(&dest, &empty, 0, 0, nullptr, 1.0f, BlendCopy);
    BlitBitmap(&empty, &src, 0, 0, nullptr, 1.0f, BlendCopy);
    EXPECT_EQ(CountNot(dest, kBackground), 0);
}

TEST(RasterBlit, ClipsAtEveryEdge)
{
    LICE_MemBitmap src(4, 4);
    FillNumbered(src);
    LICE_MemBitmap dest(4, 4);

    // Negative destination: the visible part comes from further into the source.
    FillAll(dest, kBackground);
    BlitBitmap(&dest, &src, -1, -2, nullptr, 1.0f, BlendCopy);
    EXPECT_EQ(PixelAt(dest, 0, 0), 0xFF000021u);
    EXPECT_EQ(PixelAt(dest, 2, 1), 0xFF000033u);
    EXPECT_EQ(PixelAt(dest, 3, 0), kBackground);
    EXPECT_EQ(PixelAt(dest, 0, 2), kBackground);

    // Past the right and bottom: cut.
    FillAll(dest, kBackground);
    BlitBitmap(&dest, &src, 3, 2, nullptr, 1.0f, kAlphaCopy);
    EXPECT_EQ(PixelAt(dest, 3, 2), 0xFF000000u);
    EXPECT_EQ(PixelAt(dest, 3, 3), 0xFF000010u);
    EXPECT_EQ(CountNot(dest, kBackground), 1); // (3,2) equals the source's 0xFF000000

    // A source rectangle reaching left/above the source moves the destination
    // instead; its right/bottom are clamped to the source.
    FillAll(dest, kBackground);
    const LICE_Rect reaching = {-1, -1, 9, 2};
    BlitBitmap(&dest, &src, 0, 0, &reaching, 1.0f, BlendCopy);
    EXPECT_EQ(PixelAt(dest, 0, 0), kBackground);
    EXPECT_EQ(PixelAt(dest, 1, 1), 0xFF000000u);
    EXPECT_EQ(PixelAt(dest, 3, 2), 0xFF000012u);
    EXPECT_EQ(PixelAt(dest, 1, 3), kBackground); // source rows end at bottom 2

    // An inner source rectangle.
    FillAll(dest, kBackground);
    const LICE_Rect inner = {1, 2, 3, 3};
    BlitBitmap(&dest, &src, 2, 0, &inner, 1.0f, BlendCopy);
    EXPECT_EQ(PixelAt(dest, 2, 0), 0xFF000021u);
    EXPECT_EQ(PixelAt(dest, 3, 0), 0xFF000022u);
    EXPECT_EQ(CountNot(dest, kBackground), 2);
}

TEST(RasterBlit, HonoursBottomUpBitmaps)
{
    LICE_MemBitmap src(4, 4);
    FillNumbered(src);
    FlippedBitmap dest(4, 4);
    FillAll(dest, kBackground);
    const LICE_Rect inner = {1, 1, 3, 3};
    BlitBitmap(&dest, &src, 0, 0, &inner, 1.0f, kAlphaCopy);
    EXPECT_EQ(PixelAt(dest, 0, 0), 0xFF000011u);
    EXPECT_EQ(PixelAt(dest, 1, 1), 0xFF000022u);
    // In memory the top row is the last stored one.
    EXPECT_EQ(dest.GetBits()[3 * dest.GetRowSpan()], 0xFF000011u);

    FlippedBitmap flippedSrc(2, 2);
    SetPixel(flippedSrc, 0, 0, 0xFFAAAAAA);
    SetPixel(flippedSrc, 0, 1, 0xFFBBBBBB);
    LICE_MemBitmap plain(2, 2);
    BlitBitmap(&plain, &flippedSrc, 0, 0, nullptr, 1.0f, BlendCopy);
    EXPECT_EQ(PixelAt(plain, 0, 0), 0xFFAAAAAAu);
    EXPECT_EQ(PixelAt(plain, 0, 1), 0xFFBBBBBBu);
}
