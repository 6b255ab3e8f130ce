// The VST2 adapter with a real editor window (Windows, under Wine and Xvfb): the descriptor
// announces it, operations 13 to 15 give its rectangle and open and close it in the host's
// window, and a drag on a knob reaches the host as begin edit, automate, end edit.

#include "graphics/win/IGraphicsWin.h"
#include "graphics/IKnobMultiControl.h"
#include "graphics/raster/LICE_MemBitmap.h"
#include "tests/vst2/host/ScriptedHost.h"
#include "vst2/IPlugVST.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace
{
constexpr int kKnobSize = 40;

PluginConfig Config()
{
    PluginConfig config;
    config.numParams = 1;
    config.numPresets = 1;
    config.channelIoString = "2-2";
    config.isInstrument = true;
    config.doesMidi = true;
    return config;
}

// Handles window messages until `done` holds; false after ten seconds.
template <typename Done>
bool PumpUntil(Done done)
{
    const DWORD start = GetTickCount();
    while (!done())
    {
        if (GetTickCount() - start > 10000)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}
} // namespace

TEST(IPlugVSTEditor, OpensInTheHostWindowAndADragArrivesAsBeginAutomateEnd)
{
    ScriptedHost host;
    IPlugVST::HostContext context;
    context.callback = &ScriptedHost::Callback;
    IPlugVST plugin(context, Config());
    plugin.GetParam(0)->DefineContinuous("Level", 0.5, 0.0, 1.0, 0.00001);
    LICE_MemBitmap strip(kKnobSize, kKnobSize * 2);
    auto owned = std::make_unique<IGraphicsWin>(&plugin, 500, 480, 25);
    IGraphicsWin* editor = owned.get();
    editor->AddControl(std::make_unique<IKnobMultiControl>(&plugin, 10, 10, 0,
                                                           BitmapRef(&strip, kKnobSize, kKnobSize * 2, 2)));
    Vst2Descriptor* d = plugin.Descriptor();
    EXPECT_EQ(d->flags, 0x1110);
    plugin.AttachEditor(std::move(owned));
    EXPECT_EQ(d->flags, 0x1111);

    Vst2Rect* rect = nullptr;
    ASSERT_EQ(d->dispatcher(d, kVst2EditGetRect, 0, 0, &rect, 0.0f), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 480);
    EXPECT_EQ(rect->right, 500);

    HWND parent = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 520, 500, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    ASSERT_EQ(d->dispatcher(d, kVst2EditOpen, 0, 0, parent, 0.0f), 1);
    HWND window = static_cast<HWND>(editor->EditorWindow());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetParent(window), parent);

    host.calls.clear();
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
    for (int y = 28; y >= 10; y -= 2)
        PostMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(30, 10));
    ASSERT_TRUE(PumpUntil([&] { return !host.CallsOf(kVst2HostEndEdit).empty(); }));
    ASSERT_GE(host.calls.size(), 3u);
    EXPECT_EQ(host.calls.front().operation, kVst2HostBeginEdit);
    EXPECT_EQ(host.calls.back().operation, kVst2HostEndEdit);
    const auto automated = host.CallsOf(kVst2HostAutomate);
    ASSERT_FALSE(automated.empty());
    EXPECT_EQ(automated.back().index, 0);
    EXPECT_GT(automated.back().option, 0.5f);
    EXPECT_FLOAT_EQ(d->getParameter(d, 0), automated.back().option);

    EXPECT_EQ(d->dispatcher(d, kVst2EditClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(editor->EditorWindow(), nullptr);
    DestroyWindow(parent);
}

TEST(IPlugVSTEditor, TheModulesEditorOpensAndClosesInTheHostWindow)
{
    ScriptedHost host;
    Vst2Instance plugin(host);
    ASSERT_TRUE(plugin.Created());
    plugin.Start();
    EXPECT_EQ(plugin.descriptor->flags, 0x1111);
    Vst2Rect* rect = nullptr;
    ASSERT_EQ(plugin.Dispatch(kVst2EditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->bottom, 480);
    EXPECT_EQ(rect->right, 500);
    HWND parent = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_VISIBLE, 0, 0, 520, 500, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    ASSERT_EQ(plugin.Dispatch(kVst2EditOpen, 0, 0, parent), 1);
    EXPECT_NE(GetWindow(parent, GW_CHILD), nullptr);
    // A few frames of the editor's timer while a block plays.
    plugin.SendMidi(0, 0x90, 60, 127);
    plugin.ProcessFloat(256);
    PumpUntil([start = GetTickCount()] { return GetTickCount() - start > 200; });
    EXPECT_EQ(plugin.Dispatch(kVst2EditClose), 1);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
    DestroyWindow(parent);
}
