// Processing through the loaded module: notes become sound in the block that carries them,
// parameter changes apply once per block, and the calls hosts make outside regular blocks
// (parameter flushes, a process call before set-up) neither crash nor silence the
// instrument.

#include "tests/vst3/Vst3Instance.h"
#include "tests/vst3/host/HostProcessData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

constexpr ParamID kNoteNumber = 22;
constexpr ParamID kNoteVelocity = 24;
constexpr int32 kBlock = 256;

class Vst3Process : public ::testing::TestWithParam<int32>
{
protected:
    int32 SampleSize() const { return GetParam(); }
    double Plain(ParamID id)
    {
        return instance.controller->normalizedParamToPlain(id, instance.controller->getParamNormalized(id));
    }

    Vst3Instance instance;
    HostProcessData io{GetParam(), 1024};
};

// Every output sample was written and is silent.
void ExpectSilentBlock(const HostProcessData& io, int32 frames)
{
    for (int c = 0; c < 2; ++c)
        for (int32 f = 0; f < frames; ++f)
            ASSERT_EQ(io.Output(c, f), 0.0) << "channel " << c << " frame " << f;
}

} // namespace

TEST_P(Vst3Process, NoteOnSoundsInTheBlockThatCarriesIt)
{
    ASSERT_TRUE(instance.Start(SampleSize(), kBlock));
    for (int block = 0; block < 3; ++block)
    {
        ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
        ExpectSilentBlock(io, kBlock);
    }
    io.events.AddNoteOn(100, 60, 1.0f);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    io.events.Clear();
    EXPECT_GT(io.Peak(), 0.01);
    // The first sample leaves the delay lines one sample after the gate opens.
    EXPECT_EQ(io.Output(0, 0), 0.0);
    EXPECT_DOUBLE_EQ(Plain(kNoteNumber), 60.0);
    EXPECT_DOUBLE_EQ(Plain(kNoteVelocity), 127.0);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    EXPECT_GT(io.Peak(), 0.0);
}

TEST_P(Vst3Process, ParameterFlushesNeverSilenceTheInstrument)
{
    // A flush before any set-up, one after set-up, and one between blocks.
    io.changes.Add(kMainVolume, 0, 1.0);
    ASSERT_EQ(instance.processor->process(io.Flush()), kResultOk);
    ASSERT_TRUE(instance.Start(SampleSize(), kBlock));
    ASSERT_EQ(instance.processor->process(io.Flush()), kResultOk);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    io.changes.Clear();
    ASSERT_EQ(instance.processor->process(io.Flush()), kResultOk);
    EXPECT_DOUBLE_EQ(instance.controller->getParamNormalized(kMainVolume), 1.0);

    io.events.AddNoteOn(0, 64, 0.8f);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    EXPECT_GT(io.Peak(), 0.01);
}

TEST_P(Vst3Process, ProcessBeforeSetUpWritesSilenceAndLaterBlocksSound)
{
    io.events.AddNoteOn(0, 60, 1.0f);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    ExpectSilentBlock(io, kBlock);
    io.events.Clear();

    ASSERT_TRUE(instance.Start(SampleSize(), kBlock));
    io.events.AddNoteOn(0, 60, 1.0f);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    EXPECT_GT(io.Peak(), 0.01);
}

TEST_P(Vst3Process, OnlyTheLastPointOfAQueueApplies)
{
    ASSERT_TRUE(instance.Start(SampleSize(), kBlock));
    io.changes.Add(kMainVolume, 0, 0.9);
    io.changes.Add(kMainVolume, 10, 0.2);
    io.changes.Add(kMainVolume, 200, 0.0);
    io.events.AddNoteOn(0, 60, 1.0f);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    EXPECT_EQ(instance.controller->getParamNormalized(kMainVolume), 0.0);
    // At volume 0 from the first sample on, the note is inaudible.
    ExpectSilentBlock(io, kBlock);
}

TEST_P(Vst3Process, BlocksLongerThanAnnouncedAreRenderedWhole)
{
    ASSERT_TRUE(instance.Start(SampleSize(), 64));
    io.events.AddNoteOn(0, 60, 1.0f);
    ASSERT_EQ(instance.processor->process(io.Block(1000)), kResultOk);
    for (int c = 0; c < 2; ++c)
        for (int32 f = 0; f < 1000; ++f)
            ASSERT_NE(io.Output(c, f), HostProcessData::kUntouched) << "frame " << f;
    EXPECT_GT(io.Peak(), 0.01);
}

