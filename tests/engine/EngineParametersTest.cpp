// The parameter table, clamping, reset and the missing-buffer error.

#include "engine/SynthEngine.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace
{

class EngineParametersTest : public ::testing::Test
{
protected:
    void SetUp() override { engine = EngineCreate(44100.0); }
    void TearDown() override { EngineDestroy(engine); }
    double value(int32_t index) const { return EngineParameterValue(engine, index); }

    SynthEngine* engine = nullptr;
};

TEST_F(EngineParametersTest, TableHoldsNamesDefaultsAndRanges)
{
    ASSERT_EQ(EngineParameterCount(engine), 28);
    EXPECT_EQ(EngineSampleRate(engine), 44100.0);
    EXPECT_EQ(engine->vectorSize, 1024);
    EXPECT_STREQ(engine->outputNames[0], "audio_out_1");
    EXPECT_STREQ(engine->inputNames[1], "in2");

    const EngineParameterRecord* volume = EngineParameterRecordAt(engine, 3);
    ASSERT_NE(volume, nullptr);
    EXPECT_STREQ(volume->name, "MainVolume");
    EXPECT_STREQ(volume->units, "");
    EXPECT_EQ(volume->defaultValue, 0.8);
    EXPECT_EQ(volume->minimum, 0.0);
    EXPECT_EQ(volume->maximum, 1.0);
    EXPECT_EQ(EngineParameterRecordAt(engine, 13)->minimum, -1.0);
    EXPECT_EQ(EngineParameterRecordAt(engine, 13)->maximum, 10000.0);
    EXPECT_EQ(EngineParameterRecordAt(engine, 28), nullptr);
    EXPECT_EQ(EngineParameterRecordAt(engine, -1), nullptr);

    // The index order is the alphabetical order of the names, upper case first.
    for (int32_t i = 1; i < 28; ++i)
        EXPECT_LT(std::string(EngineParameterRecordAt(engine, i - 1)->name),
                  std::string(EngineParameterRecordAt(engine, i)->name));
    EXPECT_STREQ(EngineParameterRecordAt(engine, 0)->name, "HostBarStartPulse");
    EXPECT_STREQ(EngineParameterRecordAt(engine, 23)->name, "Voice00_NoteRetrig");
    EXPECT_STREQ(EngineParameterRecordAt(engine, 27)->name, "zInitParams");

    // Defaults are read back from the values right after the reset.
    for (int32_t i = 0; i < 28; ++i)
        EXPECT_EQ(EngineParameterRecordAt(engine, i)->defaultValue, value(i)) << i;
    EXPECT_EQ(EngineParameterRecordAt(engine, kVoice00_NoteVelocity)->defaultValue, 64.0);
    EXPECT_EQ(EngineParameterRecordAt(engine, kVoiceRetrigOffOn)->defaultValue, 1.0);
}

TEST_F(EngineParametersTest, ValuesAreClampedToTheirRanges)
{
    EngineSetParameter(engine, kHostTempoBpm, 2000.0);
    EXPECT_EQ(value(kHostTempoBpm), 1000.0);
    EngineSetParameter(engine, kPresetSelector, -5.0);
    EXPECT_EQ(value(kPresetSelector), -1.0);
    EngineSetParameter(engine, kVoice00_NoteNumber, 200.0);
    EXPECT_EQ(value(kVoice00_NoteNumber), 127.0);
    EngineSetParameter(engine, kTonalPitchAmt, 0.25);
    EXPECT_EQ(value(kTonalPitchAmt), 0.25);
    // Single-value ranges always hold their one value.
    EngineSetParameter(engine, kMidiChannelInput, 7.0);
    EXPECT_EQ(value(kMidiChannelInput), 1.0);
    EngineSetParameter(engine, kVoiceModeMonoPoly, 1.0);
    EXPECT_EQ(value(kVoiceModeMonoPoly), 0.0);
    EngineSetParameter(engine, kVoiceRetrigOffOn, 0.0);
    EXPECT_EQ(value(kVoiceRetrigOffOn), 1.0);
    EngineSetParameter(engine, kMainVolume, -INFINITY);
    EXPECT_EQ(value(kMainVolume), 0.0);
    // Not-a-number is refused instead of stored.
    EngineSetParameter(engine, kMainVolume, std::nan(""));
    EXPECT_EQ(value(kMainVolume), 0.0);
}

TEST_F(EngineParametersTest, OutOfRangeIndicesChangeNothing)
{
    std::vector<double> before(engine->parameterValues, engine->parameterValues + 28);
    EngineSetParameter(engine, 30, 1.0);
    EngineSetParameter(engine, -1, 1.0);
    EngineSetParameter(engine, 28, 1.0);
    EXPECT_EQ(std::vector<double>(engine->parameterValues, engine->parameterValues + 28), before);
    EXPECT_EQ(EngineParameterValue(engine, 28), 0.0);
}

TEST_F(EngineParametersTest, ResetRestoresDefaultsAndSilencesTheVoice)
{
    EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
    EngineSetParameter(engine, kTransistorDistLoad, 1.0);
    EngineSetParameter(engine, kStereoExpandOffOn, 1.0);
    EngineSetParameter(engine, kVoice00_NoteVelocity, 127.0);
    ASSERT_NE(firstNonZero(renderBlock(engine, 3000).right), -1);

    EngineReset(engine, 48000.0, 512);
    EXPECT_EQ(EngineSampleRate(engine), 48000.0);
    EXPECT_EQ(engine->reciprocalSampleRate, 1.0 / 48000.0);
    EXPECT_EQ(value(kVoice00_NoteGate), 0.0);
    EXPECT_EQ(value(kTransistorDistLoad), 0.0);
    EXPECT_EQ(value(kVoice00_NoteVelocity), 64.0);
    EXPECT_EQ(engine->voice.latchedVelocity, 0.0);
    EXPECT_EQ(EngineParameterRecordAt(engine, 1)->defaultValue, 120.0);
    const StereoBlock block = renderBlock(engine, 9000);
    EXPECT_EQ(block.result, kEngineOk);
    EXPECT_EQ(firstNonZero(block.left), -1);
    EXPECT_EQ(firstNonZero(block.right), -1);
}

TEST_F(EngineParametersTest, MissingBufferLatchesErrorUntilReset)
{
    std::vector<double> buffer(16, 0.0);
    std::vector<double> sentinel(16, 5.0);
    const double* inputs[2] = {buffer.data(), buffer.data()};
    double* outputs[2] = {sentinel.data(), nullptr};
    EXPECT_EQ(EnginePerform(engine, inputs, outputs, 16), kEngineErrorMissingBuffer);
    EXPECT_EQ(EnginePerform(engine, nullptr, outputs, 16), kEngineErrorMissingBuffer);

    // Complete buffers do not clear the error, and nothing is written.
    double* complete[2] = {sentinel.data(), sentinel.data()};
    EXPECT_EQ(EnginePerform(engine, inputs, complete, 16), kEngineErrorMissingBuffer);
    EXPECT_EQ(sentinel, std::vector<double>(16, 5.0));
    const double* missingInput[2] = {nullptr, buffer.data()};
    EngineReset(engine, 44100.0, 1024);
    EXPECT_EQ(EnginePerform(engine, inputs, complete, 16), kEngineOk);
    EXPECT_EQ(sentinel, std::vector<double>(16, 0.0));
    EXPECT_EQ(EnginePerform(engine, missingInput, complete, 16), kEngineErrorMissingBuffer);
}

} // namespace
