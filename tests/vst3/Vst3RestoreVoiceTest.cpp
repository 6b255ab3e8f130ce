// A state saved while a key was down holds an open gate. Restored into a running instance it
// must not play a hit by itself, and the first real note-on afterwards must sound.

#include "tests/vst3/Vst3Instance.h"
#include "tests/vst3/host/HostProcessData.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;

TEST(Vst3RestoreVoice, StateSavedDuringAHeldNoteRestoresSilentAndTheNextHitSounds)
{
    constexpr int32 kBlock = 256;
    constexpr size_t kGateOffset = 21 * 8; // Voice00_NoteGate in the state chunk

    Vst3Instance original;
    HostProcessData io{kSample32, 1024};
    ASSERT_TRUE(original.Start(kSample32, kBlock));
    io.events.AddNoteOn(0, 38, 1.0f);
    ASSERT_EQ(original.processor->process(io.Block(kBlock)), kResultOk);
    io.events.Clear();
    ASSERT_GT(io.Peak(), 0.01);
    const std::vector<uint8_t> saved = original.State();
    ASSERT_EQ(saved.size(), 28u * 8 + 4);
    ASSERT_EQ(saved[kGateOffset + 7], 0x3F); // the gate is stored open (1.0)

    // A host restores a project into an instance that is already processing.
    Vst3Instance restored;
    HostProcessData out{kSample32, 1024};
    ASSERT_TRUE(restored.Start(kSample32, kBlock));
    MemoryStream stream(saved);
    ASSERT_EQ(restored.component->setState(&stream), kResultOk);
    for (int block = 0; block < 8; ++block)
    {
        ASSERT_EQ(restored.processor->process(out.Block(kBlock)), kResultOk);
        ASSERT_EQ(out.Peak(), 0.0) << "a hit without MIDI in block " << block;
    }
    out.events.AddNoteOn(0, 38, 1.0f);
    ASSERT_EQ(restored.processor->process(out.Block(kBlock)), kResultOk);
    EXPECT_GT(out.Peak(), 0.01);

    // The state keeps its size and layout.
    EXPECT_EQ(restored.State().size(), saved.size());
}

// A started instance in which key 38 has been struck in one block.
class Vst3PlayedInstance : public ::testing::Test
{
protected:
    static constexpr int32 kBlock = 256;

    void Strike(bool releaseInTheSameBlock)
    {
        ASSERT_TRUE(plugin.Start(kSample32, kBlock));
        io.events.AddNoteOn(0, 38, 1.0f);
        if (releaseInTheSameBlock)
            io.events.AddNoteOff(100, 38);
        ASSERT_EQ(plugin.processor->process(io.Block(kBlock)), kResultOk);
        io.events.Clear();
    }

    Vst3Instance plugin;
    HostProcessData io{kSample32, kBlock};
};

TEST_F(Vst3PlayedInstance, AStateReadsBackByteForByteAfterPlaying)
{
    Strike(true);
    const std::vector<uint8_t> saved = plugin.State();

    MemoryStream same(saved);
    ASSERT_EQ(plugin.component->setState(&same), kResultOk);
    EXPECT_EQ(plugin.State(), saved);
    Vst3Instance fresh;
    MemoryStream again(saved);
    ASSERT_EQ(fresh.component->setState(&again), kResultOk);
    EXPECT_EQ(fresh.State(), saved);
}

TEST_F(Vst3PlayedInstance, ANoteOnRightAfterAHeldKeyRestoreSoundsAFullHit)
{
    Strike(false);
    const double firstHit = io.Peak();
    // The key stays down until the hit has died away, then the host restores a state.
    for (int block = 0; block < 2000 && io.Peak() > 1e-4; ++block)
        ASSERT_EQ(plugin.processor->process(io.Block(kBlock)), kResultOk);
    ASSERT_LE(io.Peak(), 1e-4);
    MemoryStream stream(plugin.State());
    ASSERT_EQ(plugin.component->setState(&stream), kResultOk);

    io.events.AddNoteOn(0, 38, 1.0f);
    ASSERT_EQ(plugin.processor->process(io.Block(kBlock)), kResultOk);
    EXPECT_GT(io.Peak(), 0.5 * firstHit);
}
