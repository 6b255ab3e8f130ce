#include "instrument/MidiQueue.h"

#include <vector>

#include <gtest/gtest.h>

namespace
{

MidiMessage Message(int32_t offset, uint8_t data1 = 0)
{
    MidiMessage message;
    message.sampleOffset = offset;
    message.status = 0x90;
    message.data1 = data1;
    return message;
}

// Enqueues `count` notes at offsets first, first + 1, ...; data1 tells them apart modulo 128.
void EnqueueAscending(MidiQueue& queue, int32_t count, int32_t first = 0)
{
    for (int32_t i = 0; i < count; ++i)
        queue.Enqueue(Message(first + i, i % 128));
}

// Takes every pending message, front first, as (offset, data1) pairs.
std::vector<std::pair<int32_t, int>> Drain(MidiQueue& queue)
{
    std::vector<std::pair<int32_t, int>> drained;
    while (queue.HasPending())
    {
        drained.emplace_back(queue.Front().sampleOffset, queue.Front().data1);
        queue.PopFront();
    }
    return drained;
}

using Drained = std::vector<std::pair<int32_t, int>>;

TEST(MidiQueue, OrdersByOffsetKeepingArrivalOrderForEqualOffsets)
{
    MidiQueue queue;
    queue.Enqueue(Message(5, 1));
    queue.Enqueue(Message(3, 2));
    queue.Enqueue(Message(3, 3));
    EXPECT_EQ(Drain(queue), (Drained{{3, 2}, {3, 3}, {5, 1}}));

    queue.Enqueue(Message(7, 1));
    queue.Enqueue(Message(2, 2));
    queue.Enqueue(Message(7, 3));
    queue.Enqueue(Message(0, 4));
    queue.Enqueue(Message(2, 5));
    EXPECT_EQ(Drain(queue), (Drained{{0, 4}, {2, 2}, {2, 5}, {7, 1}, {7, 3}}));
}

TEST(MidiQueue, InsertionNeverReachesBelowTheFront)
{
    MidiQueue queue;
    queue.Enqueue(Message(1, 1));
    queue.Enqueue(Message(4, 2));
    queue.PopFront(); // the message at offset 1 has been handled
    queue.Enqueue(Message(0, 3));
    EXPECT_EQ(Drain(queue), (Drained{{0, 3}, {4, 2}}));
}

TEST(MidiQueue, ConsumeBlockMakesLaterOffsetsRelativeToTheNextBlock)
{
    MidiQueue queue;
    queue.Enqueue(Message(100, 1));
    queue.Enqueue(Message(600, 2));
    queue.Enqueue(Message(1500, 3));
    queue.PopFront();
    queue.ConsumeBlock(512);
    EXPECT_EQ(Drain(queue), (Drained{{88, 2}, {988, 3}}));
}

TEST(MidiQueue, GrowsByItsStepWhenFullAndKeepsEveryMessage)
{
    MidiQueue queue;
    ASSERT_EQ(queue.Capacity(), 1024);
    for (int i = 0; i < 1500; ++i)
        queue.Enqueue(Message(1500 - i, i % 128));
    EXPECT_EQ(queue.Capacity(), 2048);
    EXPECT_EQ(queue.PendingCount(), 1500);
    int32_t previous = -1;
    while (queue.HasPending())
    {
        EXPECT_GE(queue.Front().sampleOffset, previous);
        previous = queue.Front().sampleOffset;
        queue.PopFront();
    }
}

TEST(MidiQueue, StopsGrowingAtItsLimitAndDropsWhatComesAfter)
{
    MidiQueue queue;
    EnqueueAscending(queue, MidiQueue::kMaxGrowthCapacity + 5000);
    EXPECT_EQ(queue.PendingCount(), MidiQueue::kMaxGrowthCapacity);
    EXPECT_EQ(queue.Front().sampleOffset, 0);
}

TEST(MidiQueue, CompactsInsteadOfGrowingWhenHandledMessagesLeaveRoom)
{
    MidiQueue queue;
    EnqueueAscending(queue, 1024);
    queue.PopFront();
    queue.PopFront();
    queue.Enqueue(Message(5000, 7));
    queue.Enqueue(Message(5001, 8));
    EXPECT_EQ(queue.Capacity(), 1024);
    EXPECT_EQ(queue.PendingCount(), 1024);
    EXPECT_EQ(queue.Front().sampleOffset, 2);
}

TEST(MidiQueue, ReserveSizesForABlockInWholeGranules)
{
    MidiQueue queue;
    queue.Reserve(256);
    EXPECT_EQ(queue.Capacity(), 512);
    EXPECT_EQ(queue.GrowthStep(), 512);
    queue.Reserve(513);
    EXPECT_EQ(queue.Capacity(), 1024);
    queue.Reserve(4096);
    EXPECT_EQ(queue.Capacity(), 4096);
}

TEST(MidiQueue, ReserveKeepsPendingMessages)
{
    MidiQueue queue;
    EnqueueAscending(queue, 700);
    queue.PopFront();
    queue.Reserve(64);
    EXPECT_EQ(queue.Capacity(), 1024); // room for the 699 pending ones
    EXPECT_EQ(queue.GrowthStep(), 512);
    EXPECT_EQ(queue.PendingCount(), 699);
    EXPECT_EQ(queue.Front().sampleOffset, 1);
}

TEST(MidiQueue, ReserveForAnUnsetBlockSizeLeavesAUsableQueue)
{
    MidiQueue queue;
    queue.Reserve(0);
    EXPECT_GT(queue.Capacity(), 0);
    EnqueueAscending(queue, 2000);
    EXPECT_EQ(queue.PendingCount(), 2000);
    queue.Reserve(-5);
    EXPECT_EQ(queue.PendingCount(), 2000);
    EnqueueAscending(queue, 2000, 3000);
    EXPECT_EQ(queue.PendingCount(), 4000);
}

} // namespace
