#include "tests/vst3/host/HostProcessData.h"

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

HostProcessData::HostProcessData(int32 symbolicSampleSize, int32 maxFrames)
{
    for (int i = 0; i < 4; ++i)
    {
        floats[i].assign(maxFrames, 0.0f);
        doubles[i].assign(maxFrames, 0.0);
        floatPointers[i] = floats[i].data();
        doublePointers[i] = doubles[i].data();
    }
    const bool is64 = symbolicSampleSize == kSample64;
    input.numChannels = 2;
    output.numChannels = 2;
    if (is64)
    {
        input.channelBuffers64 = doublePointers;
        output.channelBuffers64 = doublePointers + 2;
    }
    else
    {
        input.channelBuffers32 = floatPointers;
        output.channelBuffers32 = floatPointers + 2;
    }
    data.processMode = kRealtime;
    data.symbolicSampleSize = symbolicSampleSize;
    context.sampleRate = 44100.0;
    context.tempo = 120.0;
    context.timeSigNumerator = 4;
    context.timeSigDenominator = 4;
    context.state = ProcessContext::kTempoValid | ProcessContext::kTimeSigValid;
}

ProcessData& HostProcessData::Block(int32 blockFrames)
{
    frames = blockFrames;
    for (int i = 2; i < 4 && markOutputs; ++i)
    {
        std::fill(floats[i].begin(), floats[i].end(), static_cast<float>(kUntouched));
        std::fill(doubles[i].begin(), doubles[i].end(), kUntouched);
    }
    data.numSamples = blockFrames;
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &input;
    data.outputs = &output;
    data.inputParameterChanges = &changes;
    data.inputEvents = &events;
    data.processContext = &context;
    return data;
}

ProcessData& HostProcessData::Flush()
{
    frames = 0;
    data.numSamples = 0;
    data.numInputs = 0;
    data.numOutputs = 0;
    data.inputs = nullptr;
    data.outputs = nullptr;
    data.inputParameterChanges = &changes;
    data.inputEvents = nullptr;
    data.processContext = nullptr;
    return data;
}

void HostProcessData::FillInput(int channel, double value)
{
    std::fill_n(floats[channel].begin(), frames, static_cast<float>(value));
    std::fill_n(doubles[channel].begin(), frames, value);
}

double HostProcessData::Output(int channel, int frame) const
{
    return data.symbolicSampleSize == kSample64 ? doubles[2 + channel][frame] : floats[2 + channel][frame];
}

double HostProcessData::Peak() const
{
    double peak = 0.0;
    for (int c = 0; c < 2; ++c)
        for (int32 f = 0; f < frames; ++f)
            peak = std::max(peak, std::fabs(Output(c, f)));
    return peak;
}
