#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "graphics/raster/LICE_CachedFont.h"
#include "graphics/raster/LICE_MemBitmap.h"
#include "graphics/raster/LICE_SysBitmap.h"
#include "graphics/raster/LiceBlit.h"
#include "graphics/raster/LiceFontHandle.h"
#include "graphics/raster/LicePng.h"
#include "tests/graphics/raster/RasterTestSupport.h"

namespace
{
constexpr LICE_pixel kWhite = 0xFFFFFFFF;
constexpr int kPresetNameReferenceId = 201;
} // namespace

TEST(RasterCachedFont, CountsLiveFonts)
{
    const int before = LICE_CachedFont::LiveFontCount();
    {
        LICE_CachedFont first;
        LICE_CachedFont second;
        EXPECT_EQ(LICE_CachedFont::LiveFontCount(), before + 2);
    }
    EXPECT_EQ(LICE_CachedFont::LiveFontCount(), before);
}

TEST(RasterCachedFont, AFontWithoutHandleMeasuresAndDrawsNothing)
{
    LICE_CachedFont font;
    LICE_MemBitmap bitmap(20, 20);
    FillAll(bitmap, kWhite);
    LICE_Rect rect = {3, 4, 20, 20};
    EXPECT_EQ(font.RenderText(&bitmap, "Hello", -1, &rect, 0), 0);
    EXPECT_EQ(CountNot(bitmap, kWhite), 0);
    EXPECT_EQ(font.RenderText(nullptr, "Hello", -1, &rect, LICE_DT_CALCRECT), 0);
    EXPECT_EQ(rect.right, 3);
    EXPECT_EQ(rect.bottom, 4);
    EXPECT_EQ(font.RenderText(nullptr, "Hello", -1, &rect, 0), 0);
    EXPECT_EQ(font.RenderText(&bitmap, "Hello", -1, nullptr, 0), 0);
    EXPECT_EQ(font.GlyphCoverageBytes(), 0u);
}

namespace
{
// "Arial" (Liberation Sans under Wine and with FreeType) at 20 pixels, as the editor makes fonts.
LICE_HFONT MakeArial(int height)
{
    LiceFontRequest request;
    request.height = height;
    request.quality = 2;
    request.face = "Arial";
    return LiceCreateFontHandle(request);
}

class RasterCachedFontEngine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        font.SetFromFontHandle(MakeArial(20), LICE_FontOwnsHandle | LICE_FontAllowDirectDraw);
        ASSERT_NE(font.GetFontHandle(), nullptr);
        FillAll(canvas, kWhite);
    }

    int Draw(const char* text, int format = LICE_DT_NOCLIP)
    {
        LICE_Rect rect = {10, 5, 190, 45};
        return font.RenderText(&canvas, text, -1, &rect, format);
    }

    LICE_Rect Measure(const char* text)
    {
        LICE_Rect rect = {10, 5, 10, 5};
        font.RenderText(nullptr, text, -1, &rect, LICE_DT_CALCRECT);
        return rect;
    }

    // The darkest red value on the canvas (255 when nothing was drawn).
    int DarkestRed() const
    {
        int darkest = 255;
        for (int y = 0; y < canvas.GetHeight(); ++y)
            for (int x = 0; x < canvas.GetWidth(); ++x)
                darkest = std::min(darkest, LICE_GetR(PixelAt(canvas, x, y)));
        return darkest;
    }

    LICE_CachedFont font;
    LICE_SysBitmap canvas{200, 50};
};
} // namespace

TEST_F(RasterCachedFontEngine, TakesItsLineHeightFromTheFont)
{
    EXPECT_GE(font.LineHeight(), 18);
    EXPECT_LE(font.LineHeight(), 26);
}

TEST_F(RasterCachedFontEngine, WithoutDirectDrawingTextGoesThroughTheGlyphCacheOncePerCharacter)
{
    // Opaque text would be drawn by GDI directly on Windows; under Wine and with
    // FreeType the glyph path is taken, which fills the cache.
    EXPECT_GT(Draw("Hello"), 0);
    EXPECT_GT(CountNot(canvas, kWhite), 20);
    const size_t cached = font.GlyphCoverageBytes();
    EXPECT_GT(cached, 0u);

    LICE_SysBitmap first(200, 50);
    BlitBitmap(&first, &canvas, 0, 0, nullptr, 1.0f, BlendCopy);
    FillAll(canvas, kWhite);
    Draw("Hello");
    EXPECT_EQ(font.GlyphCoverageBytes(), cached); // nothing rendered again
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(PixelAt(canvas, x, y), PixelAt(first, x, y));

    Draw("Hex"); // only 'x' is new
    EXPECT_GT(font.GlyphCoverageBytes(), cached);
}

