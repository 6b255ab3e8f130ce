#pragma once
// Drives a plug-in core the way a host adapter does: sets the block size, attaches the host's
// buffers in single or double precision, processes under the plug-in lock and converts the
// outputs back.

#include "framework/IPlugBase.h"

#include <vector>

class DoubleTestHost
{
public:
    explicit DoubleTestHost(IPlugBase& plugin) : mPlugin(plugin) {}

    // Connects the first two inputs and outputs, as a stereo host does, then sets up.
    void SetUpStereo(double sampleRateHz, int blockSize);
    void SetUp(double sampleRateHz, int blockSize);

    // Double precision: channels point straight at the host's buffers.
    void ProcessDouble(std::vector<std::vector<double>>& inputs, std::vector<std::vector<double>>& outputs,
                       int frames);
    // Single precision through the scratch buffers, replacing or accumulating.
    void ProcessSingle(std::vector<std::vector<float>>& inputs, std::vector<std::vector<float>>& outputs,
                       int frames, bool accumulate);

private:
    IPlugBase& mPlugin;
};
