#include "instrument/Kestrum.h"

#include <cmath>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "engine/NoiseGenerator.h"

namespace
{

constexpr int kBlockFrames = 256;

// An editor that only remembers what was pushed into its controls.
class RecordingEditor : public EditorLink
{
public:
    void PushValueToControls(int paramIndex, double value, bool normalized) override
    {
        pushes.emplace_back(paramIndex, value, normalized);
    }
    void PrepareDrawing() override {}

    std::vector<std::tuple<int, double, bool>> pushes;
};

MidiMessage Midi(uint8_t status, uint8_t data1, uint8_t data2, int32_t offset = 0)
{
    MidiMessage message;
    message.sampleOffset = offset;
    message.status = status;
    message.data1 = data1;
    message.data2 = data2;
    return message;
}

MidiMessage NoteOn(int note, int velocity = 100, int32_t offset = 0)
{
    return Midi(0x90, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity), offset);
}
MidiMessage NoteOff(int note, int32_t offset = 0)
{
    return Midi(0x80, static_cast<uint8_t>(note), 64, offset);
}
MidiMessage Controller(int number, int value)
{
    return Midi(0xB0, static_cast<uint8_t>(number), static_cast<uint8_t>(value));
}

class KestrumTest : public ::testing::Test
{
protected:
    void SetUp() override { plug.SetUpProcessing(44100.0, kBlockFrames); }

    // Hands the messages over as a host does and renders one block.
    void Block(std::vector<MidiMessage> messages = {}, int frames = kBlockFrames)
    {
        double* inputs[2] = {silence[0].data(), silence[1].data()};
        double* outputs[2] = {left.data(), right.data()};
        plug.ProcessDoubleBlock(messages.data(), static_cast<int>(messages.size()), inputs, outputs, frames);
    }

    double Param(int index) const { return plug.GetParam(index)->Value(); }
    double EngineValue(int index) const { return EngineParameterValue(&plug.Engine(), index); }
    double Gate() const { return EngineValue(kVoice00_NoteGate); }
    double PeakOfLastBlock() const
    {
        double peak = 0.0;
        for (int i = 0; i < kBlockFrames; ++i)
            peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
        return peak;
    }

    Kestrum plug;
    std::vector<double> silence[2] = {std::vector<double>(kBlockFrames), std::vector<double>(kBlockFrames)};
    std::vector<double> left = std::vector<double>(kBlockFrames);
    std::vector<double> right = std::vector<double>(kBlockFrames);
};

TEST_F(KestrumTest, ParametersMirrorTheEngineTable)
{
    ASSERT_EQ(plug.NumParams(), 28);
    for (int i = 0; i < 28; ++i)
    {
        const EngineParameterRecord* record = EngineParameterRecordAt(&plug.Engine(), i);
        const PluginParameter* param = plug.GetParam(i);
        EXPECT_STREQ(param->Name(), record->name);
        EXPECT_STREQ(param->Label(), record->units);
        EXPECT_EQ(param->DefaultValue(), record->defaultValue) << record->name;
        EXPECT_EQ(param->Min(), record->minimum) << record->name;
        EXPECT_EQ(param->Step(), 0.00001);
        EXPECT_EQ(param->DisplayPrecision(), 5u);
        EXPECT_EQ(param->Type(), ParameterType::DoubleType);
    }
    // A range is never shorter than one step, so the single-value engine parameters get one.
    EXPECT_EQ(plug.GetParam(kMidiChannelInput)->Max(), 1.0 + 0.00001);
    EXPECT_EQ(plug.GetParam(kVoiceModeMonoPoly)->Max(), 0.00001);
    EXPECT_EQ(plug.GetParam(kVoiceRetrigOffOn)->Max(), 1.0 + 0.00001);
    EXPECT_EQ(plug.GetParam(kMainVolume)->Max(), 1.0);
    EXPECT_EQ(plug.GetParam(kPresetSelector)->Max(), 10000.0);
}

TEST_F(KestrumTest, OneBuiltInProgramNamedInitHoldsTheDefaults)
{
    Kestrum fresh;
    ASSERT_EQ(fresh.NumPresets(), 1);
    EXPECT_STREQ(fresh.PresetNameAt(0), "Init");
    const Preset* slot = fresh.GetPresetSlot(0);
    ASSERT_TRUE(slot->initialized);
    ASSERT_EQ(slot->state.Size(), 28 * 8);
    for (int i = 0; i < 28; ++i)
    {
        double stored = -1.0;
        slot->state.GetDouble(stored, 8 * i);
        EXPECT_EQ(stored, fresh.GetParam(i)->DefaultValue()) << i;
    }
}

