#include "vst3/IPlugVST3.h"
#include "vst3/Vst3Conversions.h"
#include "framework/MidiMessage.h"

#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>

// The audio processor: bus arrangements, processing set-up, and process (parameter changes,
// then events, then audio).

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Vst3Conversions;

namespace
{

// The most frames the scratch buffers are sized for. A host may announce any block size;
// longer blocks are rendered in pieces of this size, so an absurd announcement costs no
// absurd memory.
constexpr int32 kMaxScratchFrames = 65536;

template <typename Sample>
Sample** ChannelBuffers(const AudioBusBuffers& bus);
template <>
float** ChannelBuffers<float>(const AudioBusBuffers& bus)
{
    return bus.channelBuffers32;
}
template <>
double** ChannelBuffers<double>(const AudioBusBuffers& bus)
{
    return bus.channelBuffers64;
}

} // namespace

tresult PLUGIN_API IPlugVST3::setActive(TBool state)
{
    OnActivationChanged(state != 0);
    return kResultOk;
}

tresult PLUGIN_API IPlugVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts)
{
    if (numIns < 0 || numOuts < 0 || (numIns > 0 && inputs == nullptr) || (numOuts > 0 && outputs == nullptr))
        return kInvalidArgument;
    SetInputChannelConnections(0, NumInputs(), false);
    SetOutputChannelConnections(0, NumOutputs(), false);

    const int nIn = numIns > 0 ? SpeakerArr::getChannelCount(inputs[0]) : 0;
    const int nOut = numOuts > 0 ? SpeakerArr::getChannelCount(outputs[0]) : 0;
    if (!LegalIO(nIn, nOut))
        return kResultFalse;

    String128 name;
    if (!audioInputs.empty() && numIns > 0)
    {
        BusInfo info{};
        audioInputs[0]->getInfo(info);
        if (info.channelCount != nIn)
        {
            Widen("Input", name);
            const SpeakerArrangement arr =
                ArrangementForChannels(nIn) ? ArrangementForChannels(nIn) : inputs[0];
            audioInputs[0] = IPtr<Bus>(new AudioBus(name, kMain, BusInfo::kDefaultActive, arr), false);
        }
    }
    if (!audioOutputs.empty() && numOuts > 0)
    {
        BusInfo info{};
        audioOutputs[0]->getInfo(info);
        if (info.channelCount != nOut)
        {
            Widen("Output", name);
            const SpeakerArrangement arr =
                ArrangementForChannels(nOut) ? ArrangementForChannels(nOut) : outputs[0];
            audioOutputs[0] = IPtr<Bus>(new AudioBus(name, kMain, BusInfo::kDefaultActive, arr), false);
        }
    }
    if (mSideChainChannels != 0 && numIns == 2 && audioInputs.size() > 1)
    {
        BusInfo info{};
        audioInputs[1]->getInfo(info);
        if (info.channelCount != SpeakerArr::getChannelCount(inputs[1]))
        {
            Widen("Sidechain Input", name);
            audioInputs[1] = IPtr<Bus>(new AudioBus(name, kAux, 0, inputs[1]), false);
        }
    }
    return kResultOk;
}

tresult PLUGIN_API IPlugVST3::canProcessSampleSize(int32 symbolicSampleSize)
{
    return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API IPlugVST3::getLatencySamples() { return static_cast<uint32>(std::max(0, Latency())); }

uint32 PLUGIN_API IPlugVST3::getTailSamples() { return static_cast<uint32>(std::max(0, TailSize())); }

tresult PLUGIN_API IPlugVST3::setupProcessing(ProcessSetup& setup)
{
    if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue)
        return kResultFalse;
    PlugLockGuard guard(PluginLock());
    mBypassed = false;
    SetSampleRate(setup.sampleRate);
    ApplyBlockSize(std::clamp(setup.maxSamplesPerBlock, 0, kMaxScratchFrames));
    ResetProcessing();
    processSetup = setup;
    return kResultOk;
}

