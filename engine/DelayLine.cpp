#include "engine/DelayLine.h"

#include <algorithm>
#include <cstdio>

bool DelayLine::prepare()
{
    if (memory_ == nullptr)
    {
        // First preparation, or a retry after a preparation that ran short of memory:
        // a line without its full size must never be written into.
        maximumDelay_ = kMaximumDelaySamples;
        size_ = kSizeSamples;
        buffer_.resize(kSizeSamples);
        if (buffer_.frameCount() != kSizeSamples)
        {
            std::fputs("delay memory size error\n", stderr);
            return false;
        }
        memory_ = buffer_.samples();
        // A retry may have kept an earlier, shorter buffer's content.
        std::fill(memory_, memory_ + size_, 0.0);
    }
    else
    {
        std::fill(memory_, memory_ + size_, 0.0);
    }
    lastWritePosition_ = 0;
    writePosition_ = lastWritePosition_;
    mask_ = size_ - 1;
    return true;
}
