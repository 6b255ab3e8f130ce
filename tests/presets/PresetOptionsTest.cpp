// kestrum-render's preset options: taken out of the command line, and the preset's values put
// before the scenario's own so that --set and "params" still win.

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
        {{"--note", "38", "--preset-number", "44", "--library", "/lib", "out.wav"}, true, {"--note", "38", "out.wav"}, 44},
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
        const bool accepted =
            ExtractPresetOptions(static_cast<int>(c.arguments.size()), c.arguments.data(), rest, option, error);
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
    ASSERT_TRUE(ApplyPresetOption(option, scenario, error)) << error;
    const std::vector<std::pair<std::string, double>> expected = {
        {"MainVolume", 0.5}, {"TonalPitchAmt", 0.75}, {"MainVolume", 0.9}};
    EXPECT_EQ(scenario.params, expected);

    option.number = 45; // no file for it
    EXPECT_FALSE(ApplyPresetOption(option, scenario, error));
    EXPECT_NE(error.find("Bongo B"), std::string::npos) << error;
    std::filesystem::remove_all(library);
}
