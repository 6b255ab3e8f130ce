// The editor Kestrum builds, against its layout table: which control sits in which place,
// where, bound to what, drawn from which image, and which control a click reaches.

#include "instrument/Kestrum.h"
#include "instrument/KestrumLayout.h"

#include <typeinfo>

#include <gtest/gtest.h>

#include "graphics/IBitmapControl.h"
#include "graphics/IContactControl.h"
#include "graphics/IFileSelectorControl.h"
#include "graphics/IGraphics.h"
#include "graphics/IKnobMultiControl.h"
#include "graphics/IPanelControl.h"
#include "graphics/IPopupMenu_PresetSelector.h"
#include "graphics/ISwitchControl.h"
#include "graphics/ITextControl.h"

using namespace KestrumLayout;

namespace
{

const std::type_info& ClassOf(ControlKind kind)
{
    switch (kind)
    {
        case ControlKind::Background:
        case ControlKind::Bitmap: return typeid(IBitmapControl);
        case ControlKind::Switch: return typeid(ISwitchControl);
        case ControlKind::Knob: return typeid(IKnobMultiControl);
        case ControlKind::Panel: return typeid(IPanelControl);
        case ControlKind::Text: return typeid(ITextControl);
        case ControlKind::PresetMenu: return typeid(IPopupMenu_PresetSelector);
        case ControlKind::Contact: return typeid(IContactControl);
        case ControlKind::FileSelector: return typeid(IFileSelectorControl);
    }
    return typeid(void);
}

// The image a control draws from, for the classes that have one.
const BitmapRef* BitmapOf(IControl& control)
{
    if (auto* knob = dynamic_cast<IKnobMultiControl*>(&control))
        return &knob->GetBitmap();
    if (auto* bitmap = dynamic_cast<IBitmapControl*>(&control))
        return &bitmap->GetBitmap();
    return nullptr;
}

class KestrumEditorTest : public ::testing::Test
{
protected:
    IGraphics& Editor() { return *dynamic_cast<IGraphics*>(plug.Editor()); }
    IControl& Control(int index) { return *Editor().GetControl(index); }

    Kestrum plug;
};

} // namespace

TEST_F(KestrumEditorTest, ControlsFollowTheLayoutTable)
{
    ASSERT_NE(dynamic_cast<IGraphics*>(plug.Editor()), nullptr);
    EXPECT_EQ(Editor().Width(), kEditorWidth);
    EXPECT_EQ(Editor().Height(), kEditorHeight);
    EXPECT_EQ(Editor().FrameRate(), kFramesPerSecond);
    ASSERT_EQ(Editor().NumControls(), kRowCount);

    for (int i = 0; i < kRowCount; ++i)
    {
        SCOPED_TRACE("row " + std::to_string(i));
        const Row& row = kRows[i];
        IControl& control = Control(i);
        EXPECT_EQ(typeid(control), ClassOf(row.kind));
        EXPECT_EQ(control.ParamIndex(), row.paramIndex);

        const ImageFile* image = FindImage(row.imageId);
        const Bounds expected = RowBounds(row, image ? image->width : 0, image ? image->height : 0);
        const Rect rect = control.GetRect();
        EXPECT_EQ(rect, Rect(expected.left, expected.top, expected.right, expected.bottom));
        EXPECT_EQ(control.GetTargetRect(), rect);

        // The background copies; every other control blends by its image's alpha.
        EXPECT_EQ(control.GetBlend().method, i == 0 ? BlendSpec::kCopy : BlendSpec::kAlpha);
        EXPECT_EQ(control.GetBlend().weight, 1.0f);

        if (const BitmapRef* bitmap = BitmapOf(control); image != nullptr && bitmap != nullptr)
        {
            EXPECT_NE(bitmap->bitmap, nullptr);
            EXPECT_EQ(bitmap->W, image->width);
            EXPECT_EQ(bitmap->H, image->height);
            EXPECT_EQ(bitmap->N, row.frames);
            EXPECT_FALSE(bitmap->framesAreHorizontal);
        }
    }
}