tresult PLUGIN_API IPlugVST3::process(ProcessData& data)
{
    PlugLockGuard guard(PluginLock());
    if (data.processContext)
        mContext = *data.processContext;
    ApplyParameterChanges(data.inputParameterChanges);
    if (DoesMidi() && data.inputEvents)
        ConvertEvents(*data.inputEvents);

    // A parameter flush (no frames, no buffers) or a call before set-up renders nothing: the
    // engine must never be handed missing buffers.
    const int frames = data.numSamples;
    if (frames <= 0)
        return kResultOk;
    if (BlockSize() <= 0 || data.numOutputs <= 0 || data.outputs == nullptr)
    {
        SilenceHostOutputs(data);
        return kResultOk;
    }
    if (data.symbolicSampleSize == kSample64)
    {
        GatherHostBuffers<double>(data, mInputs64, mOutputs64);
        Render64(frames);
    }
    else if (data.symbolicSampleSize == kSample32)
    {
        GatherHostBuffers<float>(data, mInputs32, mOutputs32);
        Render32(frames);
    }
    else
    {
        // Buffers of a size nobody announced: writing either kind could run past them.
        return kResultOk;
    }
    for (int32 bus = 0; bus < data.numOutputs; ++bus)
        data.outputs[bus].silenceFlags = 0;
    return kResultOk;
}

void IPlugVST3::ApplyParameterChanges(IParameterChanges* changes)
{
    if (changes == nullptr)
        return;
    const int32 queues = changes->getParameterCount();
    for (int32 q = 0; q < queues; ++q)
    {
        IParamValueQueue* queue = changes->getParameterData(q);
        if (queue == nullptr)
            continue;
        const int32 points = queue->getPointCount();
        int32 offset = 0;
        ParamValue value = 0.0;
        // Changes are applied once per block, before its audio: only the last point counts.
        if (points <= 0 || queue->getPoint(points - 1, offset, value) != kResultOk)
            continue;
        ApplyParameterChange(queue->getParameterId(), LimitNormalized(value));
    }
}

void IPlugVST3::ApplyParameterChange(ParamID id, double value)
{
    if (id == kBypassParamId)
    {
        mBypassed = value > 0.5;
        return;
    }
    if (id == kPresetParamId)
    {
        const double program = value * NumPresets();
        if (program >= 0.0 && program < 2147483647.0)
            LoadPresetSlot(static_cast<int>(program));
        return;
    }
    if (id < static_cast<ParamID>(NumParams()))
        SetParameterFromHost(static_cast<int>(id), value, true);
}

void IPlugVST3::ConvertEvents(IEventList& events)
{
    const int32 count = events.getEventCount();
    for (int32 i = 0; i < count; ++i)
    {
        Event e{};
        if (events.getEvent(i, e) != kResultOk)
            continue;
        MidiMessage message;
        message.sampleOffset = e.sampleOffset;
        int channel = 0;
        int pitch = 0;
        if (e.type == Event::kNoteOnEvent)
        {
            channel = e.noteOn.channel;
            pitch = e.noteOn.pitch;
            // Out-of-range or broken velocities are limited to what a MIDI data byte can hold.
            const double velocity =
                e.noteOn.velocity > 0.0f ? std::min(1.0, static_cast<double>(e.noteOn.velocity)) : 0.0;
            message.status = MidiStatus(kMidiNoteOn, channel);
            message.data2 = static_cast<uint8_t>(velocity * 127.0);
        }
        else if (e.type == Event::kNoteOffEvent)
        {
            channel = e.noteOff.channel;
            pitch = e.noteOff.pitch;
            message.status = MidiStatus(kMidiNoteOff, channel);
            message.data2 = 0;
        }
        else
        {
            continue;
        }
        // A pitch or channel a MIDI message cannot carry would index past the note tables.
        if (channel < 0 || channel > 15 || pitch < 0 || pitch > 127)
            continue;
        message.data1 = static_cast<uint8_t>(pitch);
        ProcessMidiMessage(message);
    }
}

