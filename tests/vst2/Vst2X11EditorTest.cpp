// The VST2 module's editor as a Linux host shows it: the descriptor announces it, operation 13
// gives its rectangle, 14 opens it in the host's X window (the pointer is the window id), 19
// (editor idle, which Linux hosts call periodically) handles its events and redraws, and 15
// closes it. Real pointer input through the X server (XTest), under Xvfb.

#include <gtest/gtest.h>

#include "engine/EngineParameterRecord.h"
#include "tests/support/LayoutRows.h"
#include "tests/support/SharedLibrary.h"
#include "tests/support/X11HostWindow.h"
#include "tests/support/XDisplayRequirement.h"
#include "tests/vst2/host/ScriptedHost.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace
{
constexpr int kTimeoutMs = 10000;
constexpr float kMainVolumeDefault = 0.8f;

class Vst2X11EditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KESTRUM_REQUIRE_X_DISPLAY(window.Open());
        ASSERT_TRUE(instance.Created());
        ASSERT_TRUE(KeepModuleLoaded(reinterpret_cast<const void*>(instance.descriptor->dispatcher)));
        instance.Start();
    }

    // The host's idle calls, every few milliseconds, until `done` holds.
    bool IdleUntil(const std::function<bool()>& done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kTimeoutMs);
        while (!done())
        {
            if (std::chrono::steady_clock::now() > end)
                return false;
            IdleFor(5);
        }
        return true;
    }
    void IdleFor(int milliseconds)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        do
        {
            instance.Dispatch(kVst2EditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        } while (std::chrono::steady_clock::now() < end);
    }
    std::vector<uint32_t> ShownKnob(Window editor) const
    {
        const KestrumLayout::Bounds rect = RowRect(RowOfParameter(kMainVolume));
        return window.Read(editor, rect.left, rect.top, rect.right, rect.bottom);
    }

    X11HostWindow window{0, 0, 500, 480};
    ScriptedHost host;
    Vst2Instance instance{host};
};
} // namespace

TEST_F(Vst2X11EditorTest, OpensInTheHostWindowRedrawsOnIdleAndADragReachesTheHost)
{
    EXPECT_NE(instance.descriptor->flags & kVst2HasEditor, 0);
    Vst2Rect* rect = nullptr;
    ASSERT_EQ(instance.Dispatch(kVst2EditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 500);
    EXPECT_EQ(rect->bottom - rect->top, 480);

    for (int opening = 0; opening < 2; ++opening)
    {
        SCOPED_TRACE(opening == 0 ? "first opening" : "reopened");
        ASSERT_EQ(instance.Dispatch(kVst2EditOpen, 0, 0, window.Handle()), 1);
        const std::vector<Window> children = window.Children();
        ASSERT_EQ(children.size(), 1u);
        // Nothing is drawn but by idle calls: the knob appears and holds still.
        const KestrumLayout::Bounds knob = RowRect(RowOfParameter(kMainVolume));
        const std::vector<uint32_t> before = window.WaitForPicture(
            children[0], knob.left, knob.top, knob.right, knob.bottom, [&] { IdleFor(20); }, kTimeoutMs);
        ASSERT_FALSE(before.empty());
        if (opening == 0)
        {
            host.calls.clear();
            // Up by half the knob's height: an eighth of the range.
            window.Drag((knob.left + knob.right) / 2, (knob.top + knob.bottom) / 2, -20,
                        [&] { IdleFor(10); });
            ASSERT_TRUE(IdleUntil([&] { return !host.CallsOf(kVst2HostEndEdit).empty(); }));
            EXPECT_EQ(host.CallsOf(kVst2HostBeginEdit).size(), 1u);
            EXPECT_FALSE(host.CallsOf(kVst2HostAutomate).empty());
            EXPECT_EQ(host.calls.front().operation, kVst2HostBeginEdit);
            EXPECT_EQ(host.calls.back().operation, kVst2HostEndEdit);
            EXPECT_NEAR(instance.Param(kMainVolume), kMainVolumeDefault + 0.125f, 1e-6);
            EXPECT_TRUE(IdleUntil([&] { return ShownKnob(children[0]) != before; }));
        }
        ASSERT_EQ(instance.Dispatch(kVst2EditClose), 1);
        EXPECT_TRUE(window.Children().empty());
        // Idle after closing finds nothing to drive.
        IdleFor(50);
    }
}

// A desktop at 144 dpi (Xft.dpi, the resource desktops set for scaled screens) and a host that
// gives no scale: the editor opens at 150 % and tells the host its new size (operation 15 of
// the host callback; operation 13 answers the same).
TEST_F(Vst2X11EditorTest, OpensAtTheDesktopsXftDpiAndTellsTheHostItsSize)
{
    // The resources stay on the server (it does not reset), so they go back to what they were
    // however the test ends.
    struct DesktopResources
    {
        explicit DesktopResources(Display* display) : display(display)
        {
            const char* found = XResourceManagerString(display);
            previous = found ? found : "";
        }
        ~DesktopResources() { Set(previous); }
        void Set(const std::string& text) const
        {
            const Window root = DefaultRootWindow(display);
            if (text.empty())
                XDeleteProperty(display, root, XA_RESOURCE_MANAGER);
            else
                XChangeProperty(display, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(text.data()),
                                static_cast<int>(text.size()));
            XSync(display, False);
        }
        Display* display;
        std::string previous;
    } resources(window.XDisplay());
    resources.Set("Xcursor.size:\t24\nXft.dpi:\t144\n");

    ASSERT_EQ(instance.Dispatch(kVst2EditOpen, 0, 0, window.Handle()), 1);
    const std::vector<ScriptedHost::Call> sized = host.CallsOf(kVst2HostSizeWindow);
    Vst2Rect* rect = nullptr;
    instance.Dispatch(kVst2EditGetRect, 0, 0, &rect);
    ASSERT_EQ(instance.Dispatch(kVst2EditClose), 1);

    ASSERT_EQ(sized.size(), 1u);
    EXPECT_EQ(sized[0].index, 750);
    EXPECT_EQ(sized[0].value, 720);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 750);
    EXPECT_EQ(rect->bottom - rect->top, 720);
}
