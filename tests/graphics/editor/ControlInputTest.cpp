// Mouse, wheel and key input through the editor's entry points, as the window layer
// delivers it, down to the values the plug-in is sent.

#include "graphics/IContactControl.h"
#include "graphics/IKnobMultiControl.h"
#include "graphics/IPanelControl.h"
#include "graphics/ISwitchControl.h"
#include "tests/graphics/editor/EditorTestSupport.h"

#include <gtest/gtest.h>

namespace
{
constexpr int kKnobParam = 5;
constexpr int kKnobX = 100;
constexpr int kKnobY = 100;
constexpr int kKnobSize = 40;

class KnobFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        strip = MakeStrip(kKnobSize, kKnobSize, 99);
        knob =
            new IKnobMultiControl(&plug, kKnobX, kKnobY, kKnobParam, BitmapRef(strip.get(), 40, 40 * 99, 99));
        editor = AttachNewEditor(plug, {knob});
        plug.events.clear();
    }

    // Presses inside the knob, drags upward by `pixels` in steps of 10 and releases at (upX, upY).
    void DragUp(int pixels, const MouseModifiers& mod, int upX, int upY)
    {
        const int x = kKnobX + 20;
        int y = kKnobY + 20;
        editor->HandleMouseDown(x, y, mod);
        for (int moved = 0; moved < pixels; moved += 10)
        {
            y -= 10;
            editor->HandleMouseDrag(x, y, mod);
        }
        editor->HandleMouseUp(upX, upY, mod);
    }

    std::unique_ptr<LICE_MemBitmap> strip;
    EditorTestPlugin plug;
    IKnobMultiControl* knob = nullptr;
    ScriptedEditor* editor = nullptr;
};

TEST_F(KnobFixture, DragOverItsOwnHeightGainsAQuarterAFortiethWithShiftAndStopsAtOne)
{
    struct Case
    {
        double start;
        bool shift;
        double expected;
    };
    const Case cases[] = {{0.5, false, 0.75}, {0.5, true, 0.525}, {0.9, false, 1.0}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.start);
        editor->PushValueToControls(kKnobParam, c.start, true);
        DragUp(kKnobSize, MouseModifiers(true, false, c.shift), 400, 400); // released over nothing
        EXPECT_NEAR(knob->GetValue(), c.expected, 1e-12);
        EXPECT_NEAR(plug.GetParam(kKnobParam)->GetNormalized(), c.expected, 1e-4);
    }
}

TEST_F(KnobFixture, GestureIsBracketedByBeginAndEndEditEvenWhenReleasedOverEmptySpace)
{
    DragUp(20, MouseModifiers(true), 400, 400);
    ASSERT_GE(plug.events.size(), 4u);
    EXPECT_EQ(plug.events.front(), "begin 5");
    EXPECT_EQ(plug.events.back(), "end 5");
    EXPECT_EQ(plug.EventsStartingWith("notify").size(), 2u); // one value per drag step
    EXPECT_EQ(editor->MouseHolder(), -1);
}

TEST_F(KnobFixture, WheelMovesByWholeNotchesOnly)
{
    struct Case
    {
        int wheelDelta;
        bool shift;
        double expected;
    };
    const Case cases[] = {{119, false, 0.5}, {-119, false, 0.5}, {120, false, 0.51}, {-240, true, 0.498}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.wheelDelta);
        editor->PushValueToControls(kKnobParam, 0.5, true);
        editor->HandleMouseWheel(kKnobX + 5, kKnobY + 5, MouseModifiers(false, false, c.shift),
                                 IGraphics::WheelNotches(c.wheelDelta));
        EXPECT_NEAR(knob->GetValue(), c.expected, 1e-12);
    }
}

TEST_F(KnobFixture, DoubleClickRestoresTheFirstValueThePluginPushed)
{
    // Attaching pushed the parameter's value (0.5); later pushes and drags do not move the
    // value a double click restores.
    editor->PushValueToControls(kKnobParam, 0.2, true);
    DragUp(30, MouseModifiers(true), kKnobX + 20, kKnobY);
    EXPECT_FALSE(editor->HandleMouseDoubleClick(kKnobX + 20, kKnobY + 20, MouseModifiers(true)));
    EXPECT_DOUBLE_EQ(knob->GetValue(), 0.5);
    EXPECT_EQ(plug.events.back(), "change 5");
}

