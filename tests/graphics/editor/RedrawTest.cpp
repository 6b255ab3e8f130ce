// The redraw cycle: what a frame collects, draws and presents after values change.

#include "graphics/IBitmapControl.h"
#include "graphics/IContactControl.h"
#include "graphics/IKnobMultiControl.h"
#include "graphics/IPanelControl.h"
#include "tests/graphics/editor/EditorTestSupport.h"

#include <gtest/gtest.h>

namespace
{
constexpr int kSharedParam = 5;
constexpr int kOtherParam = 6;

class RedrawFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        background = MakeSolid(kEditorWidth, kEditorHeight, LICE_RGBA(30, 30, 30, 255));
        strip = MakeStrip(40, 40, 99);
        const BitmapRef knobs(strip.get(), 40, 40 * 99, 99);
        // Two knobs share a parameter; a third has its own.
        first = new IKnobMultiControl(&plug, 20, 20, kSharedParam, knobs);
        second = new IKnobMultiControl(&plug, 300, 200, kSharedParam, knobs);
        other = new IKnobMultiControl(&plug, 150, 100, kOtherParam, knobs);
        auto* back = new IBitmapControl(&plug, Rect(0, 0, kEditorWidth, kEditorHeight), -1,
                                        BitmapRef(background.get(), kEditorWidth, kEditorHeight, 1),
                                        BlendSpec(BlendSpec::kCopy));
        editor = AttachNewEditor(plug, {first, second, other}, back);
        // The first frames draw everything (and the frame the first push asked for).
        while (editor->RunFrame())
        {
        }
        editor->ResetPresentStats();
    }

    std::unique_ptr<LICE_MemBitmap> background;
    std::unique_ptr<LICE_MemBitmap> strip;
    EditorTestPlugin plug;
    IKnobMultiControl* first = nullptr;
    IKnobMultiControl* second = nullptr;
    IKnobMultiControl* other = nullptr;
    ScriptedEditor* editor = nullptr;
};

TEST_F(RedrawFixture, PushedValueRepaintsOnlyTheBoundControlsAtTheNextFrames)
{
    const std::vector<LICE_pixel> before = Snapshot(*editor);
    editor->PushValueToControls(kSharedParam, 7.5, false); // plain, above the range: shows as 1
    EXPECT_EQ(editor->PresentCount(), 0);                  // nothing is drawn by the push itself

    ASSERT_TRUE(editor->RunFrame());
    const Rect expected = first->GetRect().Union(second->GetRect());
    EXPECT_EQ(editor->LastPresented(), expected);

    // Every changed pixel lies in a bound knob, and each knob shows its last frame.
    const std::vector<LICE_pixel> after = Snapshot(*editor);
    int changed = 0;
    for (int y = 0; y < kEditorHeight; ++y)
        for (int x = 0; x < kEditorWidth; ++x)
        {
            if (before[y * kEditorWidth + x] == after[y * kEditorWidth + x])
                continue;
            ++changed;
            EXPECT_TRUE(first->GetRect().Contains(x, y) || second->GetRect().Contains(x, y)) << x << "," << y;
        }
    EXPECT_EQ(changed, 2 * 40 * 40);
    EXPECT_EQ(after[30 * kEditorWidth + 30], FrameColor(99));

    // The push asked for one more frame; after it the editor is quiet.
    EXPECT_TRUE(editor->RunFrame());
    EXPECT_FALSE(editor->RunFrame());
    EXPECT_EQ(editor->PresentCount(), 2);
}

TEST_F(RedrawFixture, NonStrictDrawingRedrawsEachDirtyControlInItsOwnRectangle)
{
    editor->SetStrictDrawing(false);
    const std::vector<LICE_pixel> before = Snapshot(*editor);
    editor->PushValueToControls(kOtherParam, 0.0, true);
    ASSERT_TRUE(editor->RunFrame());
    const std::vector<LICE_pixel> after = Snapshot(*editor);
    for (int y = 0; y < kEditorHeight; ++y)
        for (int x = 0; x < kEditorWidth; ++x)
        {
            const bool changed = before[y * kEditorWidth + x] != after[y * kEditorWidth + x];
            ASSERT_TRUE(!changed || other->GetRect().Contains(x, y)) << x << "," << y;
        }
    EXPECT_EQ(after[110 * kEditorWidth + 160], FrameColor(1));
}

TEST_F(RedrawFixture, ResizeToANewSizeRemovesEveryControlAndTellsThePlugin)
{
    plug.events.clear();
    editor->Resize(kEditorWidth, kEditorHeight);
    EXPECT_EQ(editor->NumControls(), 4);
    editor->Resize(300, 200);
    EXPECT_EQ(editor->NumControls(), 0);
    EXPECT_EQ(editor->BackBuffer()->GetWidth(), 300);
    EXPECT_EQ(plug.events, (std::vector<std::string>{"resize 300 200"}));
    EXPECT_FALSE(editor->RunFrame()); // an empty editor draws and presents nothing
    editor->Redraw(Rect(0, 0, 300, 200));
    EXPECT_EQ(editor->PresentCount(), 0);
}

TEST(RedrawClipping, TranslucentNeighboursTouchingAnUpdateAreNotBlendedAgain)
{
    // A translucent panel touching a button on its right edge: each press of the button
    // makes the button's rectangle the update, which the panel touches. The panel must not
    // darken its pixels outside that update again and again.
    auto button = MakeStrip(20, 25, 2);
    auto grey = MakeSolid(kEditorWidth, kEditorHeight, LICE_RGBA(200, 200, 200, 255));
    EditorTestPlugin plug;
    auto* contact = new IContactControl(&plug, 40, 40, 9, BitmapRef(button.get(), 20, 50, 2));
    auto* panel = new IPanelControl(&plug, Rect(60, 40, 440, 65), Color(140, 0, 0, 0));
    auto* background = new IBitmapControl(&plug, Rect(0, 0, kEditorWidth, kEditorHeight), -1,
                                          BitmapRef(grey.get(), kEditorWidth, kEditorHeight, 1));
    ScriptedEditor* editor = AttachNewEditor(plug, {panel, contact}, background);
    editor->PushValueToControls(9, 0.0, true); // released, as after every press
    while (editor->RunFrame())
    {
    }
    const std::vector<LICE_pixel> settled = Snapshot(*editor);
    for (int press = 0; press < 3; ++press)
    {
        editor->HandleMouseDown(50, 50, MouseModifiers(true));
        editor->HandleMouseUp(50, 50, MouseModifiers(true));
        while (editor->RunFrame())
        {
        }
    }
    EXPECT_EQ(Snapshot(*editor), settled);
}
} // namespace
