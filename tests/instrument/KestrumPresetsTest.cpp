// The instrument's preset actions against a library folder of the test's own: saving and
// loading through the buttons, what a file's content does to the parameters, stepping and
// the preset menu through the catalogue, and restored states that touch no file.

#include "instrument/Kestrum.h"

#include <filesystem>
#include <fstream>
#include <locale>

#include <gtest/gtest.h>

#include "instrument/PresetFile.h"
#include "instrument/PresetLibrary.h"
#include "tests/render/TestTempPath.h"
#include "tests/support/AllocationCounter.h"

namespace
{

namespace fs = std::filesystem;

constexpr int kSoundParams[] = {kMainVolume,      kNoiseAmpLevel,     kNoiseEnvAttack,    kNoiseEnvDecay,
                                kNoiseFilterTone, kStereoExpandOffOn, kTonalAmpLevel,     kTonalEnvAttack,
                                kTonalEnvDecay,   kTonalPitchAmt,     kTransistorDistLoad};

std::string Volume(const std::string& value) { return "<MainVolume>" + value + "</MainVolume>"; }

class KestrumPresetsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::remove_all(library);
        fs::create_directories(library + "Factory");
        fs::create_directories(library + "User");
        WriteFile(library + "Factory/WLCM - Beating Heart.kestrumpreset", Volume("0.11"));
        WriteFile(library + "Factory/ACST - Snare E.kestrumpreset", Volume("0.54"));
        plug.SetPresetLibraryFolder(library);
    }
    void TearDown() override { fs::remove_all(library); }

    double Param(int index) const { return plug.GetParam(index)->Value(); }
    // What the file selectors do after their dialog: set the file, toggle the value and
    // push it through the editor path.
    void PressLoad(Kestrum& target, const std::string& path)
    {
        target.Presets().SetLoadFile(path);
        target.SetParameterFromEditor(kPresetLoad, 1.0 - target.GetParam(kPresetLoad)->Value());
    }
    void PressSave(Kestrum& target, const std::string& path)
    {
        target.Presets().SetSaveFile(path);
        target.SetParameterFromEditor(kPresetSave, 1.0 - target.GetParam(kPresetSave)->Value());
    }
    // A choice in the preset menu.
    void Choose(double number)
    {
        plug.GetParam(kPresetSelector)->SetPlainValue(number);
        plug.OnParameterChange(kPresetSelector);
    }
    void Step(int param)
    {
        plug.SetParameterFromEditor(param, 1.0);
        plug.SetParameterFromEditor(param, 0.0);
    }

    const std::string library = TestTempPath("library/");
    Kestrum plug;
};

struct CommaNumpunct : std::numpunct<char>
{
    char do_decimal_point() const override { return ','; }
};

} // namespace

TEST_F(KestrumPresetsTest, SavedSoundLoadsBackIntoAnotherInstanceInADecimalCommaLocale)
{
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaNumpunct));
    const std::string path = library + "User/mine.kestrumpreset";
    for (int i = 0; i < 11; ++i)
        plug.GetParam(kSoundParams[i])->SetPlainValue(0.0312345678 + i * 0.0871);
    PressSave(plug, path);
    EXPECT_EQ(plug.Presets().Name(), "mine");

    Kestrum other;
    PressLoad(other, path);
    std::locale::global(previous);
    for (int index : kSoundParams)
    {
        EXPECT_NEAR(other.GetParam(index)->Value(), Param(index), 1e-6) << index;
        EXPECT_EQ(EngineParameterValue(&other.Engine(), index), other.GetParam(index)->Value());
    }
    EXPECT_EQ(other.Presets().Name(), "mine");
    std::ifstream file(path, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content.find(','), std::string::npos) << content;
    EXPECT_EQ(content.find('\n'), std::string::npos);
}

