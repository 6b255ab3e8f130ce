#include "instrument/MidiQueue.h"

#include <algorithm>
#include <climits>
#include <new>

MidiQueue::MidiQueue()
{
    mBuffer.reset(new (std::nothrow) MidiMessage[kInitialCapacity]);
    mCapacity = mBuffer ? kInitialCapacity : 0;
    mGrowthStep = kInitialCapacity;
}

void MidiQueue::Compact()
{
    if (mFront <= 0)
        return;
    std::copy(mBuffer.get() + mFront, mBuffer.get() + mEnd, mBuffer.get());
    mEnd -= mFront;
    mFront = 0;
}

bool MidiQueue::Reallocate(int32_t capacity)
{
    std::unique_ptr<MidiMessage[]> larger(new (std::nothrow) MidiMessage[capacity]);
    if (!larger)
        return false;
    std::copy(mBuffer.get() + mFront, mBuffer.get() + mEnd, larger.get());
    mEnd -= mFront;
    mFront = 0;
    mBuffer = std::move(larger);
    mCapacity = capacity;
    return true;
}

bool MidiQueue::Grow()
{
    if (mGrowthStep <= 0)
        return false;
    const int64_t larger = static_cast<int64_t>(mGrowthStep) * (mCapacity / mGrowthStep + 1);
    if (larger > kMaxGrowthCapacity)
        return false;
    return Reallocate(static_cast<int32_t>(larger));
}

void MidiQueue::Enqueue(const MidiMessage& message)
{
    if (mEnd >= mCapacity)
    {
        if (mFront > 0)
        {
            Compact();
        }
        else if (!Grow())
        {
            return;
        }
    }
    int32_t insertAt = mEnd;
    if (HasPending() && message.sampleOffset < mBuffer[mEnd - 1].sampleOffset)
    {
        // Behind the last pending message whose offset is at most the new one's, so that
        // messages with equal offsets keep their order of arrival.
        insertAt = mEnd - 1;
        while (insertAt > mFront && mBuffer[insertAt - 1].sampleOffset > message.sampleOffset)
            --insertAt;
        std::copy_backward(mBuffer.get() + insertAt, mBuffer.get() + mEnd, mBuffer.get() + mEnd + 1);
    }
    mBuffer[insertAt] = message;
    ++mEnd;
}

void MidiQueue::ConsumeBlock(int32_t frames)
{
    Compact();
    for (int32_t i = mFront; i < mEnd; ++i)
        mBuffer[i].sampleOffset -= frames;
}

int32_t MidiQueue::RoundUpToGranule(int32_t count)
{
    const int64_t granules = (static_cast<int64_t>(count) + kReserveGranule - 1) / kReserveGranule;
    return static_cast<int32_t>(
        std::min<int64_t>(granules * kReserveGranule, INT32_MAX / kReserveGranule * kReserveGranule));
}

void MidiQueue::Reserve(int32_t frames)
{
    Compact();
    // A block size of 0 (not yet set by the host) still needs a buffer that takes
    // messages and can grow, so the smallest size is one granule.
    int32_t capacity = RoundUpToGranule(std::max(frames, kReserveGranule));
    mGrowthStep = capacity;
    if (capacity < PendingCount())
        capacity = RoundUpToGranule(PendingCount());
    if (capacity != mCapacity)
        Reallocate(capacity);
}
