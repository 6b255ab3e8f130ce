#pragma once
// The adapter of the offline renderer: it plays the host for one plug-in instance from a
// script instead of a host application. It sets the instance up as a VST3 host does
// (sample rate, maximum block size, then ResetProcessing), restores parameter values as a
// host restoring a project does, and processes blocks in double precision with their MIDI
// messages, holding the plug-in lock around each of these entry points as every adapter
// does. Edits and notifications meant for a host go nowhere; the transport is a steadily
// playing timeline at the scripted tempo.

#include "framework/IPlugBase.h"

class IPlugOffline : public IPlugBase
{
public:
    // The scripted host needs nothing from the instance's creator.
    struct HostContext
    {
    };

    IPlugOffline(const HostContext& host, const PluginConfig& config);

    // ---- The scripted host's entry points (each takes the plug-in lock) ---------------

    // Sample rate and maximum block size, then the instance's ResetProcessing.
    // [host thread, takes the plug-in lock]
    void SetUpProcessing(double sampleRateHz, int maxBlockFrames);
    // Sets a parameter's plain value and notifies the instance, as restoring a saved value
    // does. False for an unknown index.
    // [host thread, takes the plug-in lock]
    bool RestoreParameterValue(int paramIndex, double plainValue);
    // Hands the block's MIDI messages to ProcessMidiMessage in order, then renders the
    // block: the double-precision buffers are attached to the connected channels and
    // ProcessBlock runs. Both buffer arrays hold one pointer per channel.
    // [audio thread, takes the plug-in lock]
    void ProcessDoubleBlock(const MidiMessage* messages, int numMessages, double* const* inputs,
                            double* const* outputs, int frames);
    // The index of the parameter with this name, or -1.
    int FindParameter(const char* name) const;
    // The tempo QueryTempo and GetTimeInfo answer.
    void SetHostTempo(double tempoBpm) { mTempoBpm = tempoBpm; }

    // ---- Host services for the instance --------------------------------------------------

    // [audio thread, under the plug-in lock]
    bool RendersOffline() override;
    // Frames processed since the set-up. [audio thread, under the plug-in lock]
    double GetSamplePosition() override;
    // [audio thread, under the plug-in lock]
    double QueryTempo() override;
    // A fixed 4/4. [audio thread, under the plug-in lock]
    void GetTimeSignature(int& numerator, int& denominator) override;
    // Tempo, position and a running transport. [audio thread, under the plug-in lock]
    void GetTimeInfo(TimeInfo& info) override;

private:
    double mTempoBpm = 120.0;
    int64_t mFramesProcessed = 0;
};
