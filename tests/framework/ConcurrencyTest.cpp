// Processing on one thread while another thread turns knobs and loads states: the plug-in
// lock must keep every block from seeing a half-loaded state, and nothing may race.

#include "tests/framework/DoubleTestHost.h"
#include "tests/framework/TestPlugin.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace
{
// Checks in every block that a loaded state arrived whole: the loader writes k to every
// parameter but 2 (which gets 5 + k) and 27 (which the editor thread moves on its own).
class StateCheckingPlugin : public IPlugBase
{
public:
    StateCheckingPlugin() : IPlugBase(TestConfig(2))
    {
        for (int i = 0; i < NumParams(); ++i)
            GetParam(i)->DefineContinuous("P", 0, i == 2 ? 5.0 : 0.0, i == 2 ? 10.0 : 1.0, 0.00001);
    }

    void OnParameterChange(int paramIndex) override
    {
        PlugLockGuard guard(PluginLock());
        ++changesSeen;
        lastChanged = paramIndex;
    }

    void ProcessBlock(double** inputs, double** outputs, int frames) override
    {
        IPlugBase::ProcessBlock(inputs, outputs, frames);
        ++blocks;
        const double k = GetParam(0)->Value();
        for (int i = 1; i < 27; ++i)
        {
            const double expected = (i == 2) ? 5.0 + k : k;
            if (GetParam(i)->Value() != expected)
                ++tornStates;
        }
        // Processing reaches back into the lock, as controller messages do.
        OnParameterChange(27);
    }

    long blocks = 0;
    long tornStates = 0;
    long changesSeen = 0;
    int lastChanged = -1;
};

ChunkBuffer StateWithValue(double k)
{
    ChunkBuffer chunk;
    for (int i = 0; i < 28; ++i)
        chunk.PutDouble(i == 2 ? 5.0 + k : (i == 27 ? 0.5 : k));
    return chunk;
}
} // namespace

TEST(PluginLockConcurrency, BlocksNeverSeeAHalfLoadedState)
{
    StateCheckingPlugin plugin;
    DoubleTestHost host(plugin);
    host.SetUpStereo(48000, 64);
    plugin.LoadState(StateWithValue(0.0), 0);

    std::atomic<bool> stop{false};
    std::atomic<long> audioBlocks{0};
    std::thread audio(
        [&]
        {
            std::vector<std::vector<double>> in(2, std::vector<double>(64, 0.25));
            std::vector<std::vector<double>> out(2, std::vector<double>(64, 0.0));
            std::vector<std::vector<float>> inFloat(2, std::vector<float>(64, 0.5f));
            std::vector<std::vector<float>> outFloat(2, std::vector<float>(64, 0.0f));
            for (int block = 0; !stop.load(); ++block)
            {
                if (block % 2)
                    host.ProcessDouble(in, out, 64);
                else
                    host.ProcessSingle(inFloat, outFloat, 64, false);
                ++audioBlocks;
            }
        });

    std::thread editor(
        [&]
        {
            for (int i = 0; i < 2000; ++i)
                plugin.SetParameterFromEditor(27, (i % 100) / 100.0);
        });

    // Enough rounds that both threads really interleave, however the scheduler runs them.
    for (int i = 0; i < 500 || audioBlocks.load() < 2000; ++i)
    {
        plugin.LoadState(StateWithValue((i % 10) / 10.0), 0);
        PlugLockGuard guard(plugin.PluginLock());
        plugin.ModifyCurrentPreset();
        plugin.LoadPresetSlot(1 - plugin.CurrentPresetIndex());
    }
    editor.join();
    stop = true;
    audio.join();

    PlugLockGuard guard(plugin.PluginLock());
    EXPECT_GT(plugin.blocks, 0);
    EXPECT_EQ(plugin.tornStates, 0);
    EXPECT_GT(plugin.changesSeen, 2000 + 500 * 28);
}
