// Engines of several instances render on different threads at once and share the noise
// generator; run under ThreadSanitizer this proves the sharing is free of data races.

#include "engine/NoiseGenerator.h"
#include "engine/SynthEngine.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

namespace
{

bool renderHits(double sampleRate, double tone)
{
    SynthEngine* engine = EngineCreate(sampleRate);
    EngineSetParameter(engine, kNoiseFilterTone, tone);
    EngineSetParameter(engine, kTransistorDistLoad, 0.5);
    bool sane = true;
    for (int hit = 0; hit < 40; ++hit)
    {
        EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
        EngineSetParameter(engine, kVoice00_NoteRetrig, hit % 2);
        for (int block = 0; block < 20; ++block)
        {
            const StereoBlock out = renderBlock(engine, 128);
            for (int i = 0; i < 128; ++i)
                sane = sane && std::fabs(out.left[i]) <= 1.2 && std::fabs(out.right[i]) <= 1.2;
        }
        EngineSetParameter(engine, kVoice00_NoteGate, 0.0);
        renderBlock(engine, 64);
    }
    EngineDestroy(engine);
    return sane;
}

TEST(NoiseConcurrencyTest, TwoEnginesRenderAtOnce)
{
    bool firstSane = false;
    bool secondSane = false;
    std::thread first([&] { firstSane = renderHits(44100.0, 0.2); });
    std::thread second([&] { secondSane = renderHits(48000.0, 0.9); });
    first.join();
    second.join();
    EXPECT_TRUE(firstSane);
    EXPECT_TRUE(secondSane);
}

TEST(NoiseConcurrencyTest, SingleEngineSequenceIsTheLinearCongruence)
{
    NoiseGenerator::setState(2u);
    uint32_t expected = 2u;
    for (int i = 0; i < 1000; ++i)
    {
        const double value = NoiseGenerator::nextSample();
        expected = expected * 1664525u + 1013904223u;
        ASSERT_EQ(NoiseGenerator::currentState(), expected);
        ASSERT_GE(value, -1.0);
        ASSERT_LT(value, 1.0);
    }
}

// The sample loop draws its noise a run at a time; the values and the state it leaves
// must be those of one draw per sample.
TEST(NoiseConcurrencyTest, RunsGiveTheSampleBySampleSequence)
{
    NoiseGenerator::setState(12345u);
    std::vector<double> expected(300);
    for (double& value : expected)
        value = NoiseGenerator::nextSample();
    const uint32_t endState = NoiseGenerator::currentState();

    NoiseGenerator::setState(12345u);
    std::vector<double> runs(300);
    NoiseGenerator::fill(runs.data(), 0);
    NoiseGenerator::fill(runs.data(), 128);
    NoiseGenerator::fill(runs.data() + 128, 172);
    EXPECT_EQ(runs, expected);
    EXPECT_EQ(NoiseGenerator::currentState(), endState);
}

} // namespace
