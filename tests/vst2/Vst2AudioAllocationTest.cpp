// The audio thread allocates nothing: a host automates every parameter, the preset ones
// included, along with notes, while the test counts heap allocations on the processing thread.
// Also the voice after a restore: a state reads back byte for byte after playing, and a note
// right after restoring over a held key sounds a full hit.

#include "tests/support/AllocationCounter.h"
#include "tests/support/AutomationRounds.h"
#include "tests/vst2/host/ScriptedHost.h"
#include "tests/vst2/host/Vst2Module.h"

#include <gtest/gtest.h>

namespace
{
constexpr int kBlock = 256;
} // namespace

TEST(Vst2AudioAllocation, AutomatingEveryParameterAllocatesNothingOnTheAudioThread)
{
    ASSERT_TRUE(TheVst2Module().Loaded()) << TheVst2Module().Error();
    ASSERT_TRUE(AllocationCounter::Install(TheVst2Module().Symbol("VSTPluginMain")));
    ScriptedHost host;
    host.calls.reserve(100000); // the host's record of callbacks must not allocate either
    Vst2Instance plugin(host);
    plugin.Start(44100.0f, kBlock);
    // The counter sees the module's allocations: the first chunk a host asks for is made.
    AllocationCounter::Begin();
    plugin.Chunk(false);
    ASSERT_GT(AllocationCounter::End(), 0);

    const std::vector<std::vector<AutomatedValue>> rounds = AutomationRounds();
    for (size_t r = 0; r < rounds.size(); ++r)
    {
        AllocationCounter::Begin();
        for (const AutomatedValue& change : rounds[r])
            plugin.SetParam(change.index, static_cast<float>(change.normalized));
        plugin.SendMidi(0, 0x90, 38, 127);
        plugin.SendMidi(200, 0x80, 38, 0);
        plugin.ProcessFloat(kBlock, false, true);
        const long allocations = AllocationCounter::End();
        EXPECT_EQ(allocations, 0) << "round " << r << " (first parameter " << rounds[r].front().index << ")";
    }
}

TEST(Vst2RestoreVoice, AStateReadsBackByteForByteAfterPlaying)
{
    ScriptedHost host;
    Vst2Instance plugin(host);
    plugin.Start(44100.0f, kBlock);
    plugin.SendMidi(0, 0x90, 38, 110);
    plugin.SendMidi(100, 0x80, 38, 0);
    plugin.ProcessFloat(kBlock);
    for (const bool singleProgram : {true, false})
    {
        const std::vector<uint8_t> saved = plugin.Chunk(singleProgram);
        ASSERT_EQ(plugin.SetChunk(singleProgram, saved), 1);
        EXPECT_EQ(plugin.Chunk(singleProgram), saved) << singleProgram;
    }
}

TEST(Vst2RestoreVoice, ANoteOnRightAfterAHeldKeyRestoreSoundsAFullHit)
{
    ScriptedHost host;
    Vst2Instance plugin(host);
    plugin.Start(44100.0f, kBlock);
    plugin.SendMidi(0, 0x90, 38, 127);
    plugin.ProcessFloat(kBlock);
    const double firstHit = plugin.PeakFloat(kBlock);
    // The key stays down until the hit has died away, then the host restores a state.
    for (int block = 0; block < 2000 && plugin.PeakFloat(kBlock) > 1e-4; ++block)
        plugin.ProcessFloat(kBlock);
    ASSERT_LE(plugin.PeakFloat(kBlock), 1e-4);
    ASSERT_EQ(plugin.SetChunk(true, plugin.Chunk(true)), 1);

    plugin.SendMidi(0, 0x90, 38, 127);
    plugin.ProcessFloat(kBlock);
    EXPECT_GT(plugin.PeakFloat(kBlock), 0.5 * firstHit);
}
