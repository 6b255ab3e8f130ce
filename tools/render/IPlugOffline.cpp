#include "tools/render/IPlugOffline.h"

#include <cmath>
#include <cstring>

namespace
{

// The offline renderer mirrors the VST3 set-up, so the instance sees the same API value.
PluginConfig WithOfflineApi(PluginConfig config)
{
    config.pluginApi = kApiVst3;
    return config;
}

} // namespace

IPlugOffline::IPlugOffline(const HostContext&, const PluginConfig& config) : IPlugBase(WithOfflineApi(config))
{
    SetInputChannelConnections(0, NumInputs(), true);
    SetOutputChannelConnections(0, NumOutputs(), true);
}

void IPlugOffline::SetUpProcessing(double sampleRateHz, int maxBlockFrames)
{
    PlugLockGuard guard(PluginLock());
    SetSampleRate(sampleRateHz);
    ApplyBlockSize(maxBlockFrames);
    mFramesProcessed = 0;
    ResetProcessing();
}

bool IPlugOffline::RestoreParameterValue(int paramIndex, double plainValue)
{
    return SetParameterFromHost(paramIndex, plainValue, false);
}

void IPlugOffline::ProcessDoubleBlock(const MidiMessage* messages, int numMessages, double* const* inputs,
                                      double* const* outputs, int frames)
{
    PlugLockGuard guard(PluginLock());
    for (int i = 0; i < numMessages; ++i)
        ProcessMidiMessage(messages[i]);
    AttachInputBuffers(0, NumInputs(), inputs);
    AttachOutputBuffers(0, NumOutputs(), outputs);
    ProcessBlock(InputPointers(), OutputPointers(), frames);
    if (frames > 0)
        mFramesProcessed += frames;
}

int IPlugOffline::FindParameter(const char* name) const
{
    for (int i = 0; i < NumParams(); ++i)
    {
        if (std::strcmp(GetParam(i)->Name(), name) == 0)
            return i;
    }
    return -1;
}

bool IPlugOffline::RendersOffline() { return true; }

double IPlugOffline::GetSamplePosition() { return static_cast<double>(mFramesProcessed); }

double IPlugOffline::QueryTempo() { return mTempoBpm; }

void IPlugOffline::GetTimeSignature(int& numerator, int& denominator)
{
    numerator = 4;
    denominator = 4;
}

void IPlugOffline::GetTimeInfo(TimeInfo& info)
{
    info.tempoBpm = mTempoBpm;
    info.samplePosition = static_cast<double>(mFramesProcessed);
    const double seconds = SampleRate() > 0.0 ? info.samplePosition / SampleRate() : 0.0;
    info.positionQuarterNotes = seconds * mTempoBpm / 60.0;
    info.lastBarStartQuarterNotes = 4.0 * std::floor(info.positionQuarterNotes / 4.0);
    info.timeSignatureNumerator = 4;
    info.timeSignatureDenominator = 4;
    info.transportPlaying = true;
    info.cycleActive = false;
}
