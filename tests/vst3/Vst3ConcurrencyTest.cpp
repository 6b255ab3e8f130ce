// The audio thread processes while the host's main thread saves and restores the state,
// toggles activation, or reads and writes parameter values through the controller without
// the lock: the plug-in lock and the parameters' own storage must keep them apart (run under
// ThreadSanitizer).

#include "tests/vst3/Vst3Instance.h"
#include "tests/vst3/host/HostProcessData.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;

TEST(Vst3Concurrency, StateAndActivationCallsDuringProcessing)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    ASSERT_TRUE(instance.Start(kSample32, 128));

    std::atomic<bool> done{false};
    std::atomic<int> blocksWithSound{0};
    std::thread audio(
        [&]
        {
            HostProcessData io(kSample32, 128);
            for (int block = 0; block < 600; ++block)
            {
                io.events.Clear();
                if (block % 20 == 0)
                    io.events.AddNoteOn(block % 128, 60, 1.0f);
                instance.processor->process(io.Block(128));
                if (io.Peak() > 0.0)
                    ++blocksWithSound;
            }
            done = true;
        });

    int rounds = 0;
    while (!done || rounds < 20)
    {
        MemoryStream stream;
        ASSERT_EQ(instance.component->getState(&stream), kResultOk);
        stream.Rewind();
        ASSERT_EQ(instance.component->setState(&stream), kResultOk);
        instance.component->setActive(true);
        ++rounds;
    }
    audio.join();
    EXPECT_GT(blocksWithSound.load(), 0);
}

// The controller's value calls take no lock by design; processing applies automation of the
// same parameter meanwhile. Every value read must be a whole one within 0..1.
TEST(Vst3Concurrency, ControllerValueCallsDuringProcessing)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    ASSERT_TRUE(instance.Start(kSample32, 64));

    std::atomic<bool> done{false};
    std::thread audio(
        [&]
        {
            HostProcessData io(kSample32, 64);
            for (int block = 0; block < 400; ++block)
            {
                io.changes.Clear();
                io.changes.Add(kMainVolume, 0, (block % 10) / 10.0);
                instance.processor->process(io.Block(64));
            }
            done = true;
        });

    int rounds = 0;
    bool inRange = true;
    while (!done || rounds < 50)
    {
        instance.controller->setParamNormalized(kMainVolume, (rounds % 7) / 7.0);
        const ParamValue value = instance.controller->getParamNormalized(kMainVolume);
        inRange = inRange && value >= 0.0 && value <= 1.0;
        String128 text{};
        instance.controller->getParamStringByValue(kMainVolume, value, text);
        ++rounds;
    }
    audio.join();
    EXPECT_TRUE(inRange);
}
