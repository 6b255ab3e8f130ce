#include "engine/DataBuffer.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace
{

std::atomic<DataBuffer::Allocator> activeAllocator{&DataBuffer::defaultAllocate};

double* allocateZeroed(int32_t frameCount)
{
    return activeAllocator.load(std::memory_order_relaxed)(frameCount);
}

} // namespace

DataBuffer::~DataBuffer() { std::free(samples_); }

double* DataBuffer::defaultAllocate(int32_t frameCount)
{
    // At least one element, so that a zero-frame request still yields a distinct pointer.
    const size_t count = frameCount > 0 ? static_cast<size_t>(frameCount) : 1u;
    return static_cast<double*>(std::calloc(count, sizeof(double)));
}

void DataBuffer::setAllocatorForTesting(Allocator allocator)
{
    activeAllocator.store(allocator != nullptr ? allocator : &DataBuffer::defaultAllocate,
                          std::memory_order_relaxed);
}

void DataBuffer::adopt(double* fresh, int32_t frameCount)
{
    if (samples_ != nullptr)
    {
        const int32_t kept = std::min(frameCount_, frameCount);
        for (int32_t frame = 0; frame < kept; ++frame)
            fresh[frame] = samples_[static_cast<int64_t>(frame) * channelCount_];
        std::free(samples_);
    }
    samples_ = fresh;
    frameCount_ = frameCount;
    channelCount_ = 1;
}

bool DataBuffer::resize(int32_t frameCount)
{
    int32_t frames = std::max(frameCount, 0);
    const int32_t limitedRequest = std::min(frames, kMaximumFrames);
    for (;;)
    {
        if (frames > kMaximumFrames)
        {
            frames = kMaximumFrames;
            std::fputs("warning: constraining [data] to < 256MB\n", stdout);
        }
        const int64_t currentValues = static_cast<int64_t>(frameCount_) * channelCount_;
        if (samples_ != nullptr && static_cast<int64_t>(frames) == currentValues)
        {
            frameCount_ = frames;
            channelCount_ = 1;
            clear();
            return frames == limitedRequest;
        }
        double* fresh = allocateZeroed(frames);
        if (fresh != nullptr)
        {
            adopt(fresh, frames);
            return frames == limitedRequest;
        }
        std::fputs("allocating [data]: out of memory\n", stderr);
        // The smallest size failed as well: stop here instead of retrying for ever.
        if (frames == 4)
            return false;
        frames = frames <= 512 ? 4 : 512;
    }
}

bool DataBuffer::allocate(int32_t frameCount)
{
    const int32_t frames = std::max(frameCount, 0);
    double* fresh = allocateZeroed(frames);
    if (fresh == nullptr)
        return false;
    std::free(samples_);
    samples_ = fresh;
    frameCount_ = frames;
    channelCount_ = 1;
    return true;
}

void DataBuffer::clear()
{
    if (samples_ != nullptr)
        std::fill(samples_, samples_ + static_cast<int64_t>(frameCount_) * channelCount_, 0.0);
}
