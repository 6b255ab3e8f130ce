#pragma once
// A growable, single-channel array of samples. It owns all of the engine's sample
// memory apart from the state record. Allocation failures fall back to smaller sizes
// and are reported on standard error; nothing here throws.

#include <cstdint>

class DataBuffer
{
public:
    // Returns zero-filled memory for frameCount doubles obtained from std::calloc, or
    // nullptr. Replaceable so that tests can make allocations fail.
    using Allocator = double* (*)(int32_t frameCount);

    static constexpr int32_t kMaximumFrames = 33554432; // 2^25 frames = 256 MB of doubles

    DataBuffer() = default;
    ~DataBuffer();
    DataBuffer(const DataBuffer&) = delete;
    DataBuffer& operator=(const DataBuffer&) = delete;

    // Resizes to frameCount frames of one channel, zero-filled, keeping the first frames
    // of the old content. When memory is short it retries with 512 frames, then with 4.
    // Returns true when the buffer holds the requested (size-limited) frame count; if
    // even the 4-frame attempt fails it gives up and keeps the old content.
    bool resize(int32_t frameCount);

    // Replaces the content by frameCount zeroed frames without any fallback or message.
    // Returns false, keeping the old content, when the memory cannot be obtained.
    bool allocate(int32_t frameCount);

    void clear();

    int32_t frameCount() const { return frameCount_; }
    int32_t channelCount() const { return channelCount_; }
    double* samples() { return samples_; }
    const double* samples() const { return samples_; }

    static double* defaultAllocate(int32_t frameCount);
    // Test seam; nullptr restores the default allocator. Not for use while engines render.
    static void setAllocatorForTesting(Allocator allocator);

private:
    void adopt(double* fresh, int32_t frameCount);

    int32_t frameCount_ = 0;
    int32_t channelCount_ = 0;
    double* samples_ = nullptr;
};