TEST_F(KestrumPresetsTest, FileContentDecidesWhatLoads)
{
    const std::string name48 = std::string(48, 'n');
    const struct
    {
        std::string file;
        std::string content;
        double volume; // MainVolume afterwards (0.8 is the default: nothing loaded)
        std::string shown;
    } cases[] = {
        {"half.kestrumpreset", Volume("0.5abc"), static_cast<double>(0.5f), "half"},
        {"two.kestrumpreset", Volume("2"), 1.0, "two"},
        {"neg.kestrumpreset", Volume("-0"), 0.0, "neg"},
        {"hex.kestrumpreset", Volume("0x1p3"), 1.0, "hex"},
        {"huge.kestrumpreset", Volume("1e999") + Volume("0.1"), 0.8, "huge"},
        {"nan.kestrumpreset", Volume("nan"), 0.8, "nan"},
        {"trailing.kestrumpreset", Volume("0.3") + "\n", 0.8, "< Presets Library >"},
        {"lines.kestrumpreset", Volume("0.3") + "\nx\n" + Volume("0.4"), static_cast<double>(0.4f), "lines"},
        {"empty.kestrumpreset", "", 0.8, "< Presets Library >"},
        {"no tags.kestrumpreset", "<Company>Quorvex Audio</Company>", 0.8, "no tags"},
        {"a.b.kestrumpreset", Volume("0.25"), 0.25, "a.b"},
        {name48 + ".kestrumpreset", Volume("0.25"), 0.25, std::string(35, 'n') + "..."},
    };
    for (const auto& c : cases)
    {
        Kestrum fresh;
        WriteFile(library + c.file, c.content);
        PressLoad(fresh, library + c.file);
        EXPECT_EQ(fresh.GetParam(kMainVolume)->Value(), c.volume) << c.file;
        EXPECT_EQ(fresh.Presets().Name(), c.shown) << c.file;
        for (int index = 0; index < Kestrum::kNumParams; ++index)
        {
            if (index == kMainVolume || index == kPresetLoad)
                continue;
            EXPECT_EQ(fresh.GetParam(index)->Value(), plug.GetParam(index)->Value())
                << c.file << " " << index;
        }
    }
}

TEST_F(KestrumPresetsTest, SteppingAndTheMenuFollowTheCatalogue)
{
    Step(kPresetBackward); // from 0 to -1: no entry
    EXPECT_EQ(plug.LastPresetNumber(), -1.0f);
    EXPECT_EQ(Param(kMainVolume), 0.8);
    Step(kPresetForward); // 0: no entry
    EXPECT_EQ(plug.LastPresetNumber(), 0.0f);
    EXPECT_EQ(plug.Presets().LoadFile(), library);
    EXPECT_EQ(Param(kMainVolume), 0.8);
    Step(kPresetForward); // 1: the welcome preset
    EXPECT_EQ(plug.LastPresetNumber(), 1.0f);
    EXPECT_EQ(Param(kMainVolume), static_cast<double>(0.11f));
    EXPECT_EQ(plug.Presets().Name(), "WLCM - Beating Heart");
    EXPECT_EQ(Param(kPresetSelector), 0.0);
    EXPECT_EQ(EngineParameterValue(&plug.Engine(), kPresetSelector), 0.0);

    Choose(54.4); // rounds to 54
    EXPECT_EQ(Param(kMainVolume), static_cast<double>(0.54f));
    EXPECT_EQ(plug.Presets().LoadFile(), library + "Factory/ACST - Snare E.kestrumpreset");
    EXPECT_EQ(plug.LastPresetNumber(), 54.4f);
    Choose(0); // "< Presets Library >"
    EXPECT_EQ(plug.LastPresetNumber(), 0.0f);
    EXPECT_EQ(Param(kMainVolume), static_cast<double>(0.54f));
    EXPECT_EQ(plug.Presets().Name(), "ACST - Snare E");

    // A fresh instrument starts from the platform's folder, written with forward slashes.
    const std::string platform = Kestrum().PresetLibraryFolder();
    EXPECT_EQ(platform, PresetLibrary::PresetLibraryFolder());
    ASSERT_GT(platform.size(), std::string(PresetLibrary::kSubFolder).size());
    EXPECT_EQ(platform.substr(platform.size() - std::string(PresetLibrary::kSubFolder).size()),
              PresetLibrary::kSubFolder);
    EXPECT_EQ(platform.find('\\'), std::string::npos) << platform;

    // Without a library folder nothing is looked up relative to the working folder.
    plug.SetPresetLibraryFolder("");
    Choose(1);
    EXPECT_EQ(plug.Presets().LoadFile(), "");
}

