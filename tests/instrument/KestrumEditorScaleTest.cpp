// Kestrum's editor at the scales a screen or host asks for: sizes, where each image comes
// from, and what the back buffer shows (drawn at full resolution, never enlarged).

#include "instrument/Kestrum.h"
#include "instrument/KestrumLayout.h"

#include <gtest/gtest.h>

#include "graphics/IGraphics.h"
#include "graphics/IKnobMultiControl.h"
#include "graphics/raster/LICE_SysBitmap.h"
#include "graphics/raster/LicePng.h"

#include <cmath>
#include <memory>
#include <vector>

using namespace KestrumLayout;

namespace
{

constexpr double kScales[] = {1.0, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};

class KestrumEditorScaleTest : public ::testing::Test
{
protected:
    IGraphics& Editor() { return *dynamic_cast<IGraphics*>(plug.Editor()); }

    // The whole editor drawn at the scale, as the back buffer's pixels.
    std::vector<LICE_pixel> DrawAt(double scale)
    {
        Editor().SetScale(scale);
        Editor().Redraw(Rect(0, 0, Editor().Width(), Editor().Height()));
        const LICE_SysBitmap& back = *Editor().BackBuffer();
        std::vector<LICE_pixel> pixels;
        for (int y = 0; y < back.GetHeight(); ++y)
            for (int x = 0; x < back.GetWidth(); ++x)
                pixels.push_back(back.GetBits()[y * back.GetRowSpan() + x] & 0xFFFFFF);
        return pixels;
    }

    // The knobs drawn from the large knob strip.
    std::vector<IKnobMultiControl*> LargeKnobs()
    {
        std::vector<IKnobMultiControl*> knobs;
        for (int i = 0; i < Editor().NumControls(); ++i)
            if (auto* knob = dynamic_cast<IKnobMultiControl*>(Editor().GetControl(i)))
                if (knob->GetBitmap().resourceId == kLargeKnobImage)
                    knobs.push_back(knob);
        return knobs;
    }

    Kestrum plug;
};

// Rows of the rectangle (window pixels) holding a pixel brighter than the dark bar behind it.
int LitRows(const std::vector<LICE_pixel>& pixels, int stride, const Rect& rect)
{
    int rows = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            if (((pixels[static_cast<size_t>(y) * stride + x] >> 8) & 0xFF) > 0x60)
            {
                ++rows;
                break;
            }
    return rows;
}

} // namespace

TEST_F(KestrumEditorScaleTest, EveryScaleSizesTheWindowAndDrawsKnobsFromImagesOfTheirOwnSize)
{
    for (const double scale : kScales)
    {
        SCOPED_TRACE(scale);
        Editor().SetScale(scale);
        const EditorSize size = Editor().WindowSize();
        EXPECT_EQ(size.width, std::lround(kEditorWidth * scale));
        EXPECT_EQ(size.height, std::lround(kEditorHeight * scale));
        EXPECT_EQ(Editor().BackBuffer()->GetWidth(), size.width);
        EXPECT_EQ(Editor().BackBuffer()->GetHeight(), size.height);
        // Rendered or reduced for this scale: one image pixel is one window pixel.
        for (IKnobMultiControl* knob : LargeKnobs())
        {
            const BitmapRef& strip = knob->GetBitmap();
            const LICE_IBitmap* image = Editor().ImageAtScale(strip);
            ASSERT_NE(image, nullptr);
            EXPECT_NEAR(image->GetWidth(), strip.W * scale, 1.0);
            EXPECT_NEAR(image->GetHeight() / strip.N, strip.FrameHeight() * scale, 1.0);
        }
    }
}

TEST_F(KestrumEditorScaleTest, AtTwiceTheScaleKnobsShowTheTwiceArtworkSharperThanAnEnlargementAndTextGrows)
{
    const std::vector<LICE_pixel> once = DrawAt(1.0);
    const std::vector<LICE_pixel> twice = DrawAt(2.0);
    const int stride = 2 * kEditorWidth;

    // Every opaque pixel of the 2x strip's frame is on the screen as it is.
    std::unique_ptr<LICE_MemBitmap> art(
        DecodePngResource(static_cast<LICE_HMODULE>(Editor().ModuleHandle()), 2000 + kLargeKnobImage - 100));
    ASSERT_NE(art, nullptr);
    const int frameHeight = art->GetHeight() / 99;
    for (IKnobMultiControl* knob : LargeKnobs())
    {
        const Rect at = Editor().Scale().ToPhysical(knob->GetRect());
        const int top = (knob->FrameForValue() - 1) * frameHeight;
        int compared = 0;
        int mismatches = 0;
        for (int y = 0; y < frameHeight; ++y)
            for (int x = 0; x < art->GetWidth(); ++x)
            {
                const LICE_pixel source = art->GetBits()[(top + y) * art->GetRowSpan() + x];
                if ((source >> 24) != 0xFF)
                    continue;
                ++compared;
                mismatches +=
                    twice[static_cast<size_t>(at.top + y) * stride + at.left + x] != (source & 0xFFFFFF);
            }
        EXPECT_GT(compared, frameHeight * frameHeight / 2);
        EXPECT_EQ(mismatches, 0);
    }

    // The 100 % editor enlarged pixel by pixel is not what the 2x editor shows.
    int differing = 0;
    for (int y = 0; y < 2 * kEditorHeight; ++y)
        for (int x = 0; x < stride; ++x)
            differing += twice[static_cast<size_t>(y) * stride + x] != once[(y / 2) * kEditorWidth + x / 2];
    EXPECT_GT(differing, stride * 2 * kEditorHeight / 4);

    // The preset name is drawn from a font twice the size, not stretched.
    const Rect name = Editor().GetControl(kPresetNameRow)->GetRect();
    const int onceRows = LitRows(once, kEditorWidth, name);
    const int twiceRows = LitRows(twice, stride, Editor().Scale().ToPhysical(name));
    EXPECT_GT(onceRows, 8);
    EXPECT_NEAR(twiceRows, 2 * onceRows, 2);
}
