#include "vst2/IPlugVST.h"

#include <algorithm>

// The entries a host calls directly, mostly from its audio thread: the three process
// entries, set and get parameter, and the MIDI the dispatcher hands over (operation 25).
// Each takes the plug-in lock for its whole duration.

namespace
{

// Points each of `count` piece pointers `offset` samples into the host's buffer (none where
// the host gave none).
template <typename Sample>
void PointPieces(std::vector<Sample*>& pieces, Sample* const* hostBuffers, int offset)
{
    for (size_t c = 0; c < pieces.size(); ++c)
        pieces[c] = (hostBuffers && hostBuffers[c]) ? hostBuffers[c] + offset : nullptr;
}

} // namespace

void IPlugVST::ProcessReplacingEntry(Vst2Descriptor* descriptor, float** inputs, float** outputs,
                                     int32_t frames)
{
    if (IPlugVST* instance = Instance(descriptor))
        instance->ProcessFloat(inputs, outputs, frames, false);
}

void IPlugVST::ProcessAccumulatingEntry(Vst2Descriptor* descriptor, float** inputs, float** outputs,
                                        int32_t frames)
{
    if (IPlugVST* instance = Instance(descriptor))
        instance->ProcessFloat(inputs, outputs, frames, true);
}

void IPlugVST::ProcessDoubleReplacingEntry(Vst2Descriptor* descriptor, double** inputs, double** outputs,
                                           int32_t frames)
{
    if (IPlugVST* instance = Instance(descriptor))
        instance->ProcessDouble(inputs, outputs, frames);
}

void IPlugVST::SetParameterEntry(Vst2Descriptor* descriptor, int32_t index, float value)
{
    // The host is not told back: the value came from it.
    if (IPlugVST* instance = Instance(descriptor))
        instance->SetParameterFromHost(index, value, true);
}

float IPlugVST::GetParameterEntry(Vst2Descriptor* descriptor, int32_t index)
{
    IPlugVST* instance = Instance(descriptor);
    if (!instance)
        return 0.0f;
    PlugLockGuard guard(instance->PluginLock());
    const PluginParameter* param = instance->GetParam(index);
    return param ? static_cast<float>(param->GetNormalized()) : 0.0f;
}

void IPlugVST::ResetForHost()
{
    ResetProcessing();
    mProcessingReady = true;
}

void IPlugVST::EnsureProcessingReady()
{
    // A host that processes before any set-up still gets a playing instrument, reset once at
    // the default rate and block size (this once, the audio thread may allocate).
    if (!mProcessingReady)
        ResetForHost();
}

void IPlugVST::ProcessFloat(float** inputs, float** outputs, int frames, bool accumulate)
{
    RenderInPieces(inputs, outputs, frames, mFloatInputs, mFloatOutputs,
                   [this, accumulate](int n)
                   {
                       AttachInputBuffers(0, NumInputs(), mFloatInputs.data(), n);
                       AttachOutputBuffers(0, NumOutputs(), mFloatOutputs.data());
                       ProcessBlock(InputPointers(), OutputPointers(), n);
                       ConvertOutputsToFloat(n, accumulate);
                   });
}

void IPlugVST::ProcessDouble(double** inputs, double** outputs, int frames)
{
    RenderInPieces(inputs, outputs, frames, mDoubleInputs, mDoubleOutputs,
                   [this](int n)
                   {
                       AttachInputBuffers(0, NumInputs(), mDoubleInputs.data());
                       AttachOutputBuffers(0, NumOutputs(), mDoubleOutputs.data());
                       ProcessBlock(InputPointers(), OutputPointers(), n);
                   });
}

template <typename Sample, typename RenderPiece>
void IPlugVST::RenderInPieces(Sample** inputs, Sample** outputs, int frames,
                              std::vector<Sample*>& inputPieces, std::vector<Sample*>& outputPieces,
                              RenderPiece renderPiece)
{
    PlugLockGuard guard(PluginLock());
    if (DoesMidi())
        Callback(kVst2HostWantMidi);
    EnsureProcessingReady();
    for (int done = 0; done < frames;)
    {
        const int n = UsableFrames(frames - done);
        if (n <= 0)
            break;
        PointPieces(inputPieces, inputs, done);
        PointPieces(outputPieces, outputs, done);
        renderPiece(n);
        done += n;
    }
}

intptr_t IPlugVST::ReceiveEvents(const Vst2EventList* events)
{
    if (!events)
        return 0;
    for (int32_t i = 0; i < events->numEvents; ++i)
    {
        const Vst2Event* event = events->events[i];
        if (!event)
            continue;
        if (event->type == kVst2EventMidi)
        {
            const auto* midi = reinterpret_cast<const Vst2MidiEvent*>(event);
            MidiMessage message;
            message.sampleOffset = midi->deltaFrames;
            message.status = midi->midiData[0];
            message.data1 = midi->midiData[1];
            message.data2 = midi->midiData[2];
            ProcessMidiMessage(message);
        }
        else if (event->type == kVst2EventSysEx)
        {
            const auto* sysex = reinterpret_cast<const Vst2SysExEvent*>(event);
            SysExMessage message;
            message.sampleOffset = sysex->deltaFrames;
            message.sizeBytes = sysex->dumpBytes;
            message.bytes = sysex->sysexDump;
            ProcessSysExMessage(message);
        }
    }
    return 1;
}
