#pragma once
// MIDI messages waiting to be handled, kept in non-decreasing order of sample offset
// (equal offsets in arrival order). The adapters enqueue messages as the host hands
// them over; the instrument takes them from the front at the start of each block and
// then shifts the offsets of the ones left for later blocks.
//
// The buffer is sized for a block by Reserve at every processing reset, so the audio
// path allocates only when a block brings more messages than that.

#include <cstdint>
#include <memory>

#include "framework/MidiMessage.h"

class MidiQueue
{
public:
    static constexpr int32_t kInitialCapacity = 1024;
    static constexpr int32_t kReserveGranule = 512; // 4096 bytes of messages
    // A host that keeps handing over messages without ever rendering a block (parameter
    // flushes only) would otherwise make the audio thread allocate without bound; beyond
    // this many pending messages (2 MB) further ones are dropped.
    static constexpr int32_t kMaxGrowthCapacity = 262144;

    MidiQueue();

    // [audio thread, under the plug-in lock] Inserts behind every pending message with
    // an offset at most the new one's. Drops the message when the buffer is full and
    // cannot grow.
    void Enqueue(const MidiMessage& message);

    // [audio thread, under the plug-in lock] The block of n frames is done: offsets of
    // the messages left for later blocks become relative to the next block.
    void ConsumeBlock(int32_t frames);

    // [audio thread or set-up, under the plug-in lock] Sizes the buffer for a block of
    // n frames (one message per frame, in whole granules); never drops pending messages
    // and always leaves a usable buffer.
    void Reserve(int32_t frames);

    bool HasPending() const { return mFront < mEnd; }
    int32_t PendingCount() const { return mEnd - mFront; }
    // Only valid while HasPending().
    const MidiMessage& Front() const { return mBuffer[mFront]; }
    void PopFront() { ++mFront; }

    int32_t Capacity() const { return mCapacity; }
    int32_t GrowthStep() const { return mGrowthStep; }

private:
    void Compact();
    bool Reallocate(int32_t capacity);
    bool Grow();
    static int32_t RoundUpToGranule(int32_t count);

    std::unique_ptr<MidiMessage[]> mBuffer;
    int32_t mCapacity = 0;
    int32_t mGrowthStep = 0;
    int32_t mFront = 0;
    int32_t mEnd = 0;
};
