// The editor as a Windows host shows it: created from the module on disk, embedded in a
// host window, looked at through the pixels on screen and driven by mouse messages to its
// window. Runs under Wine with an X server (Xvfb).

#include "tests/vst3/Vst3Editor.h"
#include "tests/vst3/host/HostProcessData.h"

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace KestrumLayout;

namespace
{

constexpr double kMainVolumeDefault = 0.8;
// Dragging a knob up by its own height (40 pixels) raises it by a quarter.
constexpr int kQuarterTurnPixels = 40;

class Vst3EditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(TheModule().Loaded()) << TheModule().Error();
        ASSERT_TRUE(strip.Loaded());
    }

    // Sends one normalised value through processing, as host automation arrives.
    void Automate(Vst3Instance& target, ParamID id, double value)
    {
        HostProcessData io(kSample32, 64);
        io.changes.Add(id, 0, value);
        ASSERT_EQ(target.processor->process(io.Block(64)), kResultOk);
    }

    // The centre of the control a layout row places.
    static POINT Centre(int row)
    {
        const Bounds rect = RowRect(row);
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    static void DragKnob(HWND window, ParamID id, int dy)
    {
        const POINT centre = Centre(RowOfParameter(static_cast<int>(id)));
        HostWindow::Drag(window, centre.x, centre.y, dy);
    }

    KnobStrip strip{kLargeKnobImage};
};

std::vector<char> EditKinds(const std::vector<RecordingComponentHandler::Edit>& edits, ParamID id)
{
    std::vector<char> kinds;
    for (const auto& edit : edits)
        if (edit.id == id)
            kinds.push_back(edit.kind);
    return kinds;
}

} // namespace

