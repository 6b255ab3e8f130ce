// The load button end to end, as a user meets it in a Windows host: a click on the button
// opens the system's real open dialog, a preset file is chosen in it, and the file's values
// arrive in the parameters the host sees and on the knobs on screen. Runs under Wine with an
// X server (Xvfb).

#include "tests/vst3/Vst3Editor.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include <fstream>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

constexpr UINT kDialogCheckMs = 50;

// What the user does in the open dialog: type the file's path into its file name box and
// confirm. A thread timer does it from inside the dialog's modal loop, which runs on the
// test's thread like the editor's own.
struct DialogUser
{
    std::string file;
    int dialogsSeen = 0;
};
DialogUser* gUser = nullptr;

BOOL CALLBACK ChooseFileInDialog(HWND window, LPARAM)
{
    char windowClass[64] = {};
    GetClassNameA(window, windowClass, sizeof(windowClass));
    if (std::string(windowClass) != "#32770" || !IsWindowVisible(window) || gUser->dialogsSeen > 0)
        return TRUE;
    ++gUser->dialogsSeen;
    // The explorer-style dialog has a combo box for the name, the old style an edit field.
    if (!SetDlgItemTextA(window, cmb13, gUser->file.c_str()))
        SetDlgItemTextA(window, edt1, gUser->file.c_str());
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK CheckForDialog(HWND, UINT, UINT_PTR, DWORD)
{
    if (gUser != nullptr)
        EnumThreadWindows(GetCurrentThreadId(), ChooseFileInDialog, 0);
}

} // namespace

TEST(Vst3PresetLoad, TheLoadButtonsDialogChoosesAFileWhoseValuesReachParametersAndKnobs)
{
    ASSERT_TRUE(TheModule().Loaded()) << TheModule().Error();
    char folder[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
    DialogUser user;
    user.file = std::string(folder) + "kestrum load button.kestrumpreset";
    std::ofstream(user.file, std::ios::binary)
        << "<Company>Quorvex Audio</Company><Product>Kestrum</Product><Version>1.0.0</Version>"
           "<MainVolume>0.25</MainVolume><TonalPitchAmt>0.75</TonalPitchAmt><NoiseEnvDecay>0.1</"
           "NoiseEnvDecay>";

    Vst3Instance instance;
    Vst3Editor editor(instance);
    ASSERT_TRUE(editor.Open());
    KnobStrip strip(KestrumLayout::kLargeKnobImage);
    ASSERT_TRUE(strip.Loaded());
    ASSERT_TRUE(WaitForKnobFrame(editor.Window(), strip, kMainVolume, strip.FrameFor(0.8)));

    gUser = &user;
    const UINT_PTR timer = SetTimer(nullptr, 0, kDialogCheckMs, CheckForDialog);
    const KestrumLayout::Bounds load = RowRect(KestrumLayout::kPresetLoadRow);
    const int x = (load.left + load.right) / 2, y = (load.top + load.bottom) / 2;
    HostWindow::MouseDown(editor.Window(), x, y); // returns once the dialog has closed
    HostWindow::MouseUp(editor.Window(), x, y);
    HostWindow::Pump();
    KillTimer(nullptr, timer);
    gUser = nullptr;

    EXPECT_EQ(user.dialogsSeen, 1);
    const struct
    {
        ParamID id;
        double value;
    } loaded[] = {{kMainVolume, 0.25}, {18 /* TonalPitchAmt */, 0.75}, {7 /* NoiseEnvDecay */, 0.1}};
    for (const auto& expected : loaded)
    {
        EXPECT_NEAR(instance.controller->getParamNormalized(expected.id), expected.value, 1e-7)
            << expected.id;
        EXPECT_TRUE(WaitForKnobFrame(editor.Window(), strip, static_cast<int>(expected.id),
                                     strip.FrameFor(expected.value)))
            << expected.id;
    }
    std::remove(user.file.c_str());
}
