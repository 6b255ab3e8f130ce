#pragma once
// Process data for one stereo input bus and one stereo output bus, in either sample size,
// with the host's event list, parameter changes and transport context attached.

#include "tests/vst3/host/HostEventList.h"
#include "tests/vst3/host/HostParameterChanges.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <vector>

class HostProcessData
{
public:
    // Sizes the buffers for blocks of up to maxFrames in the given sample size
    // (Steinberg::Vst::kSample32 or kSample64); outputs are filled with a marker value so
    // a test sees whether the plug-in wrote them.
    HostProcessData(Steinberg::int32 symbolicSampleSize, Steinberg::int32 maxFrames);

    // Prepares the next call: frames to render, fresh output markers (unless turned off,
    // as a benchmark does to measure only the plug-in).
    Steinberg::Vst::ProcessData& Block(Steinberg::int32 frames);
    // A call as hosts make it to pass parameter changes only: no frames, no buffers.
    Steinberg::Vst::ProcessData& Flush();

    HostEventList events;
    HostParameterChanges changes;
    Steinberg::Vst::ProcessContext context{};

    bool markOutputs = true;

    // Sets every sample of one input channel in the block that Block() prepared.
    void FillInput(int channel, double value);
    double Output(int channel, int frame) const;
    // The largest absolute output sample of the last block.
    double Peak() const;

    static constexpr double kUntouched = 12345.0;

private:
    Steinberg::Vst::ProcessData data{};
    Steinberg::Vst::AudioBusBuffers input{};
    Steinberg::Vst::AudioBusBuffers output{};
    std::vector<float> floats[4];
    std::vector<double> doubles[4];
    float* floatPointers[4]{};
    double* doublePointers[4]{};
    Steinberg::int32 frames = 0;
};
