#include "tools/render/RenderScenario.h"

#include <initializer_list>
#include <string>
#include <utility>

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
    EXPECT_LT(error.size(), 200u) << error.substr(0, 200);
    return error;
}

// Each scenario must be refused with a message that names the given field or fault.
void ExpectRefusedNaming(std::initializer_list<std::pair<std::string, const char*>> cases)
{
    for (const auto& c : cases)
        EXPECT_NE(ErrorOf(c.first).find(c.second), std::string::npos) << c.first.substr(0, 80);
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

    // A name given twice keeps its first place and takes its last value.
    const RenderScenario twice =
        Parsed(R"({"params": {"MainVolume": 1, "TonalPitchAmt": 0.3, "MainVolume": 2}})");
    ASSERT_EQ(twice.params.size(), 2u);
    EXPECT_EQ(twice.params[0].first, "MainVolume");
    EXPECT_EQ(twice.params[0].second, 2.0);
}

TEST(RenderScenario, BadInputIsNamedInOneLine)
{
    ExpectRefusedNaming({
        {R"({"block": 512,)", "malformed JSON"},
        {"[1, 2]", "object"},
        {R"({"sample_rate": 0})", "sample_rate"},
        {R"({"sample_rate": -44100})", "sample_rate"},
        {R"({"sample_rate": "44100"})", "sample_rate"},
        {R"({"block": 0})", "block"},
        {R"({"block": 2.5})", "block"},
        {R"({"frames": 0})", "frames"},
        {R"({"frames": -10})", "frames"},
        {R"({"tempo": null})", "tempo"},
        {R"({"params": {"MainVolume": "loud"}})", "MainVolume"},
        {R"({"params": [1]})", "params"},
        {R"({"events": {}})", "events"},
        {R"({"events": [7]})", "events[0]"},
    });
}

// Files built to exhaust the stack or memory, or to flood the terminal, are refused in
// one short line (ErrorOf checks the length of every refusal).
TEST(RenderScenario, HostileFilesAreRefusedInOneShortLine)
{
    const std::string deep = R"({"sample_rate": )" + std::string(70000, '[') + std::string(70000, ']') + "}";
    const std::string oversized =
        R"({"frames": 100, "comment": ")" + std::string(RenderScenario::kMaxScenarioBytes, 'x') + "\"}";
    std::string manyKeys = R"({"params": {"p0": 0)";
    for (int i = 1; i <= 256; ++i)
        manyKeys += ", \"p" + std::to_string(i) + "\": 0";
    manyKeys += "}}";
    const std::string longValue = R"({"block": ")" + std::string(1 << 20, 'a') + "\"}";
    const std::string unterminated = std::string("{\"block\": \"a\n") + std::string(1 << 20, 'b');
    ExpectRefusedNaming({
        {deep, "nested"},
        {oversized, "at most"},
        {manyKeys, "256"},
        {longValue, "block must be an integer, not \"aaaa"},
        {unterminated, "malformed JSON"},
        {R"({"params": {"Main\nVolume": "x"}})", "Main\\x0AVolume"},
        {R"({"frames": 100, "params": {"TonalPitchAmt\u0000garbage": 0.5}})", "NUL"},
        {R"({"sample_rate": 1e-300})", "sample_rate"},
        {R"({"sample_rate": 0.4, "frames": 100})", "sample_rate"},
    });
    // 2^63 passes a comparison with INT64_MAX as doubles but cannot be converted.
    EXPECT_EQ(ErrorOf(R"({"frames": 9223372036854775808.0})"),
              "frames is out of range (1 to 9223372036854775807)");
}

TEST(RenderScenario, EventBytesMustBeIntegersFrom0To255AndFramesNotNegative)
{
    ExpectRefusedNaming({
        {R"({"events": [{"frame": 0, "status": 256}]})", "status"},
        {R"({"events": [{"frame": 0, "status": -1}]})", "status"},
        {R"({"events": [{"frame": 0}]})", "status"},
        {R"({"events": [{"status": 144, "d1": 300}]})", "d1"},
        {R"({"events": [{"status": 144, "d2": 1.5}]})", "d2"},
        {R"({"events": [{"status": 144, "d2": true}]})", "d2"},
        {R"({"events": [{"status": 144}, {"frame": -1, "status": 144}]})", "events[1].frame"},
        {R"({"events": [{"status": 144, "d1": 18446744073709551615}]})", "d1"},
    });

    // Status bytes below 0x80 are passed on; the instrument ignores them.
    EXPECT_EQ(Parsed(R"({"events": [{"status": 0, "d1": 255, "d2": 255}]})").events[0].data1, 255);
}

} // namespace
