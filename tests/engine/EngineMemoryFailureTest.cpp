// Behaviour when memory runs short: exact messages, bounded retries, and an engine that
// stays silent instead of rendering into missing memory.

#include "engine/DataBuffer.h"
#include "engine/SynthEngine.h"
#include "tests/engine/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace
{

std::vector<int32_t> requests;
int32_t failingSize = -1; // -1: every request fails

double* failingAllocator(int32_t frameCount)
{
    requests.push_back(frameCount);
    if (failingSize == -1 || frameCount == failingSize)
        return nullptr;
    return DataBuffer::defaultAllocate(frameCount);
}

class MemoryFailureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        requests.clear();
        failingSize = -1;
        DataBuffer::setAllocatorForTesting(&failingAllocator);
    }
    void TearDown() override { DataBuffer::setAllocatorForTesting(nullptr); }

    static void startCapture()
    {
        std::fflush(stdout);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
    }
    void stopCapture()
    {
        std::fflush(stdout);
        std::fflush(stderr);
        out = testing::internal::GetCapturedStdout();
        err = testing::internal::GetCapturedStderr();
    }

    std::string out;
    std::string err;
};

TEST_F(MemoryFailureTest, OversizedResizeIsLimitedAndFallsBackToSmallSizes)
{
    DataBuffer buffer;
    startCapture();
    EXPECT_FALSE(buffer.resize(DataBuffer::kMaximumFrames + 1));
    stopCapture();
    EXPECT_EQ(out, "warning: constraining [data] to < 256MB\n");
    EXPECT_EQ(err, "allocating [data]: out of memory\n"
                   "allocating [data]: out of memory\n"
                   "allocating [data]: out of memory\n");
    EXPECT_EQ(requests, (std::vector<int32_t>{DataBuffer::kMaximumFrames, 512, 4}));
    EXPECT_EQ(buffer.frameCount(), 0);
    EXPECT_EQ(buffer.samples(), nullptr);
}

TEST_F(MemoryFailureTest, FailedResizeKeepsOldContent)
{
    DataBuffer buffer;
    failingSize = 100;
    ASSERT_TRUE(buffer.resize(8));
    buffer.samples()[7] = 5.0;
    failingSize = -1;
    startCapture();
    EXPECT_FALSE(buffer.resize(100));
    stopCapture();
    EXPECT_EQ(requests, (std::vector<int32_t>{8, 100, 4}));
    EXPECT_EQ(buffer.frameCount(), 8);
    EXPECT_EQ(buffer.samples()[7], 5.0);
}

TEST_F(MemoryFailureTest, ShortDelayMemoryGivesSilenceUntilAResetSucceeds)
{
    failingSize = 8192;
    startCapture();
    SynthEngine* engine = EngineCreate(44100.0);
    stopCapture();
    ASSERT_NE(engine, nullptr);
    const std::string perLine = "allocating [data]: out of memory\ndelay memory size error\n";
    EXPECT_EQ(err, perLine + perLine);
    EXPECT_EQ(out, "");
    EXPECT_FALSE(engine->leftDelay.hasMemory());

    EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
    const StereoBlock block = renderBlock(engine, 64);
    EXPECT_EQ(block.result, kEngineErrorMemoryShort);
    EXPECT_EQ(block.left, std::vector<double>(64, 0.0));
    EXPECT_EQ(block.right, std::vector<double>(64, 0.0));
    // Not latched like 101: the next reset tries again and succeeds once memory is back.
    failingSize = 12345;
    EngineReset(engine, 44100.0, 1024);
    EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
    const StereoBlock recovered = renderBlock(engine, 64);
    EXPECT_EQ(recovered.result, kEngineOk);
    EXPECT_NE(firstNonZero(recovered.left), -1);
    EngineDestroy(engine);
}

TEST_F(MemoryFailureTest, ShortCosineTableFallsBackOnceAndKeepsTheEngineSilent)
{
    failingSize = 16384;
    startCapture();
    SynthEngine* engine = EngineCreate(48000.0);
    stopCapture();
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(err, "out of memory\n");
    EXPECT_EQ(engine->cosineTable.entryCount(), 512);
    EXPECT_EQ(engine->cosineTable.entries()[511], std::cos(511 * 3.141592653589793 * 2 / 16384));
    EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
    EXPECT_EQ(renderBlock(engine, 32).result, kEngineErrorMemoryShort);
    EngineDestroy(engine);
}

TEST_F(MemoryFailureTest, NothingAllocatableStillTerminatesWithEveryMessage)
{
    startCapture();
    SynthEngine* engine = EngineCreate(44100.0);
    stopCapture();
    ASSERT_NE(engine, nullptr);
    const std::string perLine = "allocating [data]: out of memory\n"
                                "allocating [data]: out of memory\n"
                                "allocating [data]: out of memory\n"
                                "delay memory size error\n";
    EXPECT_EQ(err, "out of memory\nout of memory\n" + perLine + perLine);
    EXPECT_EQ(EngineParameterCount(engine), 28);
    const StereoBlock block = renderBlock(engine, 16);
    EXPECT_EQ(block.result, kEngineErrorMemoryShort);
    EXPECT_EQ(block.left, std::vector<double>(16, 0.0));
    EngineDestroy(engine);
}

} // namespace
