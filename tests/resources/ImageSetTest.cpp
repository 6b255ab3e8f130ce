// The editor's images as the modules decode them: each one must have the size
// and frame count the layout derives control rectangles from, and every frame of
// a knob or switch must show something different, or a control would not move.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "graphics/raster/LicePng.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace
{
struct ExpectedImage
{
    int id;
    const char* content;
    int width;
    int height;
    int frames;
    bool opaque; // drawn first or as a solid strip: no pixel may let the back buffer through
};

const ExpectedImage kImages[] = {
    {101, "background", 1000, 1000, 1, true},      {102, "small push button", 15, 30, 2, false},
    {103, "large push button", 26, 52, 2, false},  {104, "backward arrow", 20, 25, 1, false},
    {105, "forward arrow", 20, 25, 1, false},      {106, "LOAD button", 40, 25, 1, false},
    {107, "SAVE button", 40, 25, 1, false},        {108, "large knob", 40, 3960, 99, false},
    {109, "small knob", 20, 1980, 99, false},      {110, "header strip", 500, 30, 1, true},
    {111, "instrument panel", 450, 360, 1, false}, {112, "panel shadow", 500, 410, 1, false},
};

LICE_HMODULE ThisModule()
{
#ifdef _WIN32
    return GetModuleHandleW(nullptr);
#else
    return nullptr;
#endif
}

bool FramesEqual(const LICE_IBitmap& image, int frameHeight, int a, int b)
{
    for (int y = 0; y < frameHeight; ++y)
    {
        const LICE_pixel* rowA = image.GetBits() + (a * frameHeight + y) * image.GetRowSpan();
        const LICE_pixel* rowB = image.GetBits() + (b * frameHeight + y) * image.GetRowSpan();
        if (std::memcmp(rowA, rowB, sizeof(LICE_pixel) * image.GetWidth()) != 0)
            return false;
    }
    return true;
}

bool AllOpaque(const LICE_IBitmap& image)
{
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            if ((image.GetBits()[y * image.GetRowSpan() + x] >> 24) != 0xFF)
                return false;
    return true;
}
} // namespace

TEST(ImageSet, EveryImageHasItsSizeAndDistinctFrames)
{
    for (const ExpectedImage& expected : kImages)
    {
        SCOPED_TRACE(testing::Message() << expected.id << " " << expected.content);
        std::unique_ptr<LICE_MemBitmap> image(DecodePngResource(ThisModule(), expected.id));
        ASSERT_TRUE(image);
        ASSERT_FALSE(image->IsFlipped());
        EXPECT_EQ(image->GetWidth(), expected.width);
        ASSERT_EQ(image->GetHeight(), expected.height);
        ASSERT_EQ(expected.height % expected.frames, 0);
        const int frameHeight = expected.height / expected.frames;
        for (int frame = 1; frame < expected.frames; ++frame)
        {
            EXPECT_FALSE(FramesEqual(*image, frameHeight, frame - 1, frame))
                << "frames " << frame << " and " << frame + 1;
        }
        if (expected.opaque)
        {
            EXPECT_TRUE(AllOpaque(*image));
        }
    }
}
