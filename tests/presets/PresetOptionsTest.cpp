// kestrum-render's preset options: taken out of the command line, the preset's values put
// before the scenario's own so that --set and "params" still win, and presets or folders
// that give nothing refused with the reason.

#include "tools/render/PresetOptions.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/render/TestTempPath.h"

TEST(PresetOptions, OptionsAreTakenOutAndOtherArgumentsKeptInOrder)
{
    const struct
    {
        std::vector<const char*> arguments;
        bool accepted;
        std::vector<std::string> rest;
        int number;
    } cases[] = {
        {{"--note", "38", "--preset-number", "44", "--library", "/lib", "out.wav"},
         true,
         {"--note", "38", "out.wav"},
         44},
        {{"--preset", "x.kestrumpreset", "out.wav"}, true, {"out.wav"}, 0},
        {{"--preset-number", "0", "out.wav"}, false, {}, 0},
        {{"--preset-number", "155", "out.wav"}, false, {}, 0},
        {{"--preset-number", "7x", "out.wav"}, false, {}, 0},
        {{"--preset-number", "1", "--preset", "x", "out.wav"}, false, {}, 0},
        {{"out.wav", "--preset"}, false, {}, 0},
    };
    for (const auto& c : cases)
    {
        std::vector<const char*> rest;
        PresetOption option;
        std::string error;
        const bool accepted = ExtractPresetOptions(static_cast<int>(c.arguments.size()), c.arguments.data(),
                                                   rest, option, error);
        EXPECT_EQ(accepted, c.accepted) << c.arguments[0] << " " << c.arguments[1];
        if (!accepted)
        {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(std::vector<std::string>(rest.begin(), rest.end()), c.rest);
        EXPECT_EQ(option.number, c.number);
    }
}

TEST(PresetOptions, PresetValuesComeFirstAndACatalogueNumberReadsFromTheLibrary)
{
    const std::string library = TestTempPath("library/");
    std::filesystem::create_directories(library + "Factory");
    std::ofstream(library + "Factory/ACST - Bongo A.kestrumpreset")
        << "<TonalPitchAmt>0.75</TonalPitchAmt><MainVolume>0.5</MainVolume><NoiseAmpLevel>x</NoiseAmpLevel>";

    RenderScenario scenario;
    scenario.params = {{"MainVolume", 0.9}};
    PresetOption option;
    option.number = 44;
    option.library = library.substr(0, library.size() - 1); // without the final "/"
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(ApplyPresetOption(option, scenario, warnings, error)) << error;
    const std::vector<std::pair<std::string, double>> expected = {
        {"MainVolume", 0.5}, {"TonalPitchAmt", 0.75}, {"MainVolume", 0.9}};
    EXPECT_EQ(scenario.params, expected);

    option.number = 45; // no file for it
    EXPECT_FALSE(ApplyPresetOption(option, scenario, warnings, error));
    EXPECT_NE(error.find("Bongo B"), std::string::npos) << error;
    std::filesystem::remove_all(library);
}

namespace
{

class PresetOptionsTest : public ::testing::Test
{
protected:
    bool Apply(std::vector<const char*> arguments)
    {
        error.clear();
        warnings.clear();
        scenario = RenderScenario();
        std::vector<const char*> rest;
        return ExtractPresetOptions(static_cast<int>(arguments.size()), arguments.data(), rest, option,
                                    error) &&
               ApplyPresetOption(option, scenario, warnings, error);
    }
    void TearDown() override { std::filesystem::remove_all(preset); }

    PresetOption option;
    RenderScenario scenario;
    std::vector<std::string> warnings;
    std::string error;
    std::string preset = TestTempPath("snare.kestrumpreset");
};

// Each of these once rendered the default sound and said nothing.
TEST_F(PresetOptionsTest, PresetsThatGiveNoValuesAreRefusedWithTheReason)
{
    WriteFile(preset, std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    EXPECT_FALSE(Apply({"--preset", preset.c_str()}));
    EXPECT_NE(error.find("no preset values"), std::string::npos) << error;

    WriteFile(preset, "<Company>Quorvex Audio</Company><Product>Kestrum</Product><Version>1.0.0</Version>");
    EXPECT_FALSE(Apply({"--preset", preset.c_str()}));
    EXPECT_NE(error.find("no preset values"), std::string::npos) << error;

    WriteFile(preset, "<MainVolume>0.5</MainVolume>\n");
    EXPECT_FALSE(Apply({"--preset", preset.c_str()}));
    EXPECT_NE(error.find("its last line is empty: the file ends with a line break"), std::string::npos)
        << error;

    WriteFile(preset, "");
    EXPECT_FALSE(Apply({"--preset", preset.c_str()}));
    EXPECT_NE(error.find("the file is empty"), std::string::npos) << error;

    EXPECT_FALSE(Apply({"--preset", (preset + ".missing").c_str()}));
    EXPECT_NE(error.find("does not exist"), std::string::npos) << error;

    WriteFile(preset, "<NoiseEnvDecay>0.25</NoiseEnvDecay>");
    ASSERT_TRUE(Apply({"--preset", preset.c_str()})) << error;
    ASSERT_EQ(scenario.params.size(), 1u);
    EXPECT_EQ(scenario.params[0].second, 0.25);
    EXPECT_TRUE(warnings.empty());
}

TEST_F(PresetOptionsTest, ADecimalCommaIsAWarningNamingTheTag)
{
    WriteFile(preset, "<MainVolume>0,5</MainVolume><TonalPitchAmt>0.3</TonalPitchAmt>");
    ASSERT_TRUE(Apply({"--preset", preset.c_str()})) << error;
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("<MainVolume>"), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[0].find("reads as 0"), std::string::npos) << warnings[0];
    ASSERT_EQ(scenario.params.size(), 2u);
    EXPECT_EQ(scenario.params[0].second, 0.0); // read as the file reader reads it everywhere
}

TEST_F(PresetOptionsTest, LibraryFoldersThatCannotServeAreRefused)
{
    EXPECT_FALSE(Apply({"--library", "."}));
    EXPECT_NE(error.find("--library applies only with --preset-number"), std::string::npos) << error;

    WriteFile(preset, "<MainVolume>0.5</MainVolume>");
    EXPECT_FALSE(Apply({"--preset-number", "2", "--library", preset.c_str()}));
    EXPECT_NE(error.find("is not a folder"), std::string::npos) << error;
    EXPECT_FALSE(Apply({"--preset-number", "2", "--library", (preset + ".missing").c_str()}));
    EXPECT_NE(error.find("does not exist"), std::string::npos) << error;

    std::filesystem::remove(preset);
    std::filesystem::create_directories(preset + "/Factory");
    WriteFile(preset + "/Factory/WLCM - Beating Heart.kestrumpreset", "<MainVolume>0.5</MainVolume>");
    ASSERT_TRUE(Apply({"--preset-number", "1", "--library", preset.c_str()})) << error;
    ASSERT_EQ(scenario.params.size(), 1u);
    EXPECT_EQ(scenario.params[0].first, "MainVolume");
}

} // namespace