TEST_F(KestrumTest, NoteOnOpensTheGateAndNoteOffClosesIt)
{
    Block({NoteOn(60, 90)});
    EXPECT_EQ(Gate(), 1.0);
    EXPECT_EQ(Param(kVoice00_NoteGate), 1.0);
    EXPECT_EQ(EngineValue(kVoice00_NoteNumber), 60.0);
    EXPECT_EQ(EngineValue(kVoice00_NoteVelocity), 90.0);
    EXPECT_EQ(Param(kVoice00_NoteVelocity), 90.0);
    EXPECT_EQ(plug.RetriggerToken(), 0.01f);
    EXPECT_EQ(EngineValue(kVoice00_NoteRetrig), static_cast<double>(0.01f));

    Block({NoteOff(60)});
    EXPECT_EQ(Gate(), 0.0);
    EXPECT_EQ(Param(kVoice00_NoteGate), 0.0);
    EXPECT_EQ(plug.NoteStackTop(), 0);
}

TEST_F(KestrumTest, OtherChannelsAndZeroVelocity)
{
    Block({Midi(0x91, 60, 100)}); // channel 2
    EXPECT_EQ(Gate(), 0.0);
    EXPECT_FALSE(plug.IsNoteHeld(60));

    Block({NoteOn(60)});
    Block({NoteOn(60, 0)}); // a note-on with velocity 0 releases the key
    EXPECT_EQ(Gate(), 0.0);
    EXPECT_FALSE(plug.IsNoteHeld(60));
}

TEST_F(KestrumTest, ReleasingTheNewestKeyReturnsToThePreviousOneWithFreshEnvelopes)
{
    Block({NoteOn(60, 80)});
    Block({NoteOn(64, 120)});
    EXPECT_EQ(EngineValue(kVoice00_NoteNumber), 64.0);
    EXPECT_EQ(plug.RetriggerToken(), 0.01f + 0.01f);

    Block({NoteOff(64)});
    EXPECT_EQ(EngineValue(kVoice00_NoteNumber), 60.0);
    EXPECT_EQ(Param(kVoice00_NoteNumber), 60.0);
    EXPECT_EQ(EngineValue(kVoice00_NoteVelocity), 80.0);
    EXPECT_EQ(Gate(), 1.0);
    EXPECT_EQ(plug.RetriggerToken(), 0.01f + 0.01f + 0.01f);
    EXPECT_EQ(plug.NoteStackTop(), 1);
}

TEST_F(KestrumTest, ReleasingAnOlderKeyChangesNothingAudible)
{
    Block({NoteOn(60), NoteOn(64, 110)});
    const float token = plug.RetriggerToken();
    Block({NoteOff(60)});
    EXPECT_EQ(EngineValue(kVoice00_NoteNumber), 64.0);
    EXPECT_EQ(EngineValue(kVoice00_NoteVelocity), 110.0);
    EXPECT_EQ(Gate(), 1.0);
    EXPECT_EQ(plug.RetriggerToken(), token);
    EXPECT_EQ(plug.NoteStackEntry(1), 64);
}

TEST_F(KestrumTest, StackTopStopsAtOneHundredAndTheLastEntryIsOverwritten)
{
    std::vector<MidiMessage> notes;
    for (int note = 0; note < 101; ++note)
        notes.push_back(NoteOn(note + 10 > 127 ? note : note + 10));
    Block(notes);
    EXPECT_EQ(plug.NoteStackTop(), 100);
    EXPECT_EQ(plug.NoteStackEntry(99), 108);
    EXPECT_EQ(plug.NoteStackEntry(100), 110); // the 101st key took the 100th key's entry
}

TEST_F(KestrumTest, RetriggerTokenRunsThroughOneHundredSinglePrecisionValues)
{
    std::set<float> seen;
    float expected = 0.0f;
    for (int step = 1; step <= 99; ++step)
    {
        Block({NoteOn(60)});
        expected = expected + 0.01f;
        EXPECT_EQ(plug.RetriggerToken(), expected) << step;
        seen.insert(plug.RetriggerToken());
    }
    EXPECT_GT(plug.RetriggerToken(), 0.9899f);
    EXPECT_LE(plug.RetriggerToken(), 0.99f);
    Block({NoteOn(60)});
    EXPECT_EQ(plug.RetriggerToken(), 0.0f);
    EXPECT_EQ(seen.size(), 99u);
}

TEST_F(KestrumTest, SustainPedalHoldsTheGateUntilLiftedWithNoKeyDown)
{
    Block({Controller(64, 127), NoteOn(60), NoteOff(60)});
    EXPECT_EQ(Gate(), 1.0);
    Block({Controller(64, 100)}); // half-way values change nothing
    EXPECT_EQ(plug.Sustain(), 127);
    EXPECT_EQ(Gate(), 1.0);
    Block({Controller(64, 0)});
    EXPECT_EQ(plug.Sustain(), 0);
    EXPECT_EQ(Gate(), 0.0);
    EXPECT_EQ(Param(kVoice00_NoteGate), 0.0);

    // Lifting the pedal while a key is down leaves that key sounding.
    Block({Controller(64, 127), NoteOn(62), Controller(64, 0)});
    EXPECT_EQ(Gate(), 1.0);
}

