#include "tools/render/RenderScenario.h"

#include <gtest/gtest.h>

namespace
{

RenderScenario Parsed(const std::string& json)
{
    RenderScenario scenario;
    std::string error;
    EXPECT_TRUE(ParseRenderScenario(json, scenario, error)) << error;
    return scenario;
}

std::string ErrorOf(const std::string& json)
{
    RenderScenario scenario;
    std::string error;
    EXPECT_FALSE(ParseRenderScenario(json, scenario, error)) << json;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    return error;
}

TEST(RenderScenario, MissingKeysTakeTheirDefaults)
{
    const RenderScenario scenario = Parsed("{}");
    EXPECT_EQ(scenario.sampleRate, 44100.0);
    EXPECT_EQ(scenario.blockFrames, 512);
    EXPECT_EQ(scenario.frames, 88200);
    EXPECT_EQ(scenario.tempoBpm, 120.0);
    EXPECT_TRUE(scenario.params.empty());
    EXPECT_TRUE(scenario.events.empty());

    EXPECT_EQ(Parsed(R"({"sample_rate": 48000})").frames, 96000); // two seconds at the given rate
}

TEST(RenderScenario, ReadsEveryFieldKeepingFileOrder)
{
    const RenderScenario scenario = Parsed(R"({
        "sample_rate": 96000, "block": 64, "frames": 1000, "tempo": 87.5,
        "params": {"TonalPitchAmt": 0.3, "MainVolume": 1, "NoiseEnvDecay": 0.25},
        "events": [{"frame": 700, "status": 144, "d1": 60, "d2": 100},
                   {"frame": 3, "status": 176, "d1": 7, "d2": 127.0},
                   {"status": 128, "d1": 60}],
        "comment": "unknown keys are ignored"})");
    EXPECT_EQ(scenario.sampleRate, 96000.0);
    EXPECT_EQ(scenario.blockFrames, 64);
    EXPECT_EQ(scenario.frames, 1000);
    EXPECT_EQ(scenario.tempoBpm, 87.5);
    ASSERT_EQ(scenario.params.size(), 3u);
    EXPECT_EQ(scenario.params[0].first, "TonalPitchAmt");
    EXPECT_EQ(scenario.params[1].first, "MainVolume");
    EXPECT_EQ(scenario.params[1].second, 1.0);
    EXPECT_EQ(scenario.params[2].first, "NoiseEnvDecay");
    ASSERT_EQ(scenario.events.size(), 3u);
    EXPECT_EQ(scenario.events[0].frame, 700);
    EXPECT_EQ(scenario.events[1].status, 176);
    EXPECT_EQ(scenario.events[1].data2, 127);
    EXPECT_EQ(scenario.events[2].frame, 0);
    EXPECT_EQ(scenario.events[2].data2, 0);
}

TEST(RenderScenario, BadInputIsNamedInOneLine)
{
    EXPECT_NE(ErrorOf(R"({"block": 512,)").find("malformed JSON"), std::string::npos);
    EXPECT_NE(ErrorOf("[1, 2]").find("object"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"sample_rate": 0})").find("sample_rate"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"sample_rate": -44100})").find("sample_rate"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"sample_rate": "44100"})").find("sample_rate"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"block": 0})").find("block"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"block": 2.5})").find("block"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"frames": 0})").find("frames"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"frames": -10})").find("frames"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"tempo": null})").find("tempo"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"params": {"MainVolume": "loud"}})").find("MainVolume"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"params": [1]})").find("params"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"events": {}})").find("events"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"events": [7]})").find("events[0]"), std::string::npos);
}

TEST(RenderScenario, EventBytesMustBeIntegersFrom0To255AndFramesNotNegative)
{
    EXPECT_NE(ErrorOf(R"({"events": [{"frame": 0, "status": 256}]})").find("status"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"events": [{"frame": 0, "status": -1}]})").find("status"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"events": [{"frame": 0}]})").find("status"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"events": [{"status": 144, "d1": 300}]})").find("d1"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"events": [{"status": 144, "d2": 1.5}]})").find("d2"), std::string::npos);
    EXPECT_NE(ErrorOf(R"({"events": [{"status": 144, "d2": true}]})").find("d2"), std::string::npos);
    EXPECT_NE(
        ErrorOf(R"({"events": [{"status": 144}, {"frame": -1, "status": 144}]})").find("events[1].frame"),
        std::string::npos);
    EXPECT_NE(ErrorOf(R"({"events": [{"status": 144, "d1": 18446744073709551615}]})").find("d1"),
              std::string::npos);

    // Status bytes below 0x80 are passed on; the instrument ignores them.
    EXPECT_EQ(Parsed(R"({"events": [{"status": 0, "d1": 255, "d2": 255}]})").events[0].data1, 255);
}

} // namespace