TEST_P(Vst3Process, NoteEventsBecomeMidiOnlyWhenMidiCanCarryThem)
{
    ASSERT_TRUE(instance.Start(SampleSize(), kBlock));
    io.events.AddNoteOn(0, 61, 0.5f);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    EXPECT_DOUBLE_EQ(Plain(kNoteVelocity), 63.0);
    EXPECT_DOUBLE_EQ(Plain(kNoteNumber), 61.0);

    // Pitches and channels a MIDI message cannot hold are dropped, not wrapped.
    io.events.Clear();
    io.events.AddNoteOn(0, 200, 1.0f);
    io.events.AddNoteOn(0, -5, 1.0f);
    io.events.AddNoteOn(0, 62, 1.0f, 17);
    io.events.AddNoteOn(0, 63, 3.0f);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    EXPECT_DOUBLE_EQ(Plain(kNoteNumber), 63.0);
    EXPECT_DOUBLE_EQ(Plain(kNoteVelocity), 127.0);
}

TEST_P(Vst3Process, ProgramChangeRestoresTheInitProgram)
{
    ASSERT_TRUE(instance.Start(SampleSize(), kBlock));
    io.changes.Add(kMainVolume, 0, 0.1);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    ASSERT_DOUBLE_EQ(instance.controller->getParamNormalized(kMainVolume), 0.1);

    io.changes.Clear();
    io.changes.Add(kPreset, 0, 0.0);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    EXPECT_DOUBLE_EQ(instance.controller->getParamNormalized(kMainVolume), 0.8);

    // A program number beyond the list is ignored.
    io.changes.Clear();
    io.changes.Add(kMainVolume, 0, 0.1);
    io.changes.Add(kPreset, 0, 1.0);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    EXPECT_DOUBLE_EQ(instance.controller->getParamNormalized(kMainVolume), 0.1);
}

TEST_P(Vst3Process, HostsMissingBusesOrChannelsAreSurvived)
{
    ASSERT_TRUE(instance.Start(SampleSize(), kBlock));
    io.events.AddNoteOn(0, 60, 1.0f);
    ProcessData& data = io.Block(kBlock);
    data.numInputs = 0;
    data.inputs = nullptr;
    ASSERT_EQ(instance.processor->process(data), kResultOk);
    EXPECT_GT(io.Peak(), 0.01);

    ProcessData& noOutputs = io.Block(kBlock);
    noOutputs.numOutputs = 0;
    noOutputs.outputs = nullptr;
    ASSERT_EQ(instance.processor->process(noOutputs), kResultOk);

    // Deactivated output bus: nothing is written, and reactivating it brings the sound back.
    ASSERT_EQ(instance.component->activateBus(kAudio, kOutput, 0, false), kResultOk);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    EXPECT_EQ(io.Output(0, 10), HostProcessData::kUntouched);
    ASSERT_EQ(instance.component->activateBus(kAudio, kOutput, 0, true), kResultOk);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    EXPECT_GT(io.Peak(), 0.0);
    EXPECT_LT(io.Peak(), HostProcessData::kUntouched);
}

TEST_P(Vst3Process, OddSetUpsNeitherCrashNorAllocateWithoutBound)
{
    ASSERT_TRUE(instance.Start(SampleSize(), kBlock));
    const int32 size = SampleSize();
    // An absurd block size must not turn into gigabytes of scratch memory; the blocks the host
    // then sends still sound.
    ProcessSetup huge{kRealtime, size, 0x7FFFFFFF, 44100.0};
    ASSERT_EQ(instance.processor->setupProcessing(huge), kResultOk);
    io.events.AddNoteOn(0, 60, 1.0f);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    EXPECT_GT(io.Peak(), 0.01);
    EXPECT_LT(io.Peak(), HostProcessData::kUntouched);

    for (int32 frames : {0, -5})
    {
        ProcessSetup none{kRealtime, size, frames, 44100.0};
        ASSERT_EQ(instance.processor->setupProcessing(none), kResultOk);
        ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
        EXPECT_LT(io.Peak(), HostProcessData::kUntouched);
    }
    for (double rate : {0.0, -48000.0, 1.0, 1e7, std::nan("")})
    {
        ProcessSetup odd{kRealtime, size, kBlock, rate};
        ASSERT_EQ(instance.processor->setupProcessing(odd), kResultOk);
        ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    }

    ProcessSetup normal{kRealtime, size, kBlock, 48000.0};
    ASSERT_EQ(instance.processor->setupProcessing(normal), kResultOk);
    io.events.Clear();
    io.events.AddNoteOn(0, 60, 1.0f);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    EXPECT_GT(io.Peak(), 0.01);
}