TEST_F(KestrumPresetsTest, RestoringAStateTouchesNoFileButEveryPressDoes)
{
    const std::string saveTarget = library + "User/target.kestrumpreset";
    const std::string loadSource = library + "User/source.kestrumpreset";
    WriteFile(saveTarget, "user's own file");
    WriteFile(loadSource, Volume("0.3"));
    PressLoad(plug, loadSource);
    PressSave(plug, saveTarget);
    WriteFile(saveTarget, "user's own file");
    WriteFile(loadSource, Volume("0.6")); // changed since it was loaded
    const float lastNumber = plug.LastPresetNumber();

    // A state whose preset parameters all hold "pressed" values.
    Kestrum source;
    source.GetParam(kMainVolume)->SetPlainValue(0.45);
    for (int index : {kPresetBackward, kPresetForward, kPresetLoad, kPresetSave})
        source.GetParam(index)->SetPlainValue(1.0);
    source.GetParam(kPresetSelector)->SetPlainValue(54.0);
    ChunkBuffer state;
    ASSERT_TRUE(source.SaveState(state));
    ASSERT_GT(plug.LoadState(state, 0), 0);
    // A host replaying the parameters (automation) is no press either.
    plug.RestoreParameterValue(kPresetSave, 0.0);
    plug.RestoreParameterValue(kPresetLoad, 0.0);

    {
        // Closed again before the presses below: Windows refuses to replace an open file.
        std::ifstream kept(saveTarget, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), std::istreambuf_iterator<char>()),
                  "user's own file");
    }
    EXPECT_EQ(Param(kMainVolume), 0.45);
    EXPECT_EQ(plug.LastPresetNumber(), lastNumber);
    EXPECT_EQ(plug.Presets().LoadFile(), loadSource);

    // Every press performs its file operation, whatever value the parameter had.
    for (int press = 0; press < 2; ++press)
    {
        plug.GetParam(kMainVolume)->SetPlainValue(0.2 + press * 0.1);
        PressSave(plug, saveTarget);
        Kestrum reader;
        PressLoad(reader, saveTarget);
        EXPECT_NEAR(reader.GetParam(kMainVolume)->Value(), 0.2 + press * 0.1, 1e-7) << press;
        PressLoad(plug, loadSource);
        EXPECT_EQ(Param(kMainVolume), static_cast<double>(0.6f)) << press;
    }
}

TEST_F(KestrumPresetsTest, APresetChosenByTheHostIsReadWithoutAllocating)
{
    // Host automation of the preset parameters runs this on the audio thread.
    ASSERT_TRUE(AllocationCounter::Install(reinterpret_cast<const void*>(&AllocationCounter::Begin)));
    AllocationCounter::Begin();
    Choose(54);
    const bool loaded = Param(kMainVolume) == static_cast<double>(0.54f);
    plug.SetParameterFromHost(kPresetBackward, 1.0, true);
    plug.SetParameterFromHost(kPresetBackward, 0.0, true);
    const long allocations = AllocationCounter::End();
    EXPECT_TRUE(loaded);
    EXPECT_EQ(plug.LastPresetNumber(), 53.0f);
    EXPECT_EQ(allocations, 0);
}