TEST_F(Vst3EditorTest, ViewAnswersHostsAsAWindowsEditor)
{
    Vst3Instance instance;
    Vst3Editor editor(instance);
    ASSERT_NE(editor.view, nullptr);
    ASSERT_TRUE(editor.Open());
    IPlugView* view = editor.view;

    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultTrue);
    for (FIDString other : {kPlatformTypeX11EmbedWindowID, kPlatformTypeNSView, "HWN", "HWND2"})
        EXPECT_EQ(view->isPlatformTypeSupported(other), kResultFalse) << other;

    ViewRect size;
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.left, 0);
    EXPECT_EQ(size.top, 0);
    EXPECT_EQ(size.right, kEditorWidth);
    EXPECT_EQ(size.bottom, kEditorHeight);
    RECT client{};
    GetClientRect(editor.Window(), &client);
    EXPECT_EQ(client.right, kEditorWidth);
    EXPECT_EQ(client.bottom, kEditorHeight);

    // Sizing, keys, wheel and focus are the host's business, not this fixed-size editor's.
    ViewRect wanted(0, 0, 800, 600);
    EXPECT_EQ(view->canResize(), kResultFalse);
    EXPECT_EQ(view->checkSizeConstraint(&wanted), kResultFalse);
    EXPECT_EQ(view->onWheel(1.0f), kResultFalse);
    EXPECT_EQ(view->onKeyDown('a', 0, 0), kResultFalse);
    EXPECT_EQ(view->onKeyUp('a', 0, 0), kResultFalse);
    EXPECT_EQ(view->onFocus(true), kResultFalse);
    // A host's onSize without a resize the editor asked for only stores the rectangle.
    EXPECT_EQ(view->onSize(&wanted), kResultOk);
    EXPECT_EQ(view->onSize(nullptr), kResultOk);
    EXPECT_TRUE(editor.frame.requests.empty());
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right, kEditorWidth);

    // One editor has one window: a second attach is refused until the first is removed.
    EXPECT_NE(view->attached(editor.host.Handle(), kPlatformTypeHWND), kResultOk);
    EXPECT_EQ(editor.Remove(), kResultOk);
    EXPECT_EQ(editor.Window(), nullptr);

    // Another platform type opens no window but is still an attach the core hears about.
    EXPECT_EQ(view->attached(editor.host.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
    HostWindow::Pump();
    EXPECT_EQ(editor.Window(), nullptr);
    EXPECT_EQ(editor.Remove(), kResultOk);
}

TEST_F(Vst3EditorTest, DefaultsShowTheirKnobFrames)
{
    Vst3Instance instance;
    Vst3Editor editor(instance);
    ASSERT_TRUE(editor.Open());
    const int frame = strip.FrameFor(kMainVolumeDefault);
    ASSERT_EQ(frame, 79);
    EXPECT_TRUE(WaitForKnobFrame(editor.Window(), strip, kMainVolume, frame))
        << strip.Mismatches(KnobStrip::Shown(editor.Window(), kMainVolume), frame) << " pixels differ";
    // The comparison tells neighbouring frames apart.
    const PixelBlock shown = KnobStrip::Shown(editor.Window(), kMainVolume);
    EXPECT_GT(strip.Mismatches(shown, frame - 1), 0);
    EXPECT_GT(strip.Mismatches(shown, frame + 1), 0);
}

// The preset bar stacks several controls; a click reaches the topmost one under it.
TEST_F(Vst3EditorTest, ClicksReachTheTopmostPresetBarControl)
{
    Vst3Instance instance;
    Vst3Editor editor(instance);
    ASSERT_TRUE(editor.Open());
    ModalWindowCloser closer;

    struct Click
    {
        int x, y;
        std::vector<std::string> modals; // what the click opened
        ParamID id;
        std::vector<char> edits; // what the host heard for id
    };
    const std::vector<Click> clicks = {
        {100, 50, {ModalWindowCloser::kMenuClass}, kPresetBackward, {}},           // the preset menu
        {50, 50, {}, kPresetBackward, {'b', 'p', 'p', 'e'}},                       // the backward button
        {20, 50, {ModalWindowCloser::kDialogClass}, kPresetLoad, {'b', 'p', 'e'}}, // the load file selector
    };
    for (const Click& click : clicks)
    {
        instance.handler.edits.clear();
        HostWindow::MouseDown(editor.Window(), click.x, click.y);
        HostWindow::MouseUp(editor.Window(), click.x, click.y);
        HostWindow::Pump();
        EXPECT_EQ(closer.Take(), click.modals) << "click at " << click.x << "," << click.y;
        EXPECT_EQ(EditKinds(instance.handler.edits, click.id), click.edits)
            << "click at " << click.x << "," << click.y;
    }
}

TEST_F(Vst3EditorTest, DraggedKnobReachesTheHostAsOneGestureAndSurvivesReopening)
{
    Vst3Instance instance;
    Vst3Editor editor(instance);
    ASSERT_TRUE(editor.Open());
    ASSERT_TRUE(WaitForKnobFrame(editor.Window(), strip, kMainVolume, strip.FrameFor(kMainVolumeDefault)));

    DragKnob(editor.Window(), kMainVolume, -kQuarterTurnPixels / 2);
    const auto& edits = instance.handler.edits;
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(edits.front().kind, 'b');
    EXPECT_EQ(edits.back().kind, 'e');
    for (size_t i = 1; i + 1 < edits.size(); ++i)
    {
        EXPECT_EQ(edits[i].kind, 'p');
        EXPECT_GT(edits[i].value, edits[i - 1].value) << "perform edit " << i;
    }
    for (const auto& edit : edits)
        EXPECT_EQ(edit.id, kMainVolume);
    const double dragged = edits[edits.size() - 2].value;
    EXPECT_NEAR(dragged, kMainVolumeDefault + 0.125, 1e-9);
    EXPECT_NEAR(instance.controller->getParamNormalized(kMainVolume), dragged, 1e-9);
    EXPECT_TRUE(WaitForKnobFrame(editor.Window(), strip, kMainVolume, strip.FrameFor(dragged)));

    // Closing and reopening the window keeps the controls and their values.
    ASSERT_EQ(editor.Remove(), kResultOk);
    ASSERT_EQ(editor.Attach(), kResultOk);
    ASSERT_TRUE(editor.Open());
    EXPECT_TRUE(WaitForKnobFrame(editor.Window(), strip, kMainVolume, strip.FrameFor(dragged)));

    // The picture a reviewer looks at: the editor after a few knobs were turned.
    DragKnob(editor.Window(), kNoiseEnvDecay, -kQuarterTurnPixels);
    DragKnob(editor.Window(), kNoiseEnvAttack, -kQuarterTurnPixels);
    DragKnob(editor.Window(), kTonalPitchAmt, -kQuarterTurnPixels);
    DragKnob(editor.Window(), kTonalAmpLevel, kQuarterTurnPixels);
    DragKnob(editor.Window(), kTransistorDistLoad, -kQuarterTurnPixels);
    HostWindow::PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(SaveEditorPicture(editor.Window(), KESTRUM_TEST_OUTPUT_DIR "/editor-dragged.png"));
}

TEST_F(Vst3EditorTest, AutomationMovesTheKnobAtTheNextTick)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Start(kSample32, 64));
    Vst3Editor editor(instance);
    ASSERT_TRUE(editor.Open());
    ASSERT_TRUE(WaitForKnobFrame(editor.Window(), strip, kMainVolume, strip.FrameFor(kMainVolumeDefault)));

    Automate(instance, kMainVolume, 0.25);
    // Processing only stores the value; the window's next timer tick draws it.
    EXPECT_EQ(
        strip.Mismatches(KnobStrip::Shown(editor.Window(), kMainVolume), strip.FrameFor(kMainVolumeDefault)),
        0);
    EXPECT_TRUE(WaitForKnobFrame(editor.Window(), strip, kMainVolume, strip.FrameFor(0.25)));
}

