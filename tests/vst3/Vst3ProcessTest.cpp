// Processing through the loaded module: notes become sound in the block that carries them,
// parameter changes apply once per block, and the calls hosts make outside regular blocks
// (parameter flushes, a process call before set-up) neither crash nor silence the
// instrument.

#include "tests/vst3/Vst3Instance.h"
#include "tests/vst3/host/HostProcessData.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr ParamID kPreset = 0x70727374;
constexpr ParamID kMainVolume = 3;
constexpr ParamID kNoteNumber = 22;
constexpr ParamID kNoteVelocity = 24;
constexpr int32 kBlock = 256;

class Vst3Process : public ::testing::TestWithParam<int32>
{
protected:
  int32 SampleSize() const { return GetParam(); }
  double Plain(ParamID id) { return instance.controller->normalizedParamToPlain(id, instance.controller->getParamNormalized(id)); }

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

INSTANTIATE_TEST_SUITE_P(SampleSizes, Vst3Process, ::testing::Values(kSample32, kSample64),
                         [](const ::testing::TestParamInfo<int32>& info) {
                           return info.param == kSample32 ? "Float32" : "Float64";
                         });
