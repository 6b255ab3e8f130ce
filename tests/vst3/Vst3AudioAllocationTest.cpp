// The audio thread allocates nothing: a host automates every parameter, the preset ones
// included, along with notes, while the test counts heap allocations on the processing thread.

#include "tests/support/AllocationCounter.h"
#include "tests/support/AutomationRounds.h"
#include "tests/vst3/Vst3Instance.h"
#include "tests/vst3/host/HostProcessData.h"

#include <gtest/gtest.h>

using namespace Steinberg;
using namespace Steinberg::Vst;

TEST(Vst3AudioAllocation, AutomatingEveryParameterAllocatesNothingOnTheAudioThread)
{
    constexpr int32 kBlock = 256;
    ASSERT_TRUE(TheModule().Loaded()) << TheModule().Error();
    ASSERT_TRUE(AllocationCounter::Install(TheModule().Symbol("GetPluginFactory")));
    Vst3Instance plugin;
    HostProcessData io{kSample32, kBlock};
    ASSERT_TRUE(plugin.Start(kSample32, kBlock));
    // The counter sees the module's allocations: saving a state fills a new chunk.
    AllocationCounter::Begin();
    plugin.State();
    ASSERT_GT(AllocationCounter::End(), 0);

    std::vector<std::vector<AutomatedValue>> rounds = AutomationRounds();
    // The adapter's own switches: bypass on and off, and the program list's only program.
    rounds.push_back({{static_cast<int>(kBypass), 1.0}});
    rounds.push_back({{static_cast<int>(kBypass), 0.0}, {static_cast<int>(kPreset), 0.0}});
    for (size_t r = 0; r < rounds.size(); ++r)
    {
        // The host's lists are filled before counting: only the plug-in's work is counted.
        io.changes.Clear();
        for (const AutomatedValue& change : rounds[r])
            io.changes.Add(static_cast<ParamID>(change.index), 0, change.normalized);
        io.events.Clear();
        io.events.AddNoteOn(0, 38, 1.0f);
        io.events.AddNoteOff(200, 38);
        ProcessData& block = io.Block(kBlock);

        AllocationCounter::Begin();
        const tresult result = plugin.processor->process(block);
        const long allocations = AllocationCounter::End();
        ASSERT_EQ(result, kResultOk);
        EXPECT_EQ(allocations, 0) << "round " << r << " (first parameter " << rounds[r].front().index << ")";
    }
}
