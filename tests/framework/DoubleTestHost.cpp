#include "tests/framework/DoubleTestHost.h"

namespace
{
template <typename T>
std::vector<T*> Pointers(std::vector<std::vector<T>>& buffers)
{
    std::vector<T*> pointers;
    for (auto& buffer : buffers)
        pointers.push_back(buffer.data());
    return pointers;
}
} // namespace

void DoubleTestHost::SetUpStereo(double sampleRateHz, int blockSize)
{
    mPlugin.SetInputChannelConnections(0, 2, true);
    mPlugin.SetOutputChannelConnections(0, 2, true);
    SetUp(sampleRateHz, blockSize);
}

void DoubleTestHost::SetUp(double sampleRateHz, int blockSize)
{
    PlugLockGuard guard(mPlugin.PluginLock());
    mPlugin.SetSampleRate(sampleRateHz);
    mPlugin.ApplyBlockSize(blockSize);
    mPlugin.ResetProcessing();
}

void DoubleTestHost::ProcessDouble(std::vector<std::vector<double>>& inputs,
                                   std::vector<std::vector<double>>& outputs, int frames)
{
    std::vector<double*> in = Pointers(inputs);
    std::vector<double*> out = Pointers(outputs);
    PlugLockGuard guard(mPlugin.PluginLock());
    mPlugin.AttachInputBuffers(0, mPlugin.NumInputs(), in.data());
    mPlugin.AttachOutputBuffers(0, mPlugin.NumOutputs(), out.data());
    mPlugin.ProcessBlock(mPlugin.InputPointers(), mPlugin.OutputPointers(), frames);
}

void DoubleTestHost::ProcessSingle(std::vector<std::vector<float>>& inputs,
                                   std::vector<std::vector<float>>& outputs, int frames, bool accumulate)
{
    std::vector<float*> in = Pointers(inputs);
    std::vector<float*> out = Pointers(outputs);
    PlugLockGuard guard(mPlugin.PluginLock());
    const int usable = mPlugin.UsableFrames(frames);
    mPlugin.AttachInputBuffers(0, mPlugin.NumInputs(), in.data(), usable);
    mPlugin.AttachOutputBuffers(0, mPlugin.NumOutputs(), out.data());
    mPlugin.ProcessBlock(mPlugin.InputPointers(), mPlugin.OutputPointers(), usable);
    mPlugin.ConvertOutputsToFloat(usable, accumulate);
}