TEST_F(RasterCachedFontEngine, MeasuringNeverDrawsAndSetsTheRectFromItsCorner)
{
    LICE_Rect rect = {10, 5, 0, 0};
    const int height = font.RenderText(&canvas, "Hello", -1, &rect, LICE_DT_CALCRECT);
    EXPECT_EQ(CountNot(canvas, kWhite), 0);
    EXPECT_GT(rect.right, 10 + 20);
    EXPECT_EQ(rect.bottom, 5 + height);
    EXPECT_GE(height, font.LineHeight() - 2);

    const LICE_Rect twoLines = Measure("Hello\nHello");
    EXPECT_EQ(twoLines.right, rect.right);
    EXPECT_GT(twoLines.bottom - twoLines.top, height + font.LineHeight() / 2);
    LICE_Rect single = {10, 5, 10, 5};
    font.RenderText(nullptr, "Hello\nHello", -1, &single, LICE_DT_CALCRECT | LICE_DT_SINGLELINE);
    EXPECT_GT(single.right, rect.right); // the line feed counts as a space
    EXPECT_EQ(single.bottom, rect.bottom);
}

TEST_F(RasterCachedFontEngine, TranslucentTextIsLighterThanOpaqueText)
{
    font.SetTextColor(0xFF000000);
    Draw("H", LICE_DT_NOCLIP | FormatUseTextAlpha);
    const int opaque = DarkestRed();
    FillAll(canvas, kWhite);
    font.SetTextColor(0x40000000);
    Draw("H", LICE_DT_NOCLIP | FormatUseTextAlpha);
    const int translucent = DarkestRed();
    EXPECT_LT(opaque, 80);
    EXPECT_GT(translucent, opaque + 100);
    EXPECT_LT(translucent, 255);
}

TEST_F(RasterCachedFontEngine, CoveredPixelsOnlyBecomeMoreOpaque)
{
    FillAll(canvas, 0x00FFFFFF);
    Draw("H");
    int opaqueInk = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 200; ++x)
            opaqueInk += LICE_GetA(PixelAt(canvas, x, y)) == 255;
    EXPECT_GT(opaqueInk, 5);
}

TEST_F(RasterCachedFontEngine, CharacterEncodingsDrawAsExpected)
{
    // A 4-byte character takes the place of a space.
    EXPECT_EQ(Measure("a\xF0\x9F\x98\x80"
                      "b")
                  .right,
              Measure("a b").right);
    // A lone 0xE9 is the character U+00E9, as its UTF-8 form is.
    Draw("\xE9");
    LICE_SysBitmap latin1(200, 50);
    BlitBitmap(&latin1, &canvas, 0, 0, nullptr, 1.0f, BlendCopy);
    FillAll(canvas, kWhite);
    Draw("\xC3\xA9");
    EXPECT_GT(CountNot(canvas, kWhite), 5);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(PixelAt(canvas, x, y), PixelAt(latin1, x, y));
}

TEST_F(RasterCachedFontEngine, WeightZeroDrawsNothing)
{
    font.SetTextBlend(BlendCopy, 0.0f);
    Draw("Hello");
    EXPECT_EQ(CountNot(canvas, kWhite), 0);
}

TEST_F(RasterCachedFontEngine, ClipsToTheRectUnlessToldNotTo)
{
    LICE_Rect narrow = {0, 0, 6, 50};
    font.RenderText(&canvas, "WWW", -1, &narrow, 0);
    EXPECT_GT(CountNot(canvas, kWhite), 0);
    for (int y = 0; y < 50; ++y)
        for (int x = 6; x < 200; ++x)
            ASSERT_EQ(PixelAt(canvas, x, y), kWhite) << x << "," << y;
    FillAll(canvas, kWhite);
    font.RenderText(&canvas, "WWW", -1, &narrow, LICE_DT_NOCLIP);
    EXPECT_NE(PixelAt(canvas, 20, 10) & 0xFFFFFF, 0xFFFFFFu); // ink beyond the rect
}

