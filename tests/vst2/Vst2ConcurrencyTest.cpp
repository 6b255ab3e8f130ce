// A host thread sets and reads parameters while the audio thread processes: the plug-in lock
// keeps them apart (also run under ThreadSanitizer).

#include "tests/vst2/host/ScriptedHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace
{
constexpr int kMainVolume = 3;
constexpr int kBlock = 256;
} // namespace

TEST(Vst2Concurrency, SetParameterFromAnotherThreadDuringProcessing)
{
    ScriptedHost host;
    Vst2Instance plugin(host);
    plugin.Start();
    std::atomic<bool> done{false};
    std::thread automation(
        [&]
        {
            for (int i = 0; !done; ++i)
            {
                plugin.SetParam(kMainVolume, 0.5f + static_cast<float>(i % 10) / 20.0f);
                plugin.Param(kMainVolume);
            }
        });
    double peak = 0.0;
    for (int block = 0; block < 200; ++block)
    {
        if (block % 20 == 0)
            plugin.SendMidi(0, 0x90, 60, 127);
        plugin.ProcessFloat(kBlock);
        peak = std::max(peak, plugin.PeakFloat(kBlock));
    }
    done = true;
    automation.join();
    EXPECT_GT(peak, 0.0);
}
