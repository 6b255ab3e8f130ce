// The audio thread processes while the host's main thread saves and restores the state and
// toggles activation: the plug-in lock must keep them apart (run under ThreadSanitizer).

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
  std::thread audio([&] {
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
