#pragma once
// A circular delay line with a linearly interpolating read: the left and right
// stereo-expander delays of the voice. The sample loop reads first, then writes.

#include "engine/DataBuffer.h"

#include <cstdint>

class DelayLine
{
public:
    static constexpr int32_t kSizeSamples = 8192; // a power of two, so positions wrap by masking
    static constexpr int32_t kMaximumDelaySamples = 8000;

    DelayLine() = default;
    DelayLine(const DelayLine&) = delete;
    DelayLine& operator=(const DelayLine&) = delete;

    // Gets the line ready for a new run: the first time (or after an earlier failure) it
    // obtains its 8192 samples, later it zeroes them. Returns false, leaving the line
    // without memory, when the full size could not be obtained.
    bool prepare();

    bool hasMemory() const { return memory_ != nullptr; }

    // Interpolated sample delaySamples back; at least one sample once anything has
    // been written, at most kMaximumDelaySamples. Read and write need a prepared line
    // (hasMemory()); they stay branch-free because they run for every sample.
    double read(double delaySamples) const
    {
        return interpolate(limitedDelay(delaySamples, writePosition_ != lastWritePosition_ ? 1.0 : 0.0));
    }

    void write(double sample)
    {
        lastWritePosition_ = writePosition_;
        memory_[writePosition_] = sample;
        ++writePosition_;
        if (writePosition_ == size_)
            writePosition_ = 0;
    }

    // A run of samples, each read (delayed[i]) before its input is written, as in the
    // sample loop.
    void processBlock(const double* inputs, double delaySamples, double* delayed, int32_t count)
    {
        if (count <= 0)
            return;
        delayed[0] = read(delaySamples);
        write(inputs[0]);
        // Once a sample has been written the write position stays one ahead of the
        // last-write position, so the minimum delay is 1 for the rest of the run and the
        // limited delay no longer changes.
        const double delay = limitedDelay(delaySamples, 1.0);
        for (int32_t i = 1; i < count; ++i)
        {
            delayed[i] = interpolate(delay);
            write(inputs[i]);
        }
    }

    int32_t writePosition() const { return writePosition_; }
    int32_t lastWritePosition() const { return lastWritePosition_; }
    const double* memory() const { return memory_; }

private:
    double limitedDelay(double delaySamples, double minimumDelay) const
    {
        double delay = delaySamples;
        if (!(delay >= minimumDelay)) // also catches not-a-number
            delay = minimumDelay;
        if (delay > maximumDelay_)
            delay = maximumDelay_;
        return delay;
    }

    double interpolate(double delay) const
    {
        const double position = static_cast<double>(size_ + writePosition_) - delay;
        const int32_t whole = static_cast<int32_t>(position);
        const double fraction = position - whole;
        const double here = memory_[whole & mask_];
        return here + (memory_[(whole + 1) & mask_] - here) * fraction;
    }

    double* memory_ = nullptr;
    int32_t size_ = 0;
    int32_t mask_ = 0;
    int32_t maximumDelay_ = 0;
    int32_t writePosition_ = 0;
    int32_t lastWritePosition_ = 0;
    DataBuffer buffer_;
};