TEST_F(RasterCachedFontEngine, RightAlignmentPlacesTheInkAtTheRightEdge)
{
    LICE_Rect rect = {0, 0, 200, 50};
    font.RenderText(&canvas, "Hi", -1, &rect, LICE_DT_RIGHT);
    int leftmostInk = 200;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 200; ++x)
            if (PixelAt(canvas, x, y) != kWhite)
                leftmostInk = std::min(leftmostInk, x);
    EXPECT_GT(leftmostInk, 170);
}

#ifdef _WIN32
TEST(RasterCachedFontDirect, VeryTallFontsAreDrawnByGdiDirectly)
{
    // Above 255 pixels of line height GDI draws even under Wine; the glyph cache
    // stays empty.
    LICE_CachedFont font;
    font.SetFromFontHandle(MakeArial(300), LICE_FontOwnsHandle | LICE_FontAllowDirectDraw);
    ASSERT_GT(font.LineHeight(), 255);
    LICE_Rect measured = {5, 6, 5, 6};
    const int height = font.RenderText(nullptr, "I", -1, &measured, LICE_DT_CALCRECT);
    EXPECT_GT(height, 255);
    EXPECT_EQ(measured.bottom, 6 + height);
    EXPECT_GT(measured.right, 5);

    LICE_SysBitmap withContext(400, 400);
    FillAll(withContext, kWhite);
    LICE_Rect rect = {0, 0, 400, 400};
    font.RenderText(&withContext, "I", -1, &rect, LICE_DT_NOCLIP);
    EXPECT_GT(CountNot(withContext, kWhite), 1000);

    LICE_MemBitmap withoutContext(400, 400);
    FillAll(withoutContext, kWhite);
    font.RenderText(&withoutContext, "I", -1, &rect, LICE_DT_CENTER);
    EXPECT_GT(CountNot(withoutContext, kWhite), 1000);
    EXPECT_EQ(font.GlyphCoverageBytes(), 0u);
    // Centred: the ink sits around the middle column.
    EXPECT_NE(PixelAt(withoutContext, 200, 200) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(PixelAt(withoutContext, 20, 200), kWhite);
}

#endif

TEST_F(RasterCachedFontEngine, DrawsIntoBitmapsWithoutDeviceContext)
{
    LICE_MemBitmap memory(100, 30);
    FillAll(memory, kWhite);
    LICE_Rect rect = {0, 0, 100, 30};
    font.RenderText(&memory, "Hello", -1, &rect, 0);
    EXPECT_GT(CountNot(memory, kWhite), 20);
}

#ifndef _WIN32
// The fonts compiled into the module draw the same pixels on every machine: a preset name
// as the editor draws it (Arial 20 bold, centred) equals the stored picture of it. A
// mismatch leaves the drawn picture beside the test as preset-name-drawn.rgba (200 x 30).
TEST(RasterCachedFontEmbedded, PresetNameEqualsItsReferencePicture)
{
    LiceFontRequest request;
    request.height = 20;
    request.weight = 700;
    request.face = "Arial";
    LICE_CachedFont font;
    font.SetFromFontHandle(LiceCreateFontHandle(request), LICE_FontOwnsHandle | LICE_FontAllowDirectDraw);
    font.SetTextColor(0xFF000000);
    LICE_MemBitmap drawn(200, 30);
    FillAll(drawn, kWhite);
    LICE_Rect rect = {0, 5, 200, 30};
    font.RenderText(&drawn, "ELCT - Tight Snare 07", -1, &rect, LICE_DT_NOCLIP | LICE_DT_CENTER);

    std::unique_ptr<LICE_MemBitmap> reference(DecodePngResource(nullptr, kPresetNameReferenceId));
    ASSERT_NE(reference, nullptr);
    int differing = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 200; ++x)
            differing += PixelAt(drawn, x, y) != PixelAt(*reference, x, y);
    if (differing)
    {
        std::FILE* out = std::fopen("preset-name-drawn.rgba", "wb");
        for (int y = 0; out && y < 30; ++y)
            for (int x = 0; x < 200; ++x)
            {
                const LICE_pixel p = PixelAt(drawn, x, y);
                const unsigned char rgba[4] = {
                    static_cast<unsigned char>(LICE_GetR(p)), static_cast<unsigned char>(LICE_GetG(p)),
                    static_cast<unsigned char>(LICE_GetB(p)), static_cast<unsigned char>(LICE_GetA(p))};
                std::fwrite(rgba, 1, 4, out);
            }
        if (out)
            std::fclose(out);
    }
    EXPECT_EQ(differing, 0);
}
#endif