TEST(SwitchInput, SwitchesStepThroughTheirFramesAndContactsSpringBack)
{
    auto twoFrames = MakeStrip(20, 20, 2);
    auto threeFrames = MakeStrip(20, 20, 3);
    EditorTestPlugin plug;
    auto* two = new ISwitchControl(&plug, 0, 0, 6, BitmapRef(twoFrames.get(), 20, 40, 2));
    auto* three = new ISwitchControl(&plug, 50, 0, 7, BitmapRef(threeFrames.get(), 20, 60, 3));
    auto* contact = new IContactControl(&plug, 100, 0, 8, BitmapRef(twoFrames.get(), 20, 40, 2));
    ScriptedEditor* editor = AttachNewEditor(plug, {two, three, contact});
    for (int param : {6, 7, 8})
        editor->PushValueToControls(param, 0.0, true);

    const MouseModifiers left(true);
    auto click = [&](int x)
    {
        editor->HandleMouseDown(x, 10, left);
        editor->HandleMouseUp(x, 10, left);
    };
    std::vector<double> twoSeen, threeSeen;
    for (int i = 0; i < 3; ++i)
    {
        click(10);
        twoSeen.push_back(two->GetValue());
    }
    for (int i = 0; i < 4; ++i)
    {
        click(60);
        threeSeen.push_back(three->GetValue());
    }
    EXPECT_EQ(twoSeen, (std::vector<double>{1.0, 0.0, 1.0}));
    EXPECT_EQ(threeSeen, (std::vector<double>{0.5, 1.0, 0.0, 0.5}));

    plug.events.clear();
    editor->HandleMouseDown(110, 10, left);
    EXPECT_DOUBLE_EQ(contact->GetValue(), 1.0);
    editor->HandleMouseUp(110, 10, left);
    EXPECT_DOUBLE_EQ(contact->GetValue(), 0.0);
    EXPECT_EQ(plug.EventsStartingWith("notify 8"),
              (std::vector<std::string>{"notify 8 1.000000", "notify 8 0.000000"}));
    EXPECT_EQ(plug.events.front(), "begin 8");
    EXPECT_EQ(plug.events.back(), "end 8");
}

TEST(EditorDispatch, GrayedControlsAreNotHitAndDrawAtAQuarterWeight)
{
    auto white = MakeSolid(40, 40, LICE_RGBA(255, 255, 255, 255));
    EditorTestPlugin plug;
    auto* grayed = new ISwitchControl(&plug, 0, 0, 6, BitmapRef(white.get(), 40, 40, 1));
    auto* top = new ISwitchControl(&plug, 0, 0, 7, BitmapRef(white.get(), 40, 40, 1));
    ScriptedEditor* editor =
        AttachNewEditor(plug, {top}, new IPanelControl(&plug, Rect(0, 0, 500, 480), Color(255, 0, 0, 0)));
    editor->AddControl(std::unique_ptr<IControl>(grayed)); // added last: topmost, then grayed
    grayed->SetGrayed(true);
    EXPECT_EQ(editor->FindControlAt(10, 10), 1);

    editor->RunFrame();
    const LICE_pixel drawn = editor->BackBuffer()->GetBits()[10];
    // The grayed white square over the opaque white one stays white; over black it is dark.
    EXPECT_EQ(drawn & 0xFFFFFF, 0xFFFFFFu);
    top->SetHidden(true);
    editor->RunFrame();
    const int red = LICE_GetR(editor->BackBuffer()->GetBits()[10]);
    EXPECT_NEAR(red, 64, 2);
}

TEST(EditorDispatch, RightClickOpensTheHostMenuUnderVst3AndReachesTheControlUnderVst2)
{
    auto strip = MakeStrip(40, 40, 2);
    for (int32_t api : {kApiVst3, kApiVst2})
    {
        SCOPED_TRACE(api);
        EditorTestPlugin plug(api);
        auto* control = new ISwitchControl(&plug, 0, 0, 6, BitmapRef(strip.get(), 40, 80, 2));
        ScriptedEditor* editor = AttachNewEditor(plug, {control});
        editor->PushValueToControls(6, 0.0, true);
        plug.events.clear();
        editor->HandleMouseDown(10, 20, MouseModifiers(false, true));
        if (api == kApiVst3)
        {
            EXPECT_EQ(plug.events, (std::vector<std::string>{"host menu 6 10 20"}));
            EXPECT_EQ(editor->MouseHolder(), -1);
        }
        else
        {
            EXPECT_EQ(plug.events.front(), "begin 6");
            EXPECT_DOUBLE_EQ(control->GetValue(), 1.0);
        }
    }
}

class KeyRecorder : public IPanelControl
{
public:
    KeyRecorder(IPlugBase* plug, const Rect& rect) : IPanelControl(plug, rect, Color()) {}
    bool KeyDown(int, int, int key) override
    {
        keys.push_back(key);
        return true;
    }
    std::vector<int> keys;
};

TEST(EditorDispatch, KeysOverTheBackgroundGoToTheKeyCatcherAndAreUnhandledWithoutOne)
{
    EditorTestPlugin plug;
    auto* over = new KeyRecorder(&plug, Rect(100, 100, 140, 140));
    ScriptedEditor* editor = AttachNewEditor(plug, {over}, new KeyRecorder(&plug, Rect(0, 0, 500, 480)));
    EXPECT_FALSE(editor->HandleKeyDown(10, 10, kKeySpace));
    EXPECT_TRUE(editor->HandleKeyDown(110, 110, kKeyUp));
    auto* catcher = new KeyRecorder(&plug, Rect());
    editor->SetKeyCatcher(std::unique_ptr<IControl>(catcher));
    EXPECT_TRUE(editor->HandleKeyDown(10, 10, kKeyDown));
    EXPECT_EQ(over->keys, std::vector<int>{kKeyUp});
    EXPECT_EQ(catcher->keys, std::vector<int>{kKeyDown});
    EXPECT_TRUE(static_cast<KeyRecorder*>(editor->GetControl(0))->keys.empty());
}
} // namespace