TEST_F(KestrumEditorTest, PresetBarControlsCarryTheirSettings)
{
    auto* field = dynamic_cast<IPanelControl*>(&Control(16));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->GetColor().A, 140);
    EXPECT_EQ(field->GetColor().ToPixel(), 0x8C000000u);

    auto* name = dynamic_cast<ITextControl*>(&Control(kPresetNameRow));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->GetText(), "< Presets Library >");
    const TextStyle& style = name->GetTextStyle();
    EXPECT_STREQ(style.face, "Arial");
    EXPECT_EQ(style.size, 20);
    EXPECT_EQ(style.color.ToPixel(), 0xFF646464u);
    EXPECT_EQ(style.entryBackground.ToPixel(), 0xFFFFFFFFu);
    EXPECT_EQ(style.entryText.ToPixel(), 0xFF000000u);
    EXPECT_EQ(style.style, TextStyle::kBold);
    EXPECT_EQ(style.align, TextStyle::kCentre);
    EXPECT_EQ(style.orientation, 0);
    EXPECT_EQ(style.quality, TextStyle::kDefaultQuality);

    // The dialogs start in the library folder, without its final separator, backslashed.
    std::string folder = plug.PresetLibraryFolder();
    if (!folder.empty())
        folder.pop_back();
    for (char& c : folder)
        if (c == '/')
            c = '\\';
    for (const int row : {kPresetLoadRow, kPresetSaveRow})
    {
        auto* selector = dynamic_cast<IFileSelectorControl*>(&Control(row));
        ASSERT_NE(selector, nullptr);
        EXPECT_EQ(selector->Action(), row == kPresetLoadRow ? IGraphics::kFileOpen : IGraphics::kFileSave);
        EXPECT_EQ(selector->Folder(), folder);
        EXPECT_EQ(selector->File(), "");
        EXPECT_EQ(selector->Extensions(), "kestrumpreset");
    }

    // The preset actions read and write these controls.
    plug.Presets().ShowName("Snare 1");
    EXPECT_EQ(name->GetText(), "Snare 1");
    plug.Presets().SetSaveFile("C:/x.kestrumpreset");
    EXPECT_EQ(dynamic_cast<IFileSelectorControl*>(&Control(kPresetSaveRow))->File(), "C:/x.kestrumpreset");
}

TEST_F(KestrumEditorTest, ClicksOnThePresetBarReachTheTopmostControl)
{
    struct Click
    {
        int x, y, control;
    };
    for (const Click& click :
         {Click{100, 50, kPresetMenuRow}, Click{50, 50, 19}, Click{20, 50, kPresetLoadRow},
          Click{480, 50, kPresetSaveRow}, Click{250, 300, 10}})
        EXPECT_EQ(Editor().FindControlAt(click.x, click.y), click.control) << click.x << "," << click.y;
}

TEST_F(KestrumEditorTest, KnobsAndSwitchesStartAtTheirDefaults)
{
    auto* volume = dynamic_cast<IKnobMultiControl*>(&Control(10));
    ASSERT_NE(volume, nullptr);
    ASSERT_EQ(volume->ParamIndex(), kMainVolume);
    EXPECT_EQ(volume->FrameForValue(), 79);
    for (int i = 0; i < kRowCount; ++i)
    {
        const int param = kRows[i].paramIndex;
        if (kRows[i].kind != ControlKind::Knob && kRows[i].kind != ControlKind::Switch)
            continue;
        EXPECT_DOUBLE_EQ(Control(i).GetValue(), plug.GetParam(param)->GetNormalized()) << "row " << i;
    }
}

TEST(KestrumLayoutTest, ImageSizedRectanglesFollowTheImageAndVanishWithoutOne)
{
    const Row& knob = kRows[10];
    const Bounds sized = RowBounds(knob, 40, 3960);
    EXPECT_EQ(sized.right - sized.left, 40);
    EXPECT_EQ(sized.bottom - sized.top, 40);
    const Bounds missing = RowBounds(knob, 0, 0);
    EXPECT_EQ(missing.left | missing.top | missing.right | missing.bottom, 0);
    // Fixed rectangles do not depend on any image.
    const Bounds fixed = RowBounds(kRows[kPresetLoadRow], 0, 0);
    EXPECT_EQ(fixed.right, 40);
    EXPECT_EQ(fixed.bottom, 65);
}
