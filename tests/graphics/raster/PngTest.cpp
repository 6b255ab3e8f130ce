#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "graphics/raster/LicePng.h"
#include "tests/graphics/raster/RasterTestSupport.h"

namespace
{
using Bitmap = std::unique_ptr<LICE_MemBitmap>;

Bitmap Decode(const std::vector<unsigned char>& bytes)
{
    return Bitmap(DecodePngMemory(bytes.data(), static_cast<int>(bytes.size())));
}

PngRecipe Recipe(int width, int height, int colorType, std::vector<std::vector<unsigned char>> rows,
                 int bitDepth = 8)
{
    PngRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.colorType = colorType;
    recipe.bitDepth = bitDepth;
    recipe.rows = std::move(rows);
    return recipe;
}

PngRecipe Rgba2x1()
{
    return Recipe(2, 1, PNG_COLOR_TYPE_RGB_ALPHA, {{0x10, 0x20, 0x30, 0x40, 0xAA, 0xBB, 0xCC, 0x00}});
}

// Encodes the recipe, decodes it again and compares every pixel, row by row.
void ExpectDecodesTo(const PngRecipe& recipe, const std::vector<LICE_pixel>& pixels)
{
    Bitmap image = Decode(EncodePng(recipe));
    ASSERT_TRUE(image);
    ASSERT_EQ(image->GetWidth(), recipe.width);
    ASSERT_EQ(image->GetHeight(), recipe.height);
    for (int y = 0; y < recipe.height; ++y)
        for (int x = 0; x < recipe.width; ++x)
            EXPECT_EQ(PixelAt(*image, x, y), pixels[y * recipe.width + x]) << x << "," << y;
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
#ifdef _WIN32
    wchar_t widePath[2048];
    ASSERT_GT(MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, widePath, 2048), 0);
    FILE* file = _wfopen(widePath, L"wb");
#else
    FILE* file = std::fopen(path.c_str(), "wb");
#endif
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}
} // namespace

TEST(RasterPng, RgbaKeepsStraightAlpha)
{
    ExpectDecodesTo(Rgba2x1(), {0x40102030u, 0x00AABBCCu}); // colour kept under zero alpha
}

TEST(RasterPng, RgbIsOpaqueAndSixteenBitIsStripped)
{
    ExpectDecodesTo(Recipe(1, 2, PNG_COLOR_TYPE_RGB, {{0x01, 0x02, 0x03}, {0xFD, 0xFE, 0xFF}}),
                    {0xFF010203u, 0xFFFDFEFFu});
    // The high byte of each sample.
    ExpectDecodesTo(
        Recipe(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0x80, 0x01}}, 16),
        {0x8012569Au});
}

TEST(RasterPng, GreyImagesExpandToRgb)
{
    ExpectDecodesTo(Recipe(2, 1, PNG_COLOR_TYPE_GRAY, {{0x00, 0x7F}}), {0xFF000000u, 0xFF7F7F7Fu});
    ExpectDecodesTo(Recipe(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, {{0x40, 0x90}}), {0x90404040u});

    // Two-bit grey: samples 0..3 scale to 0, 0x55, 0xAA, 0xFF; value 1 is transparent.
    PngRecipe packed = Recipe(4, 1, PNG_COLOR_TYPE_GRAY, {{0x1B}}, 2); // 00 01 10 11
    packed.greyTransparent = true;
    packed.greyTransparentValue = 1;
    ExpectDecodesTo(packed, {0xFF000000u, 0x00555555u, 0xFFAAAAAAu, 0xFFFFFFFFu});
}

TEST(RasterPng, PaletteWithTransparencyGivesStraightAlpha)
{
    PngRecipe palette = Recipe(3, 1, PNG_COLOR_TYPE_PALETTE, {{0x01, 0x20}}, 4); // indices 0, 1, 2
    palette.paletteRgb = {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x10, 0x20, 0x30};
    palette.transparency = {0x00, 0x80}; // entry 2 has no alpha entry: opaque
    ExpectDecodesTo(palette, {0x00FF0000u, 0x8000FF00u, 0xFF102030u});
}

TEST(RasterPng, InterlacedImagesDecodeWhole)
{
    PngRecipe recipe = Recipe(9, 9, PNG_COLOR_TYPE_RGB_ALPHA, {});
    recipe.interlaced = true;
    std::vector<LICE_pixel> pixels;
    for (int y = 0; y < 9; ++y)
    {
        std::vector<unsigned char> row;
        for (int x = 0; x < 9; ++x)
        {
            row.insert(row.end(), {static_cast<unsigned char>(x), static_cast<unsigned char>(y), 7, 0xFF});
            pixels.push_back(0xFF000007u | static_cast<LICE_pixel>(x << 16 | y << 8));
        }
        recipe.rows.push_back(row);
    }
    ExpectDecodesTo(recipe, pixels);
}

TEST(RasterPng, MalformedInputGivesNone)
{
    const std::vector<unsigned char> good = EncodePng(Rgba2x1());
    ASSERT_FALSE(good.empty());
    EXPECT_FALSE(DecodePngMemory(good.data(), 7));
    EXPECT_FALSE(DecodePngMemory(nullptr, 100));
    EXPECT_FALSE(DecodePngMemory(good.data(), -1));

    std::vector<unsigned char> noSignature = good;
    noSignature[1] = 'Q';
    EXPECT_FALSE(Decode(noSignature));

    // Every truncation: none or a complete image, never a crash or a leak.
    for (size_t length = 8; length < good.size(); ++length)
    {
        Bitmap image(DecodePngMemory(good.data(), static_cast<int>(length)));
        if (image)
        {
            EXPECT_EQ(image->GetWidth(), 2);
        }
    }
    EXPECT_FALSE(Decode(std::vector<unsigned char>(good.begin(), good.begin() + 40)));

    // A damaged byte in every position (critical chunk CRCs catch most).
    for (size_t i = 8; i < good.size(); ++i)
    {
        std::vector<unsigned char> damaged = good;
        damaged[i] ^= 0x5A;
        Bitmap image = Decode(damaged);
        if (image)
        {
            EXPECT_LE(image->GetWidth(), kPngMaxSide);
        }
    }
}