template <typename Sample>
void IPlugVST3::GatherHostBuffers(const ProcessData& data, std::vector<Sample*>& inputs,
                                  std::vector<Sample*>& outputs)
{
    // Inputs: the main bus feeds the first core channels, the side-chain bus (when there is
    // one and it is active) the channels after them. Missing buffers leave channels on their
    // scratch buffers.
    SetInputChannelConnections(0, NumInputs(), false);
    const int connectedBefore = mConnectedInputs;
    mConnectedInputs = 0;
    const int mainChannels = NumInputs() - mSideChainChannels;
    for (int32 bus = 0; bus < data.numInputs && data.inputs != nullptr && bus < 2; ++bus)
    {
        const bool sideChain = bus == 1;
        if (sideChain && (mSideChainChannels == 0 || audioInputs.size() < 2 || !audioInputs[1]->isActive()))
            break;
        Sample** buffers = ChannelBuffers<Sample>(data.inputs[bus]);
        const int first = sideChain ? mainChannels : 0;
        const int wanted = sideChain ? mSideChainChannels : mainChannels;
        const int available = buffers ? std::min(wanted, static_cast<int>(data.inputs[bus].numChannels)) : 0;
        for (int c = 0; c < available; ++c)
        {
            if (buffers[c] == nullptr)
                break;
            SetInputChannelConnections(first + c, 1, true);
            inputs[mConnectedInputs++] = buffers[c];
        }
    }
    const bool sideChainActive =
        mSideChainChannels != 0 && audioInputs.size() > 1 && audioInputs[1]->isActive();
    // A channel that loses its host buffer falls back to its scratch buffer, which must not
    // replay the last input it was given (a bypass would pass that on every block).
    if ((mSideChainActive && !sideChainActive) || mConnectedInputs < connectedBefore)
        ZeroScratchBuffers();
    mSideChainActive = sideChainActive;

    // Outputs: each bus takes the next run of core channels; a channel is connected when its
    // bus is active and the host gave a buffer for it.
    SetOutputChannelConnections(0, NumOutputs(), false);
    mConnectedOutputs = 0;
    int nextChannel = 0;
    for (size_t bus = 0; bus < audioOutputs.size() && nextChannel < NumOutputs(); ++bus)
    {
        auto* audioBus = FCast<AudioBus>(audioOutputs[bus].get());
        const int busChannels = audioBus ? SpeakerArr::getChannelCount(audioBus->getArrangement()) : 0;
        const bool hostBus = static_cast<int32>(bus) < data.numOutputs;
        Sample** buffers = hostBus ? ChannelBuffers<Sample>(data.outputs[bus]) : nullptr;
        const int hostChannels = hostBus ? data.outputs[bus].numChannels : 0;
        for (int c = 0; c < busChannels && nextChannel < NumOutputs(); ++c, ++nextChannel)
        {
            if (audioOutputs[bus]->isActive() && buffers != nullptr && c < hostChannels &&
                buffers[c] != nullptr)
            {
                SetOutputChannelConnections(nextChannel, 1, true);
                outputs[mConnectedOutputs++] = buffers[c];
            }
        }
    }
}

// Hosts may send blocks longer than they announced; the block is then rendered in pieces of
// the announced size, which is what the scratch buffers hold. MIDI offsets carry over.
void IPlugVST3::Render32(int frames)
{
    for (int done = 0; done < frames;)
    {
        const int n = UsableFrames(frames - done);
        if (n <= 0)
            break;
        AttachInputBuffers(0, NumInputs(), mInputs32.data(), n);
        AttachOutputBuffers(0, NumOutputs(), mOutputs32.data());
        if (mBypassed)
        {
            PassInputsThrough(n);
        }
        else
        {
            ProcessBlock(InputPointers(), OutputPointers(), n);
            ConvertOutputsToFloat(n, false);
        }
        for (int c = 0; c < mConnectedInputs; ++c)
            mInputs32[c] += n;
        for (int c = 0; c < mConnectedOutputs; ++c)
            mOutputs32[c] += n;
        done += n;
    }
}

void IPlugVST3::Render64(int frames)
{
    for (int done = 0; done < frames;)
    {
        const int n = UsableFrames(frames - done);
        if (n <= 0)
            break;
        AttachInputBuffers(0, NumInputs(), mInputs64.data());
        AttachOutputBuffers(0, NumOutputs(), mOutputs64.data());
        // The pass-through writes straight into the host's buffers here (nothing to convert).
        if (mBypassed)
            PassInputsThrough(n);
        else
            ProcessBlock(InputPointers(), OutputPointers(), n);
        for (int c = 0; c < mConnectedInputs; ++c)
            mInputs64[c] += n;
        for (int c = 0; c < mConnectedOutputs; ++c)
            mOutputs64[c] += n;
        done += n;
    }
}

void IPlugVST3::SilenceHostOutputs(const ProcessData& data)
{
    if (data.outputs == nullptr)
        return;
    for (int32 bus = 0; bus < data.numOutputs; ++bus)
    {
        const AudioBusBuffers& out = data.outputs[bus];
        for (int32 c = 0; c < out.numChannels; ++c)
        {
            if (data.symbolicSampleSize == kSample64 && out.channelBuffers64 && out.channelBuffers64[c])
                std::fill_n(out.channelBuffers64[c], data.numSamples, 0.0);
            else if (data.symbolicSampleSize == kSample32 && out.channelBuffers32 && out.channelBuffers32[c])
                std::fill_n(out.channelBuffers32[c], data.numSamples, 0.0f);
        }
    }
}