TEST_F(Vst3EditorTest, TwoInstancesKeepTheirOwnEditors)
{
    Vst3Instance first;
    Vst3Instance second;
    ASSERT_TRUE(first.Start(kSample32, 64));
    ASSERT_TRUE(second.Start(kSample32, 64));
    Vst3Editor firstEditor(first);
    // Right over the first one: each editor draws into its own window.
    auto secondEditor = std::make_unique<Vst3Editor>(second, kHostWindowX, kHostWindowY + 100);
    ASSERT_TRUE(firstEditor.Open());
    ASSERT_TRUE(secondEditor->Open());

    Automate(second, kMainVolume, 1.0);
    EXPECT_TRUE(WaitForKnobFrame(secondEditor->Window(), strip, kMainVolume, strip.FrameFor(1.0)));
    EXPECT_EQ(strip.Mismatches(KnobStrip::Shown(firstEditor.Window(), kMainVolume),
                               strip.FrameFor(kMainVolumeDefault)),
              0);

    // Closing one editor leaves the other drawing (the window class is still registered).
    secondEditor.reset();
    Automate(first, kMainVolume, 0.0);
    EXPECT_TRUE(WaitForKnobFrame(firstEditor.Window(), strip, kMainVolume, strip.FrameFor(0.0)));
}

// Hosts release the view and the component in either order; a view dropped while attached
// closes its window.
TEST_F(Vst3EditorTest, ViewAndComponentMayGoInEitherOrder)
{
    for (const bool viewFirst : {true, false})
    {
        auto instance = std::make_unique<Vst3Instance>();
        Vst3Editor editor(*instance);
        ASSERT_TRUE(editor.Open());
        if (viewFirst)
        {
            editor.view->release(); // still attached: the view closes the window itself
            editor.view = nullptr;
            HostWindow::Pump();
            EXPECT_EQ(editor.Window(), nullptr);
            instance.reset();
        }
        else
        {
            instance.reset(); // terminated and released; the view keeps the plug-in alive
            EXPECT_TRUE(
                WaitForKnobFrame(editor.Window(), strip, kMainVolume, strip.FrameFor(kMainVolumeDefault)));
            EXPECT_EQ(editor.Remove(), kResultOk);
            editor.Release();
        }
    }
}

// A host that scales its plug-ins gives the view its content scale, before or after attaching:
// the window takes the scaled size (a change while open goes through the frame's resizeView),
// and a drag in window pixels is the same gesture as at 100 %.
TEST_F(Vst3EditorTest, HostContentScaleSizesTheWindowAndKeepsTheKnobGearing)
{
    Vst3Instance instance;
    Vst3Editor editor(instance, kHostWindowX, kHostWindowY, false);
    IPlugViewContentScaleSupport* scaling = nullptr;
    ASSERT_EQ(
        editor.view->queryInterface(IPlugViewContentScaleSupport::iid, reinterpret_cast<void**>(&scaling)),
        kResultOk);
    const auto clientSize = [&editor]()
    {
        RECT client{};
        GetClientRect(editor.Window(), &client);
        return std::to_string(client.right) + "x" + std::to_string(client.bottom);
    };

    EXPECT_EQ(scaling->setContentScaleFactor(1.5f), kResultTrue);
    ASSERT_EQ(editor.Attach(), kResultOk);
    ASSERT_TRUE(editor.Open());
    EXPECT_EQ(clientSize(), "750x720");
    EXPECT_TRUE(editor.frame.requests.empty());

    EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultTrue);
    ASSERT_FALSE(editor.frame.requests.empty());
    EXPECT_EQ(editor.frame.requests.back().getWidth(), 1000);
    EXPECT_EQ(editor.frame.requests.back().getHeight(), 960);
    EXPECT_EQ(clientSize(), "1000x960");
    ViewRect size;
    ASSERT_EQ(editor.view->getSize(&size), kResultOk);
    EXPECT_EQ(size.getWidth(), 1000);

    // Half the knob's height up, in window pixels at 200 %: an eighth of the range.
    const POINT centre = Centre(RowOfParameter(kMainVolume));
    HostWindow::Drag(editor.Window(), 2 * centre.x, 2 * centre.y, -kQuarterTurnPixels);
    EXPECT_NEAR(instance.controller->getParamNormalized(kMainVolume), kMainVolumeDefault + 0.125, 1e-9);
    scaling->release();
}
