// The state stream: the core's chunk of 28 little-endian doubles followed by a 32-bit
// bypass word, restored into a fresh instance; short and empty streams from a host.

#include "tests/vst3/Vst3Instance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

constexpr int kParams = 28;
constexpr size_t kChunkBytes = kParams * 8;

double DoubleAt(const std::vector<uint8_t>& bytes, size_t offset)
{
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | bytes[offset + i];
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

void PutDouble(std::vector<uint8_t>& bytes, size_t offset, double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    for (int i = 0; i < 8; ++i)
        bytes[offset + i] = static_cast<uint8_t>(bits >> (8 * i));
}

} // namespace

TEST(Vst3State, FreshInstanceWritesItsChunkAndAClearBypassWord)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    const std::vector<uint8_t> state = instance.State();
    ASSERT_EQ(state.size(), kChunkBytes + 4);
    EXPECT_EQ(DoubleAt(state, 3 * 8), 0.8);   // MainVolume
    EXPECT_EQ(DoubleAt(state, 1 * 8), 120.0); // HostTempoBpm
    EXPECT_EQ(state[kChunkBytes], 0);
    EXPECT_EQ(state[kChunkBytes + 1], 0);
    EXPECT_EQ(state[kChunkBytes + 2], 0);
    EXPECT_EQ(state[kChunkBytes + 3], 0);
}

TEST(Vst3State, RoundTripIntoAFreshInstanceIsExact)
{
    Vst3Instance original;
    ASSERT_TRUE(original.Created());
    // Values that do not survive any rounding on the way.
    original.controller->setParamNormalized(kMainVolume, 0.123456789012345);
    original.controller->setParamNormalized(7, 1.0 / 3.0);
    original.controller->setParamNormalized(17, 0.999999999);
    std::vector<uint8_t> saved = original.State();
    ASSERT_EQ(saved.size(), kChunkBytes + 4);
    saved[kChunkBytes] = 1; // bypassed

    Vst3Instance restored;
    ASSERT_TRUE(restored.Created());
    MemoryStream stream(saved);
    ASSERT_EQ(restored.component->setState(&stream), kResultOk);
    EXPECT_EQ(restored.controller->getParamNormalized(kMainVolume),
              original.controller->getParamNormalized(kMainVolume));
    EXPECT_EQ(restored.controller->getParamNormalized(7), 1.0 / 3.0);
    EXPECT_EQ(restored.controller->getParamNormalized(kBypass), 1.0);
    EXPECT_EQ(restored.State(), saved);

    // The controller side of the same object reads the same stream.
    Vst3Instance again;
    MemoryStream second(saved);
    ASSERT_EQ(again.controller->setState(&second), kResultOk);
    EXPECT_EQ(again.State(), saved);
}

TEST(Vst3State, ShortStreamsChangeNothingAndReportFailure)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    instance.controller->setParamNormalized(5, 0.25);
    const std::vector<uint8_t> before = instance.State();

    // Two values only: a damaged state, nothing of it is applied.
    std::vector<uint8_t> bytes(16);
    PutDouble(bytes, 0, 1.0);
    PutDouble(bytes, 8, 90.0);
    MemoryStream shortStream(bytes);
    EXPECT_EQ(instance.component->setState(&shortStream), kResultFalse);
    EXPECT_EQ(instance.State(), before);

    // A full chunk without the bypass word restores the values but answers false.
    std::vector<uint8_t> noBypass(before.begin(), before.begin() + kChunkBytes);
    PutDouble(noBypass, 3 * 8, 0.5);
    MemoryStream chunkOnly(noBypass);
    EXPECT_EQ(instance.component->setState(&chunkOnly), kResultFalse);
    EXPECT_EQ(instance.controller->getParamNormalized(kMainVolume), 0.5);

    MemoryStream empty;
    EXPECT_EQ(instance.component->setState(&empty), kResultFalse);
    EXPECT_EQ(instance.controller->getParamNormalized(kMainVolume), 0.5);
    EXPECT_EQ(instance.component->setState(nullptr), kInvalidArgument);
    EXPECT_EQ(instance.component->getState(nullptr), kInvalidArgument);
}

TEST(Vst3State, OnlyZeroOrOneIsABypassWord)
{
    struct Case
    {
        uint32_t word;
        tresult result;
        double bypass;
    };
    const Case cases[] = {{0, kResultOk, 0.0},
                          {1, kResultOk, 1.0},
                          {2, kResultFalse, 0.0},
                          {0x12345678, kResultFalse, 0.0},
                          {0x100, kResultFalse, 0.0}};
    for (const Case& c : cases)
    {
        Vst3Instance instance;
        ASSERT_TRUE(instance.Created());
        std::vector<uint8_t> bytes = instance.State();
        bytes[kChunkBytes] = 1;
        MemoryStream bypassed(bytes);
        ASSERT_EQ(instance.component->setState(&bypassed), kResultOk);

        PutDouble(bytes, 3 * 8, 0.5);
        for (int i = 0; i < 4; ++i)
            bytes[kChunkBytes + i] = static_cast<uint8_t>(c.word >> (8 * i));
        MemoryStream stream(bytes);
        EXPECT_EQ(instance.component->setState(&stream), c.result) << c.word;
        // The parameters load in every case; a damaged word leaves the instrument playing.
        EXPECT_EQ(instance.controller->getParamNormalized(kMainVolume), 0.5) << c.word;
        EXPECT_EQ(instance.controller->getParamNormalized(kBypass), c.bypass) << c.word;
    }
}

