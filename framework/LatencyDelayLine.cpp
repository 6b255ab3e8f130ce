#include "framework/LatencyDelayLine.h"

#include <algorithm>

LatencyDelayLine::LatencyDelayLine(int numChannels, int numOutputChannels, int lengthFrames)
    : mNumChannels(std::max(numChannels, 0)),
      mNumOutputChannels(std::max(numOutputChannels, 0))
{
    SetLength(lengthFrames);
}

void LatencyDelayLine::SetLength(int lengthFrames)
{
    mLengthFrames = std::max(lengthFrames, 0);
    mBuffer.assign(static_cast<size_t>(mLengthFrames) * static_cast<size_t>(mNumChannels), 0.0);
    mWritePosition = 0;
}

void LatencyDelayLine::Process(const double* const* inputs, double* const* outputs, int frames)
{
    const int delayed = std::min(mNumChannels, mNumOutputChannels);
    for (int c = delayed; c < mNumOutputChannels; ++c)
        if (outputs[c])
            std::fill(outputs[c], outputs[c] + std::max(frames, 0), 0.0);
    if (mLengthFrames == 0)
    {
        for (int c = 0; c < delayed; ++c)
            if (outputs[c] && inputs[c] && outputs[c] != inputs[c])
                std::copy(inputs[c], inputs[c] + std::max(frames, 0), outputs[c]);
        return;
    }
    for (int frame = 0; frame < frames; ++frame)
    {
        double* slot =
            mBuffer.data() + static_cast<size_t>(mWritePosition) * static_cast<size_t>(mNumChannels);
        for (int c = 0; c < delayed; ++c)
        {
            // Read the input before writing the output: they may be the same buffer.
            const double input = inputs[c] ? inputs[c][frame] : 0.0;
            const double output = slot[c];
            slot[c] = input;
            if (outputs[c])
                outputs[c][frame] = output;
        }
        mWritePosition = (mWritePosition + 1) % mLengthFrames;
    }
}