TEST(RasterPng, AChunkClaimingGigabytesFailsAtOnce)
{
    // The image data chunk claims 2 GB; the bytes past the end read as zeros, but
    // only a bounded amount of them, so this fails in microseconds, not seconds.
    std::vector<unsigned char> bytes = EncodePng(Rgba2x1());
    const auto idat = std::search(bytes.begin(), bytes.end(), std::begin("IDAT"), std::end("IDAT") - 1);
    ASSERT_NE(idat, bytes.end());
    std::fill(idat - 4, idat, 0xFF);
    *(idat - 4) = 0x7F;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Decode(bytes));
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.5);
}

TEST(RasterPng, OversizedImagesAreRefusedBeforeAllocating)
{
    EXPECT_FALSE(Decode(PngHeaderOnly(kPngMaxSide + 1, 1)));
    EXPECT_FALSE(Decode(PngHeaderOnly(1, kPngMaxSide + 1)));
    EXPECT_FALSE(Decode(PngHeaderOnly(0x7FFFFFFF, 0x7FFFFFFF)));
    // Within the side limit but beyond the pixel budget.
    EXPECT_FALSE(Decode(PngHeaderOnly(kPngMaxSide, kPngMaxSide)));
    // Acceptable size but no image data: fails on the missing data.
    EXPECT_FALSE(Decode(PngHeaderOnly(100, 100)));
}

TEST(RasterPng, FilesDecodeIntoTheGivenTarget)
{
    // A name outside ASCII: the path is UTF-8 on every platform.
    const std::string path = TempPath("imag\xC3\xA9.png");
    WriteFile(path, EncodePng(Rgba2x1()));

    LICE_MemBitmap target(7, 7);
    EXPECT_EQ(DecodePngFile(path.c_str(), &target), &target);
    EXPECT_EQ(target.GetWidth(), 2);
    EXPECT_EQ(PixelAt(target, 0, 0), 0x40102030u);

    Bitmap owned(DecodePngFile(path.c_str(), nullptr));
    ASSERT_TRUE(owned);
    EXPECT_EQ(PixelAt(*owned, 1, 0), 0x00AABBCCu);

    // A broken file gives none and leaves no decoder state behind (ASan checks).
    std::vector<unsigned char> broken = EncodePng(Rgba2x1());
    broken.resize(broken.size() / 2);
    WriteFile(path, broken);
    EXPECT_FALSE(DecodePngFile(path.c_str(), nullptr));
    std::remove(path.c_str());
    EXPECT_FALSE(DecodePngFile(path.c_str(), nullptr));
    EXPECT_FALSE(DecodePngFile(nullptr, nullptr));
}

TEST(RasterPng, ByNameChecksTheLastExtensionIgnoringCase)
{
    const std::string upper = TempPath("IMAGE.PNG");
    const std::string backup = TempPath("image.PNG.bak");
    const std::string noDot = TempPath("dir.png") + "/image";
    WriteFile(upper, EncodePng(Rgba2x1()));
    WriteFile(backup, EncodePng(Rgba2x1()));

    Bitmap image(DecodePngByName(upper.c_str(), true, nullptr));
    EXPECT_TRUE(image);
    EXPECT_FALSE(DecodePngByName(backup.c_str(), true, nullptr));
    EXPECT_FALSE(DecodePngByName(noDot.c_str(), true, nullptr));
    EXPECT_FALSE(DecodePngByName("image.pn", true, nullptr));
    EXPECT_FALSE(DecodePngByName("image.pngx", true, nullptr));
    // Without the check the content decides.
    image.reset(DecodePngByName(backup.c_str(), false, nullptr));
    EXPECT_TRUE(image);
    std::remove(upper.c_str());
    std::remove(backup.c_str());
}

TEST(RasterPng, LoaderChainStartsWithThePngLoader)
{
    const LICE_ImageLoaderRec* head = LICE_ImageLoaderChain();
    ASSERT_NE(head, nullptr);
    EXPECT_STREQ(head->fileTypeDescription(), "PNG files (*.PNG)");
    EXPECT_EQ(head->loadByName, &DecodePngByName);
}

TEST(RasterPng, ResourcesComeFromTheModule)
{
#ifdef _WIN32
    LICE_HMODULE module = GetModuleHandleW(nullptr);
#else
    LICE_HMODULE module = nullptr;
#endif
    Bitmap image(DecodePngResource(module, 101));
    ASSERT_TRUE(image);
    ASSERT_EQ(image->GetWidth(), 2);
    ASSERT_EQ(image->GetHeight(), 2);
    EXPECT_EQ(PixelAt(*image, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(*image, 1, 0), 0x8000FF00u);
    EXPECT_EQ(PixelAt(*image, 0, 1), 0x000000FFu);
    EXPECT_EQ(PixelAt(*image, 1, 1), 0xFFFFFFFFu);
    EXPECT_FALSE(DecodePngResource(module, 102));
}