TEST(Vst3State, OutOfRangeValuesAreClampedOnLoad)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    std::vector<uint8_t> bytes = instance.State();
    PutDouble(bytes, 3 * 8, 1e9);
    PutDouble(bytes, 1 * 8, -50.0);
    MemoryStream stream(bytes);
    ASSERT_EQ(instance.component->setState(&stream), kResultOk);
    const std::vector<uint8_t> after = instance.State();
    EXPECT_EQ(DoubleAt(after, 3 * 8), 1.0);
    EXPECT_EQ(DoubleAt(after, 1 * 8), 0.0);
}

namespace
{

// A stream whose reads and writes fail once a number of bytes has passed, as a broken file
// or a full disk makes them fail in the middle of the state.
class FailingStream : public MemoryStream
{
public:
    FailingStream(std::vector<uint8_t> bytes, int32 budget) : MemoryStream(std::move(bytes)), budget(budget)
    {
    }

    tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) override
    {
        return Spend(numBytes, numBytesRead) ? MemoryStream::read(buffer, numBytes, numBytesRead)
                                             : kResultFalse;
    }
    tresult PLUGIN_API write(void* buffer, int32 numBytes, int32* numBytesWritten) override
    {
        return Spend(numBytes, numBytesWritten) ? MemoryStream::write(buffer, numBytes, numBytesWritten)
                                                : kResultFalse;
    }

private:
    // Reports nothing moved yet and takes the bytes from the budget, unless it cannot pay.
    bool Spend(int32 numBytes, int32* numBytesMoved)
    {
        if (numBytesMoved)
            *numBytesMoved = 0;
        if (numBytes > budget)
            return false;
        budget -= numBytes;
        return true;
    }

    int32 budget;
};

// A stream that delivers at most 20 bytes per read and fails once `budget` bytes have passed.
class TricklingStream : public MemoryStream
{
public:
    TricklingStream(std::vector<uint8_t> bytes, int32 budget) : MemoryStream(std::move(bytes)), budget(budget)
    {
    }

    tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) override
    {
        const int32 piece = std::min({numBytes, int32{20}, budget});
        if (numBytesRead)
            *numBytesRead = 0;
        if (piece <= 0)
            return kResultFalse;
        budget -= piece;
        return MemoryStream::read(buffer, piece, numBytesRead);
    }

private:
    int32 budget;
};

} // namespace

TEST(Vst3State, StreamsFailingMidwayOrRunningLongAreHandled)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    FailingStream full({}, 10);
    EXPECT_EQ(instance.component->getState(&full), kResultFalse);
    FailingStream noRoomForBypass({}, static_cast<int32>(kChunkBytes));
    EXPECT_EQ(instance.component->getState(&noRoomForBypass), kResultFalse);

    std::vector<uint8_t> bytes = instance.State();
    PutDouble(bytes, 3 * 8, 0.5);
    // A read that fails outright, or after 100 bytes delivered in pieces, restores nothing.
    FailingStream broken(bytes, 0);
    EXPECT_EQ(instance.component->setState(&broken), kResultFalse);
    EXPECT_EQ(instance.controller->getParamNormalized(kMainVolume), 0.8);
    PutDouble(bytes, 0, 1.0);
    const std::vector<uint8_t> before = instance.State();
    TricklingStream trickle(bytes, 100);
    EXPECT_EQ(instance.component->setState(&trickle), kResultFalse);
    EXPECT_EQ(instance.State(), before);
    // The chunk arrives, the bypass word does not.
    FailingStream chunkOnly(bytes, static_cast<int32>(kChunkBytes));
    EXPECT_EQ(instance.component->setState(&chunkOnly), kResultFalse);
    EXPECT_EQ(instance.controller->getParamNormalized(kMainVolume), 0.5);

    // Bytes after the state belong to whoever wrote them; the state is read as usual.
    PutDouble(bytes, 3 * 8, 0.25);
    bytes[kChunkBytes] = 1;
    bytes.insert(bytes.end(), {0xDE, 0xAD, 0xBE, 0xEF, 0x01});
    MemoryStream longer(bytes);
    EXPECT_EQ(instance.component->setState(&longer), kResultOk);
    EXPECT_EQ(instance.controller->getParamNormalized(kMainVolume), 0.25);
    EXPECT_EQ(instance.controller->getParamNormalized(kBypass), 1.0);
}
