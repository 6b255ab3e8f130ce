// The editor as a Linux host shows it: created from the module on disk, embedded in an X
// window of the host's own, driven by the host's run loop (the frame's IRunLoop) and by real
// pointer input through the X server (XTest). Runs under Xvfb.

#include <gtest/gtest.h>

#include "tests/support/SharedLibrary.h"
#include "tests/support/X11HostWindow.h"
#include "tests/support/XDisplayRequirement.h"
#include "tests/vst3/Vst3Editor.h"
#include "tests/vst3/host/RunLoopPlugFrame.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace KestrumLayout;

namespace
{

constexpr double kMainVolumeDefault = 0.8;
// Dragging a knob up by half its height (20 pixels) raises it by an eighth.
constexpr int kEighthTurnPixels = 20;

class Vst3X11EditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KESTRUM_REQUIRE_X_DISPLAY(host.Open());
        ASSERT_TRUE(TheModule().Loaded()) << TheModule().Error();
        ASSERT_TRUE(KeepModuleLoaded(TheModule().Symbol("GetPluginFactory")));
        ASSERT_TRUE(instance.Created());
        view = instance.controller->createView(ViewType::kEditor);
        ASSERT_NE(view, nullptr);
    }
    void TearDown() override
    {
        if (!view)
            return;
        view->removed();
        view->setFrame(nullptr);
        view->release();
    }

    // The pixels the editor window shows over the control bound to the parameter.
    std::vector<uint32_t> Shown(Window editor, int paramIndex) const
    {
        const Bounds rect = RowRect(RowOfParameter(paramIndex));
        return host.Read(editor, rect.left, rect.top, rect.right, rect.bottom);
    }

    X11HostWindow host{0, 0, kEditorWidth, kEditorHeight};
    Vst3Instance instance;
    IPlugView* view = nullptr;
};

} // namespace

TEST_F(Vst3X11EditorTest, OpensInTheHostWindowAndTakesADragThroughTheHostsRunLoop)
{
    RunLoopPlugFrame frame;
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
    view->setFrame(&frame);
    for (int opening = 0; opening < 2; ++opening)
    {
        SCOPED_TRACE(opening == 0 ? "first opening" : "reopened");
        ASSERT_EQ(view->attached(host.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
        const std::vector<Window> children = host.Children();
        ASSERT_EQ(children.size(), 1u);
        EXPECT_EQ(frame.EventHandlers(), 1u);
        ASSERT_EQ(frame.Timers(), 1u);
        EXPECT_EQ(frame.TimerPeriod(), 40u);

        // Painted by the host's timer: the knob's pixels appear and then hold still.
        const Bounds knob = RowRect(RowOfParameter(kMainVolume));
        const std::vector<uint32_t> before = host.WaitForPicture(
            children[0], knob.left, knob.top, knob.right, knob.bottom, [&] { frame.RunFor(20); },
            kPaintTimeoutMs);
        ASSERT_FALSE(before.empty());
        if (opening == 0)
        {
            host.Drag((knob.left + knob.right) / 2, (knob.top + knob.bottom) / 2, -kEighthTurnPixels,
                      [&] { frame.RunFor(10); });
            const auto& edits = instance.handler.edits;
            ASSERT_TRUE(
                frame.RunUntil([&] { return !edits.empty() && edits.back().kind == 'e'; }, kPaintTimeoutMs));
            ASSERT_GE(edits.size(), 3u);
            EXPECT_EQ(edits.front().kind, 'b');
            for (size_t i = 1; i + 1 < edits.size(); ++i)
                EXPECT_EQ(edits[i].kind, 'p');
            const double dragged = edits[edits.size() - 2].value;
            EXPECT_NEAR(dragged, kMainVolumeDefault + 0.125, 1e-9);
            EXPECT_NEAR(instance.controller->getParamNormalized(kMainVolume), dragged, 1e-9);
            // The next tick shows the knob's new frame.
            EXPECT_TRUE(
                frame.RunUntil([&] { return Shown(children[0], kMainVolume) != before; }, kPaintTimeoutMs));
        }

        // Removing closes the window and leaves nothing registered with the host's loop.
        ASSERT_EQ(view->removed(), kResultOk);
        EXPECT_TRUE(host.Children().empty());
        EXPECT_EQ(frame.EventHandlers(), 0u);
        EXPECT_EQ(frame.Timers(), 0u);
    }
    view->setFrame(nullptr);
    EXPECT_EQ(frame.ReferencesHeld(), 0u);
}

TEST_F(Vst3X11EditorTest, HostWithoutARunLoopGetsNoEditor)
{
    // Nothing would ever draw or answer the window: refused at once, not a window that hangs.
    RunLoopPlugFrame frame(false);
    view->setFrame(&frame);
    EXPECT_NE(view->attached(host.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
    EXPECT_TRUE(host.Children().empty());
    view->setFrame(nullptr);
    EXPECT_NE(view->attached(host.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk);
    EXPECT_TRUE(host.Children().empty());
}