TEST_P(Vst3Process, UnusualBusBuffersAreSurvived)
{
    ASSERT_TRUE(instance.Start(SampleSize(), kBlock));
    const bool is64 = SampleSize() == kSample64;
    std::vector<float> f[3];
    std::vector<double> d[3];
    float* fp[3];
    double* dp[3];
    for (int c = 0; c < 3; ++c)
    {
        f[c].assign(kBlock, 9.0f);
        d[c].assign(kBlock, 9.0);
        fp[c] = f[c].data();
        dp[c] = d[c].data();
    }
    auto point = [&](AudioBusBuffers& bus, int32 channels, bool withPointers)
    {
        bus = AudioBusBuffers{};
        bus.numChannels = channels;
        bus.silenceFlags = ~0ull;
        if (!withPointers)
            return;
        if (is64)
            bus.channelBuffers64 = dp;
        else
            bus.channelBuffers32 = fp;
    };

    io.events.AddNoteOn(0, 60, 1.0f);
    ProcessData& data = io.Block(kBlock);
    AudioBusBuffers ins[1];
    AudioBusBuffers outs[2];
    data.inputs = ins;
    data.outputs = outs;
    // Buses without channel pointers, with fewer and with more channels than declared, and
    // more buses than declared; a null channel pointer among them.
    for (int32 channels : {0, 1, 3})
    {
        point(ins[0], channels, channels != 0);
        point(outs[0], channels, true);
        point(outs[1], 2, true);
        data.numOutputs = 2;
        ASSERT_EQ(instance.processor->process(data), kResultOk);
    }
    point(ins[0], 2, false);
    point(outs[0], 2, false);
    ASSERT_EQ(instance.processor->process(data), kResultOk);
    point(outs[0], 2, true);
    fp[1] = nullptr;
    dp[1] = nullptr;
    ASSERT_EQ(instance.processor->process(data), kResultOk);
    EXPECT_EQ(outs[0].silenceFlags, 0u);

    // A sample size the set-up never announced is not guessed at: nothing is written.
    fp[1] = f[1].data();
    dp[1] = d[1].data();
    f[0].assign(kBlock, 9.0f);
    d[0].assign(kBlock, 9.0);
    data.symbolicSampleSize = 7;
    ASSERT_EQ(instance.processor->process(data), kResultOk);
    EXPECT_EQ(is64 ? d[0][10] : f[0][10], 9.0);
    data.symbolicSampleSize = SampleSize();
}

TEST_P(Vst3Process, EventsAndChangesOfEveryKindAreSurvived)
{
    ASSERT_TRUE(instance.Start(SampleSize(), kBlock));
    Event e{};
    for (uint16 type :
         {Event::kNoteOnEvent, Event::kNoteOffEvent, Event::kDataEvent, Event::kPolyPressureEvent,
          Event::kNoteExpressionValueEvent, Event::kNoteExpressionTextEvent, Event::kChordEvent,
          Event::kScaleEvent, Event::kLegacyMIDICCOutEvent})
    {
        e = Event{};
        e.type = type;
        e.sampleOffset = type % 50;
        io.events.addEvent(e); // every union member zero: null texts and byte pointers
    }
    e = Event{};
    e.type = Event::kNoteOnEvent;
    e.noteOn.pitch = 64;
    e.noteOn.velocity = std::nan("");
    e.noteOn.noteId = -1;
    e.sampleOffset = -40;
    io.events.addEvent(e);
    io.events.AddNoteOn(0, 60, 1.0f, -1);
    io.events.AddNoteOn(100000, 61, 1.0f);
    io.events.AddNoteOn(20, 60, 1.0f);

    io.changes.Add(kMainVolume, 0, 0.8);
    int32 index = 0;
    io.changes.addParameterData(1000, index); // a queue without points
    io.changes.Add(0xFFFFFFFF, 0, 0.5);
    io.changes.Add(kPreset, 0, std::nan(""));
    // MidiChannelInput: a value far outside 0..1 must not push the channel out of reach.
    io.changes.Add(4, 0, -1e300);
    ASSERT_EQ(instance.processor->process(io.Block(kBlock)), kResultOk);
    EXPECT_GT(io.Peak(), 0.01);
    EXPECT_DOUBLE_EQ(Plain(kNoteNumber), 60.0);
    EXPECT_DOUBLE_EQ(Plain(kMainVolume), 0.8);
}

INSTANTIATE_TEST_SUITE_P(SampleSizes, Vst3Process, ::testing::Values(kSample32, kSample64),
                         [](const ::testing::TestParamInfo<int32>& info)
                         { return info.param == kSample32 ? "Float32" : "Float64"; });
