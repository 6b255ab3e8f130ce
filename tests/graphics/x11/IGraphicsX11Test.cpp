// The X11 editor window driven through real input (XTest) on an X server (Xvfb in CI).

// GoogleTest goes before the X headers, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "tests/graphics/x11/X11EditorHarness.h"
#include "tests/support/XDisplayRequirement.h"

#include "graphics/x11/X11Connection.h"
#include "graphics/x11/X11TextEntry.h"

#include <X11/extensions/XTest.h>

#include "graphics/IFileSelectorControl.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace
{
using Events = std::vector<std::string>;

class IGraphicsX11Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KESTRUM_REQUIRE_X_DISPLAY(h.HasDisplay());
        ASSERT_TRUE(h.editor->HasWindow());
        ASSERT_TRUE(h.Settle());
    }

    // A click with the button (1 left, 3 right) at editor coordinates.
    void Click(unsigned button, int x, int y)
    {
        h.MoveTo(x, y);
        h.Button(button, true);
        h.Button(button, false);
        h.Flush();
    }

    X11EditorHarness h;
};

TEST_F(IGraphicsX11Test, KnobDragsWithItsGearingAndBracketsTheGesture)
{
    struct Case
    {
        const char* what;
        bool shift;
        int x; // presses apart, so no two make a double click
        int dragUp;
        double expected;
        Events events;
    };
    const Case cases[] = {
        {"own height", false, 25, 40, 0.75, {"begin 0", "set 0 0.750", "end 0"}},
        {"own height with shift", true, 35, 40, 0.525, {"begin 0", "set 0 0.525", "end 0"}},
        {"five heights stop at 1", false, 45, 200, 1.0, {"begin 0", "set 0 1.000", "end 0"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        h.knobA->SetValue(0.5);
        h.plug.events.clear();
        if (c.shift)
            h.Key("Shift_L", true);
        // Up and released away from the knob: the gesture still ends.
        h.MoveTo(c.x, 50);
        h.Button(1, true);
        h.MoveTo(c.x, 50 - c.dragUp);
        h.Flush();
        h.Button(1, false);
        if (c.shift)
            h.Key("Shift_L", false);
        h.Flush();
        EXPECT_NEAR(h.knobA->GetValue(), c.expected, 1e-9);
        EXPECT_EQ(h.plug.events.front(), "begin 0");
        EXPECT_EQ(h.plug.events.back(), "end 0");
        EXPECT_EQ(h.plug.events[h.plug.events.size() - 2], c.events[1]);
    }

    // One wheel notch up is a hundredth.
    h.knobA->SetValue(0.5);
    Click(4, 40, 40);
    EXPECT_NEAR(h.knobA->GetValue(), 0.51, 1e-9);
}

TEST_F(IGraphicsX11Test, PushedValueIsPaintedAtTheNextTickOnlyWhereItsControlIsAndTheWindowShowsTheFrame)
{
    h.editor->ResetPresentStats();
    std::thread automation([this] { h.editor->PushValueToControls(0, 30.0, false); });
    automation.join();

    ASSERT_TRUE(h.PumpUntil([this] { return h.editor->PresentCount() > 0; }));
    ASSERT_TRUE(h.Settle());
    EXPECT_LE(h.editor->PresentCount(), 2);
    EXPECT_EQ(h.editor->PresentedPixels(), h.editor->PresentCount() * h.kKnobSize * h.kKnobSize);
    EXPECT_TRUE(h.WindowShowsFrame(h.kKnobA, KnobFrameFor(0.3)));
    EXPECT_TRUE(h.WindowShowsFrame(h.kKnobB, KnobFrameFor(0.5)));
    EXPECT_TRUE(h.WindowEqualsBackBuffer());
}

TEST_F(IGraphicsX11Test, KeysTheEditorDoesNotUseReachTheHostWindow)
{
    XSetInputFocus(h.display, h.editor->XWindow(), RevertToParent, CurrentTime);
    h.Tap("F5");
    h.Tap("q"); // a mapped key no control takes
    h.Flush();
    EXPECT_EQ(h.HostKeyPresses(), 2);
}

TEST_F(IGraphicsX11Test, TextEntryFiltersAndAppliesOrDiscardsAtTheNextTick)
{
    const auto entryClosed = [this] { return !h.editor->TextEntry().IsOpen(); };
    PluginParameter& level = *h.plug.GetParam(0);
    const auto openEntry = [this]
    {
        Click(3, 40, 40); // knob A prompts for a value on a right click
        ASSERT_TRUE(h.editor->TextEntry().IsOpen());
    };
    const auto type = [this](const char* keys)
    {
        for (const char* k = keys; *k; ++k)
            h.Tap(std::string(1, *k).c_str());
        h.Flush();
    };

    // Return applies the digits at the next tick (the letter never gets in).
    openEntry();
    type("12a");
    EXPECT_EQ(h.editor->TextEntry().Text(), "12");
    h.Tap("Return");
    h.Flush();
    EXPECT_TRUE(h.editor->TextEntry().IsOpen());
    ASSERT_TRUE(h.PumpUntil(entryClosed));
    EXPECT_NEAR(h.knobA->GetValue(), level.ToNormalized(12.0), 1e-9);

    // Escape discards.
    openEntry();
    type("34");
    h.Tap("Escape");
    ASSERT_TRUE(h.PumpUntil(entryClosed));
    EXPECT_NEAR(h.knobA->GetValue(), level.ToNormalized(12.0), 1e-9);

    // A click into the editor while the entry has the keyboard cancels.
    openEntry();
    type("78");
    Click(1, 300, 300);
    ASSERT_TRUE(h.PumpUntil(entryClosed));
    EXPECT_NEAR(h.knobA->GetValue(), level.ToNormalized(12.0), 1e-9);
}

// Shows the menu and drives it from another connection once its window is up: keys, or a
// pointer click at a point of the editor.
PopupMenu* RunMenu(X11EditorHarness& h, PopupMenu& menu, const std::vector<const char*>& keys,
                   int clickX = -1, int clickY = -1)
{
    Display* display = h.display;
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned before = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &before);
    XFree(children);
    bool opened = false;
    std::thread user(
        [&]
        {
            Display* input = XOpenDisplay(nullptr);
            const long long deadline = X11NowMs() + 10000;
            unsigned now = before;
            while (now <= before && X11NowMs() < deadline)
            {
                Window* kids = nullptr;
                XQueryTree(input, DefaultRootWindow(input), &root, &parent, &kids, &now);
                XFree(kids);
                if (now <= before)
                    std::this_thread::sleep_for(std::chrono::milliseconds(5)); // polling for the menu window
            }
            opened = now > before;
            // Input goes to the menu only once it holds the keyboard: until then a grab of our
            // own succeeds (and is given back at once; the menu tries again).
            while (opened && X11NowMs() < deadline)
            {
                const int grab = XGrabKeyboard(input, DefaultRootWindow(input), False, GrabModeAsync,
                                               GrabModeAsync, CurrentTime);
                if (grab == AlreadyGrabbed)
                    break;
                if (grab == GrabSuccess)
                    XUngrabKeyboard(input, CurrentTime);
                XSync(input, False);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            if (clickX >= 0)
            {
                XTestFakeMotionEvent(input, DefaultScreen(input), clickX, X11EditorHarness::kHostTop + clickY,
                                     CurrentTime);
                XTestFakeButtonEvent(input, 1, True, CurrentTime);
                XTestFakeButtonEvent(input, 1, False, CurrentTime);
            }
            for (const char* key : opened ? keys : std::vector<const char*>{"Escape"})
            {
                const KeyCode code = XKeysymToKeycode(input, XStringToKeysym(key));
                XTestFakeKeyEvent(input, code, True, CurrentTime);
                XTestFakeKeyEvent(input, code, False, CurrentTime);
            }
            XSync(input, False);
            XCloseDisplay(input);
        });
    PopupMenu* chosen = h.editor->ShowPopupMenu(menu, Rect(10, 10, 60, 30));
    user.join();
    EXPECT_TRUE(opened);
    return chosen;
}

TEST_F(IGraphicsX11Test, PopupMenuReportsTheMenuAndIndexOfTheChoice)
{
    PopupMenu root;
    root.AddItem("First");
    root.AddItem("Second", PopupMenuItem::kChecked);
    root.AddSeparator();
    auto sub = std::make_unique<PopupMenu>();
    sub->AddItem("Inner 1");
    sub->AddItem("Inner 2");
    PopupMenu& inner = root.AddSubmenu("More", std::move(sub));

    struct Case
    {
        const char* what;
        std::vector<const char*> keys;
        PopupMenu* menu;
        int index;
    };
    const Case cases[] = {
        {"first item", {"Down", "Return"}, &root, 0},
        {"second item", {"Down", "Down", "Return"}, &root, 1},
        {"from the submenu", {"Down", "Down", "Down", "Right", "Down", "Return"}, &inner, 1},
        {"dismissed", {"Escape"}, nullptr, -1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        PopupMenu* chosen = RunMenu(h, root, c.keys);
        EXPECT_EQ(chosen, c.menu);
        if (chosen)
        {
            EXPECT_EQ(chosen->ChosenItemIndex(), c.index);
        }
    }
    // The pointer (editor coordinates): the first item lies just below the rectangle's
    // bottom-left corner.
    PopupMenu* clicked = RunMenu(h, root, {}, 30, 40);
    ASSERT_EQ(clicked, &root);
    EXPECT_EQ(clicked->ChosenItemIndex(), 0);
    // A click outside every level dismisses.
    EXPECT_EQ(RunMenu(h, root, {}, 480, 460), nullptr);
}

long ResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

// Each X connection is one descriptor: a connection left open shows here.
int OpenDescriptors()
{
    int count = 0;
    for (int fd = 0; fd < 4096; ++fd)
        count += fcntl(fd, F_GETFD) != -1 ? 1 : 0;
    return count;
}

TEST_F(IGraphicsX11Test, ReopeningKeepsStateAndManyCyclesLeaveNothingBehind)
{
    // Move the knob, close, reopen: the value and its picture survive.
    h.MoveTo(40, 50);
    h.Button(1, true);
    h.MoveTo(40, 30);
    h.Flush();
    h.Button(1, false);
    h.Flush();
    const double moved = h.knobA->GetValue();
    EXPECT_NEAR(moved, 0.625, 1e-9);
    const EditorWindowHandle hostWindow =
        reinterpret_cast<EditorWindowHandle>(static_cast<uintptr_t>(h.host));
    // Each opening registers with the host's loop and each closing unregisters.
    const auto cycle = [&]
    {
        h.editor->DestroyEditorWindow();
        ASSERT_FALSE(h.editor->HasWindow());
        ASSERT_FALSE(h.loop.Watching());
        ASSERT_NE(h.editor->CreateEditorWindow(hostWindow), nullptr);
        ASSERT_EQ(h.loop.Fd(), h.editor->ConnectionFd());
    };
    // Without a loop to drive it, no window opens.
    h.editor->DestroyEditorWindow();
    h.editor->UseRunLoop(nullptr);
    EXPECT_EQ(h.editor->CreateEditorWindow(hostWindow), nullptr);
    h.editor->UseRunLoop(&h.loop);
    cycle();
    h.editor->ResetPresentStats();
    ASSERT_TRUE(h.Settle());
    EXPECT_EQ(h.knobA->GetValue(), moved);
    EXPECT_TRUE(h.WindowShowsFrame(h.kKnobA, KnobFrameFor(moved)));

    for (int i = 0; i < 5; ++i)
        cycle();
    const long before = ResidentKilobytes();
    const int descriptorsBefore = OpenDescriptors();
    for (int i = 0; i < 50; ++i)
        cycle();
    EXPECT_EQ(OpenDescriptors(), descriptorsBefore);
    // The host window holds exactly the one editor window, and memory stays put.
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    h.Flush(); // the editor's requests have reached the server
    XQueryTree(h.display, h.host, &root, &parent, &children, &count);
    XFree(children);
    EXPECT_EQ(count, 1u);
    std::printf("resident growth over 50 cycles: %ld KB\n", ResidentKilobytes() - before);
#if !defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer keeps freed memory in quarantine (its leak checker covers this instead).
    EXPECT_LT(ResidentKilobytes() - before, 1024);
#endif
}
} // namespace

namespace
{
// A stand-in for the desktop's dialog helper: a "zenity" on the PATH that answers at once
// with a file name typed without its extension (or cancels with status 1).
class FakeDialogHelper
{
public:
    explicit FakeDialogHelper(const char* answer)
    {
        char folder[] = "/tmp/kestrum-helper-XXXXXX";
        mFolder = mkdtemp(folder);
        std::ofstream script(mFolder + "/zenity");
        if (answer)
            script << "#!/bin/sh\necho '" << answer << "'\n";
        else
            script << "#!/bin/sh\nexit 1\n";
        script.close();
        chmod((mFolder + "/zenity").c_str(), 0755);
        mPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        setenv("PATH", mFolder.c_str(), 1);
    }
    ~FakeDialogHelper()
    {
        setenv("PATH", mPath.c_str(), 1);
        std::remove((mFolder + "/zenity").c_str());
        rmdir(mFolder.c_str());
    }

private:
    std::string mFolder;
    std::string mPath;
};
} // namespace

TEST_F(IGraphicsX11Test, FileDialogsAnswerAtALaterTickAsTheirOwnGesture)
{
    auto* selector = static_cast<IFileSelectorControl*>(h.editor->AddControl(
        std::make_unique<IFileSelectorControl>(&h.plug, Rect(200, 200, 240, 225), 1, BitmapRef(),
                                               IGraphics::kFileSave, "/tmp/", "kestrumpreset")));
    const double before = selector->GetValue();
    {
        FakeDialogHelper helper("/tmp/presets/My Snare");
        h.plug.events.clear();
        Click(1, 210, 210);
        // The click has ended; the answer comes with a later tick, bracketed on its own.
        EXPECT_EQ(selector->GetState(), IFileSelectorControl::kSelecting);
        ASSERT_TRUE(h.PumpUntil([&] { return selector->GetState() != IFileSelectorControl::kSelecting; }));
        EXPECT_EQ(selector->File(), "/tmp/presets/My Snare.kestrumpreset");
        EXPECT_EQ(selector->Folder(), "/tmp/presets/");
        EXPECT_NE(selector->GetValue(), before);
        ASSERT_GE(h.plug.events.size(), 5u);
        EXPECT_EQ(h.plug.events[2], "begin 1");
        EXPECT_EQ(h.plug.events.back(), "end 1");
    }
    {
        FakeDialogHelper cancelling(nullptr);
        Click(1, 225, 215); // away from the first click, which would make a double click
        ASSERT_TRUE(h.PumpUntil([&] { return selector->GetState() != IFileSelectorControl::kSelecting; }));
        EXPECT_EQ(selector->File(), "");
        EXPECT_EQ(selector->Folder(), "/tmp/presets/");
    }
}

// The editor at a host scale: the window has the scaled size and shows the back buffer as it
// is (drawn at that size, never enlarged), a drag of a knob's height in window pixels is the
// same logical gesture as at 100 %, and the centre of every control in window pixels reaches
// that control. A scale change while open resizes the window.
TEST(IGraphicsX11ScaleTest, WindowSizeGearingAndHitsFollowTheScale)
{
    for (const double scale : {1.5, 2.0})
    {
        SCOPED_TRACE(scale);
        X11EditorHarness h(scale);
        KESTRUM_REQUIRE_X_DISPLAY(h.HasDisplay());
        ASSERT_TRUE(h.editor->HasWindow());
        ASSERT_TRUE(h.Settle());
        const auto windowSize = [&h]()
        {
            Window root = 0;
            int x = 0, y = 0;
            unsigned width = 0, height = 0, border = 0, depth = 0;
            XGetGeometry(h.editor->XDisplay(), h.editor->XWindow(), &root, &x, &y, &width, &height, &border,
                         &depth);
            return std::to_string(width) + "x" + std::to_string(height);
        };
        EXPECT_EQ(windowSize(), scale == 2.0 ? "1000x960" : "750x720");
        EXPECT_TRUE(h.WindowEqualsBackBuffer());

        EXPECT_EQ(ControlMissedAtItsCentre(*h.editor), -1);

        const EditorScale& s = h.editor->Scale();
        // Two steps of the knob's height (40 logical pixels in all) from its centre.
        h.knobA->SetValue(0.5);
        const Rect knob = s.ToPhysical(h.kKnobA);
        const int x = (knob.left + knob.right) / 2;
        const int y = (knob.top + knob.bottom) / 2;
        const int step = s.ToPhysical(h.kKnobSize) / 2;
        h.MoveTo(x, y);
        h.Button(1, true);
        h.MoveTo(x, y - step);
        h.Flush();
        h.MoveTo(x, y - 2 * step);
        h.Flush();
        h.Button(1, false);
        h.Flush();
        EXPECT_NEAR(h.knobA->GetValue(), 0.75, 1e-9);

        h.editor->SetContentScale(1.0);
        EXPECT_EQ(windowSize(), "500x480");
        ASSERT_TRUE(h.Settle());
        EXPECT_TRUE(h.WindowEqualsBackBuffer());
    }
}