TEST_F(KestrumTest, SoundControllersMoveParameterEngineAndEditor)
{
    auto editor = std::make_unique<RecordingEditor>();
    RecordingEditor* pushed = editor.get();
    plug.AttachEditor(std::move(editor));
    pushed->pushes.clear();

    Block({Controller(7, 127)});
    EXPECT_EQ(Param(kMainVolume), 1.0);
    EXPECT_EQ(EngineValue(kMainVolume), 1.0);
    ASSERT_EQ(pushed->pushes.size(), 1u);
    EXPECT_EQ(pushed->pushes[0], std::make_tuple(static_cast<int>(kMainVolume), 1.0, true));

    Block({Controller(7, 0), Controller(10, 64), Controller(15, 127)});
    EXPECT_EQ(Param(kMainVolume), 0.0);
    EXPECT_EQ(EngineValue(kMainVolume), 0.0);
    EXPECT_EQ(Param(kTonalPitchAmt), 64 / 127.0);
    EXPECT_EQ(EngineValue(kTonalPitchAmt), 64 / 127.0);
    EXPECT_EQ(Param(kNoiseFilterTone), 1.0);

    pushed->pushes.clear();
    Block({Controller(4, 100), Controller(16, 100)}); // unlisted controllers
    EXPECT_TRUE(pushed->pushes.empty());
}

TEST_F(KestrumTest, AllNotesOffForgetsHeldKeys)
{
    Block({NoteOn(60), NoteOn(64), Controller(64, 127)});
    Block({Controller(123, 0)});
    EXPECT_EQ(Gate(), 0.0);
    EXPECT_EQ(plug.Sustain(), 0);
    EXPECT_EQ(plug.NoteStackTop(), 0);
    EXPECT_EQ(plug.RetriggerToken(), 0.0f);
    Block({NoteOff(60)});
    EXPECT_EQ(Gate(), 0.0);
    EXPECT_EQ(EngineValue(kVoice00_NoteNumber), 60.0);
}

TEST_F(KestrumTest, NotesAboveTheMidiRangeAreIgnored)
{
    Block({NoteOn(200), NoteOff(255), Midi(0x90, 128, 0)});
    EXPECT_EQ(Gate(), 0.0);
    EXPECT_EQ(plug.NoteStackTop(), 0);
}

TEST_F(KestrumTest, MonoPolyAutomatedToItsMaximumIgnoresNotesButNotControllers)
{
    plug.GetParam(kVoiceModeMonoPoly)->SetFromNormalized(1.0);
    plug.OnParameterChange(kVoiceModeMonoPoly);
    ASSERT_EQ(Param(kVoiceModeMonoPoly), 0.00001);
    EXPECT_EQ(EngineValue(kVoiceModeMonoPoly), 0.0); // the engine keeps its single value

    Block({NoteOn(60), Controller(7, 127)});
    EXPECT_EQ(Gate(), 0.0);
    EXPECT_FALSE(plug.IsNoteHeld(60));
    EXPECT_EQ(Param(kMainVolume), 1.0);
}

TEST_F(KestrumTest, TempoReachesTheEngineEveryBlockClampedToItsRange)
{
    plug.SetHostTempo(2000.0);
    Block();
    EXPECT_EQ(Param(kHostTempoBpm), 1000.0);
    EXPECT_EQ(EngineValue(kHostTempoBpm), 1000.0);
    plug.SetHostTempo(87.5);
    Block();
    EXPECT_EQ(Param(kHostTempoBpm), 87.5);
    EXPECT_EQ(EngineValue(kHostTempoBpm), 87.5);
}

TEST_F(KestrumTest, MessagesBeyondTheBlockWaitForTheirBlock)
{
    Block({NoteOn(60, 100, kBlockFrames + 10)});
    EXPECT_EQ(Gate(), 0.0);
    Block();
    EXPECT_EQ(Gate(), 1.0);
}

TEST_F(KestrumTest, ANoteStartedAndEndedInOneBlockStaysSilentWhileAHeldNoteSounds)
{
    Block({NoteOn(60, 127, 0), NoteOff(60, 100)});
    EXPECT_EQ(PeakOfLastBlock(), 0.0);
    Block();
    EXPECT_EQ(PeakOfLastBlock(), 0.0);

    Block({NoteOn(60, 127, 0)});
    double peak = PeakOfLastBlock();
    for (int i = 0; i < 8; ++i)
    {
        Block();
        peak = std::max(peak, PeakOfLastBlock());
    }
    EXPECT_GT(peak, 0.1);
}

TEST_F(KestrumTest, ResetProcessingResendsValuesAndForgetsNotesAndPresetChoice)
{
    plug.GetParam(kTonalPitchAmt)->SetPlainValue(0.75);
    plug.GetParam(kPresetSelector)->SetPlainValue(12.0);
    Block({NoteOn(60), Controller(64, 127)});
    plug.SetUpProcessing(48000.0, 64);
    EXPECT_EQ(EngineSampleRate(&plug.Engine()), 48000.0);
    EXPECT_EQ(EngineValue(kTonalPitchAmt), 0.75);
    EXPECT_EQ(Param(kPresetSelector), 0.0);
    EXPECT_EQ(EngineValue(kPresetSelector), 0.0);
    EXPECT_EQ(Gate(), 0.0);
    EXPECT_EQ(plug.NoteStackTop(), 0);
    EXPECT_EQ(plug.Sustain(), 0);
}

} // namespace
