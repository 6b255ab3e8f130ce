#pragma once
// Delays the inputs by the plug-in's latency when it is bypassed, so that a bypassed
// instance stays aligned with the host's latency compensation. One ring buffer holds every
// input channel, frame by frame.

#include <cstdint>
#include <vector>

class LatencyDelayLine
{
public:
    LatencyDelayLine(int numChannels, int numOutputChannels, int lengthFrames);

    // Resizes to the new latency and forgets everything held so far.
    void SetLength(int lengthFrames);

    // Each output that has a matching input gets that input delayed by the length; the other
    // outputs are zeroed. Inputs and outputs may be the same buffers. Null pointers are
    // skipped.
    void Process(const double* const* inputs, double* const* outputs, int frames);

    int LengthFrames() const { return mLengthFrames; }
    int NumChannels() const { return mNumChannels; }
    int NumOutputChannels() const { return mNumOutputChannels; }

private:
    std::vector<double> mBuffer; // mLengthFrames frames of mNumChannels samples
    int32_t mWritePosition = 0;
    int mNumChannels = 0;
    int mNumOutputChannels = 0;
    int mLengthFrames = 0;
};
