// The Windows editor window driven through real messages under Wine (run under Xvfb).

#include "tests/graphics/win/WinEditorHarness.h"

#include "graphics/win/WinTextEntry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
using Events = std::vector<std::string>;

class IGraphicsWinTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(h.editor->HasWindow());
        ASSERT_TRUE(h.Settle());
    }

    WinEditorHarness h;
};

TEST_F(IGraphicsWinTest, KnobDragsWithItsGearingAndBracketsTheGesture)
{
    struct Case
    {
        const char* what;
        WPARAM keys;
        int dragUp;
        double expected;
        Events events;
    };
    const Case cases[] = {
        {"own height", 0, 40, 0.75, {"begin 0", "set 0 0.750", "end 0"}},
        {"own height with shift", MK_SHIFT, 40, 0.525, {"begin 0", "set 0 0.525", "end 0"}},
        {"five heights stop at 1", 0, 200, 1.0, {"begin 0", "set 0 1.000", "end 0"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        h.knobA->SetValue(0.5);
        h.plug.events.clear();
        // Up and released over the background, away from the knob: the gesture still ends.
        h.Post(WM_LBUTTONDOWN, MK_LBUTTON | c.keys, 40, 50);
        h.Post(WM_MOUSEMOVE, MK_LBUTTON | c.keys, 40, 50 - c.dragUp);
        h.Post(WM_LBUTTONUP, c.keys, 300, 300);
        ASSERT_TRUE(h.Flush());
        EXPECT_NEAR(h.knobA->GetValue(), c.expected, 1e-9);
        EXPECT_EQ(h.plug.events, c.events);
        EXPECT_EQ(GetCapture(), nullptr);
    }

    // Less than one wheel notch changes nothing; one notch is a hundredth.
    h.knobA->SetValue(0.5);
    POINT screen = {40, 40};
    ClientToScreen(h.EditorWnd(), &screen);
    h.Post(WM_MOUSEWHEEL, MAKEWPARAM(0, 60), screen.x, screen.y);
    ASSERT_TRUE(h.Flush());
    EXPECT_EQ(h.knobA->GetValue(), 0.5);
    h.Post(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), screen.x, screen.y);
    ASSERT_TRUE(h.Flush());
    EXPECT_NEAR(h.knobA->GetValue(), 0.51, 1e-9);
}

TEST_F(IGraphicsWinTest, KeysTheEditorDoesNotUseReachTheHostWindow)
{
    h.Post(WM_KEYDOWN, VK_F5, 0, 0);
    h.Post(WM_KEYDOWN, 'Q', 0, 0); // a mapped key no control takes
    ASSERT_TRUE(h.Flush());
    EXPECT_EQ(WinEditorHarness::HostKeys(), (std::vector<WPARAM>{VK_F5, 'Q'}));
}

TEST_F(IGraphicsWinTest, ClipboardAndFoldersAnswerInUtf8)
{
    const wchar_t text[] = L"Gr\u00fc\u00dfe \u266b";
    ASSERT_TRUE(OpenClipboard(h.EditorWnd()));
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
    memcpy(GlobalLock(data), text, sizeof(text));
    GlobalUnlock(data);
    SetClipboardData(CF_UNICODETEXT, data);
    CloseClipboard();
    std::string read;
    EXPECT_TRUE(h.editor->ReadClipboardText(read));
    EXPECT_EQ(read, "Gr\xc3\xbc\xc3\x9f"
                    "e \xe2\x99\xab");

    // The module is the test program itself, so both folders are its folder.
    std::string host, plugin;
    h.editor->HostFolder(host);
    h.editor->PluginFolder(plugin);
    EXPECT_EQ(host, plugin);
    ASSERT_FALSE(host.empty());
    EXPECT_EQ(host.back(), '\\');
}

TEST_F(IGraphicsWinTest, PushedValueIsPaintedAtTheNextTickOnlyWhereItsControlIs)
{
    h.editor->ResetPresentStats();
    std::thread automation([this] { h.editor->PushValueToControls(0, 30.0, false); });
    automation.join();

    ASSERT_TRUE(h.PumpUntil([this] { return h.editor->PresentCount() > 0; }));
    ASSERT_TRUE(h.Settle());
    // A pushed value asks for one more frame after the first; both paint the knob alone.
    EXPECT_LE(h.editor->PresentCount(), 2);
    EXPECT_EQ(h.editor->PresentedPixels(),
              h.editor->PresentCount() * WinEditorHarness::kKnobSize * WinEditorHarness::kKnobSize);
    EXPECT_TRUE(h.WindowShowsFrame(WinEditorHarness::kKnobA, KnobFrameFor(0.3)));
    EXPECT_TRUE(h.WindowShowsFrame(WinEditorHarness::kKnobB, KnobFrameFor(0.5)));
}

// Opens the entry with a right click on knob A (which prompts for a value).
void OpenEntry(WinEditorHarness& h)
{
    h.Post(WM_RBUTTONDOWN, MK_RBUTTON, 40, 40);
    h.Post(WM_RBUTTONUP, 0, 40, 40);
    ASSERT_TRUE(h.Flush());
    ASSERT_TRUE(h.editor->TextEntry().IsOpen());
}

void Type(WinEditorHarness& h, const char* keys)
{
    for (const char* k = keys; *k; ++k)
        PostMessageW(h.editor->TextEntry().Window(), WM_KEYDOWN, static_cast<WPARAM>(*k), 0);
    ASSERT_TRUE(h.Flush());
}

std::string EntryText(WinEditorHarness& h)
{
    wchar_t text[32] = {};
    GetWindowTextW(h.editor->TextEntry().Window(), text, 32);
    return std::string(text, text + wcslen(text));
}

TEST_F(IGraphicsWinTest, TextEntryFiltersAndAppliesOrDiscardsAtTheNextTick)
{
    const auto entryClosed = [this] { return !h.editor->TextEntry().IsOpen(); };
    PluginParameter& level = *h.plug.GetParam(0);

    // Return applies the digits (the letter never gets in).
    OpenEntry(h);
    Type(h, "12A");
    EXPECT_EQ(EntryText(h), "12");
    PostMessageW(h.editor->TextEntry().Window(), WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(h.PumpUntil(entryClosed));
    EXPECT_NEAR(h.knobA->GetValue(), level.ToNormalized(12.0), 1e-9);

    // Escape discards.
    OpenEntry(h);
    Type(h, "34");
    PostMessageW(h.editor->TextEntry().Window(), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(h.PumpUntil(entryClosed));
    EXPECT_NEAR(h.knobA->GetValue(), level.ToNormalized(12.0), 1e-9);

    // A click after the editor repainted around the entry commits.
    OpenEntry(h);
    h.editor->ResetPresentStats();
    h.editor->PushValueToControls(1, 0.9, true);
    ASSERT_TRUE(h.PumpUntil([this] { return h.editor->PresentCount() > 0; }));
    Type(h, "56");
    h.Post(WM_LBUTTONDOWN, MK_LBUTTON, 300, 300);
    h.Post(WM_LBUTTONUP, 0, 300, 300);
    ASSERT_TRUE(h.PumpUntil(entryClosed));
    EXPECT_NEAR(h.knobA->GetValue(), level.ToNormalized(56.0), 1e-9);

    // A click while the entry has the focus (it lost and regained it) cancels.
    OpenEntry(h);
    Type(h, "78");
    SetFocus(h.EditorWnd());
    SetFocus(h.editor->TextEntry().Window());
    ASSERT_EQ(h.editor->TextEntry().GetState(), WinTextEntry::kFocused);
    h.Post(WM_LBUTTONDOWN, MK_LBUTTON, 300, 300);
    ASSERT_TRUE(h.PumpUntil(entryClosed));
    EXPECT_NEAR(h.knobA->GetValue(), level.ToNormalized(56.0), 1e-9);
}

// The visible popup-menu window of the thread, if any (other test programs may have menus
// open on the same display).
HWND OpenMenuWindow(DWORD threadId)
{
    HWND found = nullptr;
    EnumThreadWindows(
        threadId,
        [](HWND window, LPARAM result) -> BOOL
        {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (wcscmp(name, L"#32768") != 0 || !IsWindowVisible(window))
                return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Shows the menu and drives it with keys posted from another thread once it is open.
PopupMenu* ChooseWithKeys(WinEditorHarness& h, PopupMenu& menu, std::vector<WPARAM> keys)
{
    const DWORD windowThread = GetCurrentThreadId();
    std::atomic<bool> opened{false};
    std::thread user(
        [&]
        {
            const DWORD start = GetTickCount();
            HWND menuWnd = nullptr;
            while (GetTickCount() - start < 10000 && !(menuWnd = OpenMenuWindow(windowThread)))
                Sleep(5); // polling for the menu window to appear
            opened = menuWnd != nullptr;
            for (WPARAM key : keys)
                PostMessageW(h.EditorWnd(), WM_KEYDOWN, key, 0);
            if (!menuWnd)
                PostMessageW(h.EditorWnd(), WM_KEYDOWN, VK_ESCAPE, 0);
        });
    PopupMenu* chosen = h.editor->ShowPopupMenu(menu, Rect(10, 10, 60, 30));
    user.join();
    EXPECT_TRUE(opened);
    return chosen;
}

TEST_F(IGraphicsWinTest, PopupMenuReportsTheMenuAndIndexOfTheChoice)
{
    PopupMenu root;
    root.AddItem("First");
    root.AddItem("Second");
    root.AddSeparator();
    auto sub = std::make_unique<PopupMenu>();
    sub->AddItem("Inner 1");
    sub->AddItem("Inner 2");
    PopupMenu& inner = root.AddSubmenu("More", std::move(sub));

    struct Case
    {
        const char* what;
        std::vector<WPARAM> keys;
        PopupMenu* menu;
        int index;
    };
    const Case cases[] = {
        {"first item", {VK_DOWN, VK_RETURN}, &root, 0},
        {"second item", {VK_DOWN, VK_DOWN, VK_RETURN}, &root, 1},
        {"from the submenu", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}, &inner, 1},
        {"dismissed", {VK_ESCAPE}, nullptr, -1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        PopupMenu* chosen = ChooseWithKeys(h, root, c.keys);
        EXPECT_EQ(chosen, c.menu);
        if (chosen)
        {
            EXPECT_EQ(chosen->ChosenItemIndex(), c.index);
        }
        ASSERT_TRUE(h.PumpUntil([] { return OpenMenuWindow(GetCurrentThreadId()) == nullptr; }));
    }
}

bool ClassRegistered()
{
    WNDCLASSA info;
    return GetClassInfoA(GetModuleHandleW(nullptr), IGraphicsWin::kWindowClassName, &info) != FALSE;
}

TEST(IGraphicsWinLifecycle, ClassLivesWhileAnyEditorIsOpenAndReopeningKeepsState)
{
    {
        WinEditorHarness first;
        {
            WinEditorHarness second(true);
            EXPECT_TRUE(second.editor->TooltipsEnabled()); // a failed tooltip set-up turns them off
            EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 2);
            EXPECT_TRUE(ClassRegistered());
        }
        EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 1);
        EXPECT_TRUE(ClassRegistered());

        // Move the knob, close, reopen: the value and its picture survive.
        first.Post(WM_LBUTTONDOWN, MK_LBUTTON, 40, 50);
        first.Post(WM_MOUSEMOVE, MK_LBUTTON, 40, 30);
        first.Post(WM_LBUTTONUP, 0, 40, 30);
        ASSERT_TRUE(first.Flush());
        const double moved = first.knobA->GetValue();
        EXPECT_NEAR(moved, 0.625, 1e-9);
        first.editor->DestroyEditorWindow();
        EXPECT_FALSE(first.editor->HasWindow());
        EXPECT_FALSE(ClassRegistered());
        ASSERT_NE(first.editor->CreateEditorWindow(first.host), nullptr);
        first.editor->ResetPresentStats();
        ASSERT_TRUE(first.Settle());
        EXPECT_EQ(first.knobA->GetValue(), moved);
        EXPECT_TRUE(first.WindowShowsFrame(WinEditorHarness::kKnobA, KnobFrameFor(moved)));
    }
    EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
    EXPECT_FALSE(ClassRegistered());
}
} // namespace

// The editor at a host scale: the window has the scaled size and shows the back buffer drawn
// at that size, a drag of a knob's height in window pixels is the same logical gesture as at
// 100 %, and the centre of every control in window pixels reaches that control. A scale
// change while open resizes the window.
TEST(IGraphicsWinScaleTest, WindowSizeGearingAndHitsFollowTheScale)
{
    for (const double scale : {1.5, 2.0})
    {
        SCOPED_TRACE(scale);
        WinEditorHarness h(false, scale);
        ASSERT_NE(h.EditorWnd(), nullptr);
        ASSERT_TRUE(h.Settle());
        const auto clientSize = [&h]()
        {
            RECT client;
            GetClientRect(h.EditorWnd(), &client);
            return std::to_string(client.right) + "x" + std::to_string(client.bottom);
        };
        EXPECT_EQ(clientSize(), scale == 2.0 ? "1000x960" : "750x720");
        EXPECT_TRUE(h.WindowEqualsBackBuffer());

        EXPECT_EQ(ControlMissedAtItsCentre(*h.editor), -1);

        const EditorScale& s = h.editor->Scale();
        // Two steps of the knob's height (40 logical pixels in all) from its centre.
        h.knobA->SetValue(0.5);
        const Rect knob = s.ToPhysical(h.kKnobA);
        const int x = (knob.left + knob.right) / 2;
        const int y = (knob.top + knob.bottom) / 2;
        const int step = s.ToPhysical(h.kKnobSize) / 2;
        h.Post(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        h.Post(WM_MOUSEMOVE, MK_LBUTTON, x, y - step);
        h.Post(WM_MOUSEMOVE, MK_LBUTTON, x, y - 2 * step);
        h.Post(WM_LBUTTONUP, 0, x, y - 2 * step);
        ASSERT_TRUE(h.Flush());
        EXPECT_NEAR(h.knobA->GetValue(), 0.75, 1e-9);

        h.editor->SetContentScale(1.0);
        EXPECT_EQ(clientSize(), "500x480");
        ASSERT_TRUE(h.Settle());
        EXPECT_TRUE(h.WindowEqualsBackBuffer());
    }
}
