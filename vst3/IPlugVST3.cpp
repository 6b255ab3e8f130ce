#include "vst3/IPlugVST3.h"

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kMaxViews = 10;
constexpr int32 kRestartLatencyChanged = 8;
// The most frames the scratch buffers are sized for. A host may announce any block size;
// longer blocks are rendered in pieces of this size, so an absurd announcement costs no
// absurd memory.
constexpr int32 kMaxScratchFrames = 65536;

// Normalised values are 0 to 1 by contract; one from outside (a broken host) is brought
// inside so that no parameter takes a plain value beyond its range. Not-a-number passes:
// the parameter itself knows what to make of it.
double LimitNormalized(double value)
{
  return value < 0.0 ? 0.0 : value > 1.0 ? 1.0 : value;
}

// Widens an 8-bit text character by character into a host string (at most 127 characters).
void Widen(const char* text, String128 out)
{
  int i = 0;
  for (; text && text[i] != 0 && i < 127; ++i)
    out[i] = static_cast<TChar>(static_cast<unsigned char>(text[i]));
  out[i] = 0;
}

// The speaker arrangement announced for a main bus of `channels` channels; 0 when there is
// no standard one.
SpeakerArrangement ArrangementForChannels(int channels)
{
  switch (channels)
  {
  case 1: return 0x80000;
  case 2: return 0x3;
  case 3: return 0x103;
  case 4: return 0xF00000;
  case 5: return 0x37;
  case 6: return 0x3F;
  default: return 0;
  }
}

PluginConfig WithVst3Api(PluginConfig config)
{
  config.pluginApi = kApiVst3;
  return config;
}

template <typename Sample>
Sample** ChannelBuffers(const AudioBusBuffers& bus);
template <>
float** ChannelBuffers<float>(const AudioBusBuffers& bus) { return bus.channelBuffers32; }
template <>
double** ChannelBuffers<double>(const AudioBusBuffers& bus) { return bus.channelBuffers64; }

} // namespace

IPlugVST3::IPlugVST3(const HostContext& /*host*/, const PluginConfig& config)
: IPlugBase(WithVst3Api(config))
{
  mViews.reserve(kMaxViews);
  mInputs32.assign(NumInputs(), nullptr);
  mInputs64.assign(NumInputs(), nullptr);
  mOutputs32.assign(NumOutputs(), nullptr);
  mOutputs64.assign(NumOutputs(), nullptr);
  NameBuses();
  SetInputChannelConnections(0, NumInputs(), true);
  SetOutputChannelConnections(0, NumOutputs(), true);
  if (NumInputs() > 0)
    CreateLatencyDelayLine();
}

IPlugVST3::~IPlugVST3() = default;

void IPlugVST3::NameBuses()
{
  mInputBusNames.push_back("Main Input");
  if (mSideChainChannels != 0)
    mInputBusNames.push_back("Aux Input");
  if (IsInstrument())
  {
    for (int pair = 1; pair <= NumOutputs() / 2; ++pair)
      mOutputBusNames.push_back("Output " + std::to_string(pair));
  }
  else
  {
    mOutputBusNames.push_back("Output");
  }
}

tresult PLUGIN_API IPlugVST3::queryInterface(const TUID iid, void** obj)
{
  if (obj == nullptr)
    return kInvalidArgument;
  QUERY_INTERFACE(iid, obj, IUnitInfo::iid, IUnitInfo)
  QUERY_INTERFACE(iid, obj, IComponent::iid, IComponent)
  QUERY_INTERFACE(iid, obj, IAudioProcessor::iid, IAudioProcessor)
  // The component and controller are one object; there is no peer to talk to.
  if (FUnknownPrivate::iidEqual(iid, IConnectionPoint::iid))
  {
    *obj = nullptr;
    return kNoInterface;
  }
  return SingleComponentEffect::queryInterface(iid, obj);
}

// ---- Set-up --------------------------------------------------------------------------

tresult PLUGIN_API IPlugVST3::initialize(FUnknown* context)
{
  const bool firstTime = !mInitialized && SingleComponentEffect::initialize(context) == kResultOk;
  IdentifyHostFrom(context);
  if (firstTime)
  {
    mInitialized = true;
    DeclareBuses();
    DeclareParameters();
  }
  OnHostKnown();
  {
    PlugLockGuard guard(PluginLock());
    LoadPresetSlot(0);
  }
  return firstTime ? kResultOk : kResultFalse;
}

void IPlugVST3::IdentifyHostFrom(FUnknown* context)
{
  FUnknownPtr<IHostApplication> app(context);
  if (!app)
    return;
  String128 name{};
  if (app->getName(name) != kResultOk)
    name[0] = 0;
  char narrow[128];
  int i = 0;
  for (; i < 127 && name[i] != 0; ++i)
    narrow[i] = static_cast<char>(name[i] & 0xFF);
  narrow[i] = 0;
  SetHostIdentity(IdentifyHost(narrow), 0);
}

void IPlugVST3::DeclareBuses()
{
  String128 name;
  const int mainInputs = NumInputs() - mSideChainChannels;
  if (mainInputs >= 1 && mainInputs <= 6)
  {
    Widen(mInputBusNames[0].c_str(), name);
    addAudioInput(name, ArrangementForChannels(mainInputs), kMain, BusInfo::kDefaultActive);
  }
  if (IsInstrument())
  {
    for (size_t bus = 0; bus < mOutputBusNames.size(); ++bus)
    {
      Widen(mOutputBusNames[bus].c_str(), name);
      addAudioOutput(name, SpeakerArr::kStereo, kMain, BusInfo::kDefaultActive);
    }
  }
  else
  {
    Widen("Output", name);
    addAudioOutput(name, ArrangementForChannels(NumOutputs()), kMain, BusInfo::kDefaultActive);
  }
  if (mSideChainChannels != 0)
  {
    mSideChainChannels = std::min(mSideChainChannels, 2);
    Widen(mInputBusNames.back().c_str(), name);
    addAudioInput(name, ArrangementForChannels(mSideChainChannels), kAux, 0);
  }
  if (DoesMidi())
  {
    Widen("MIDI Input", name);
    addEventInput(name, 1, kMain, BusInfo::kDefaultActive);
  }
}

void IPlugVST3::DeclareParameters()
{
  if (NumPresets() > 0)
    parameters.addParameter(STR16("Preset"), nullptr, NumPresets(), 0.0, ParameterInfo::kIsProgramChange,
                            kPresetParamId, kRootUnitId);
  if (!IsInstrument())
  {
    auto* bypass = new StringListParameter(STR16("Bypass"), kBypassParamId, nullptr,
                                           ParameterInfo::kCanAutomate | ParameterInfo::kIsList |
                                               ParameterInfo::kIsBypass,
                                           kRootUnitId);
    bypass->appendString(STR16("off"));
    bypass->appendString(STR16("on"));
    parameters.addParameter(bypass);
  }
  for (int i = 0; i < NumParams(); ++i)
    DeclareCoreParameter(i);
}

UnitID IPlugVST3::UnitForGroup(const char* group)
{
  if (group == nullptr || group[0] == 0)
    return kRootUnitId;
  for (size_t i = 0; i < mGroups.size(); ++i)
    if (mGroups[i] == group)
      return static_cast<UnitID>(i + 1);
  mGroups.emplace_back(group);
  return static_cast<UnitID>(mGroups.size());
}

void IPlugVST3::DeclareCoreParameter(int paramIndex)
{
  const PluginParameter* p = GetParam(paramIndex);
  String128 title;
  String128 units;
  Widen(p->Name(), title);
  Widen(p->GetDisplayLabel(), units);
  const UnitID unit = UnitForGroup(p->Group());
  const ParamID id = static_cast<ParamID>(paramIndex);
  const int32 automate = p->CanAutomate() ? ParameterInfo::kCanAutomate : 0;

  if (p->Type() == ParameterType::BoolType || p->Type() == ParameterType::EnumType)
  {
    auto* list = new StringListParameter(title, id, units, ParameterInfo::kIsList | automate, unit);
    for (int value = 0; value < p->NumDisplayTexts(); ++value)
    {
      const char* text = "";
      for (const DisplayTextEntry& entry : p->DisplayTexts())
        if (entry.value == value)
        {
          text = entry.text;
          break;
        }
      String128 entryText;
      Widen(text, entryText);
      list->appendString(entryText);
    }
    parameters.addParameter(list);
    return;
  }
  auto* range = new RangeParameter(title, id, units, p->Min(), p->Max(), p->DefaultValue(), 0, automate, unit);
  range->setPrecision(static_cast<int32>(p->DisplayPrecision()));
  parameters.addParameter(range);
}

tresult PLUGIN_API IPlugVST3::terminate()
{
  mViews.clear();
  mGroups.clear();
  mInitialized = false;
  return SingleComponentEffect::terminate();
}

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
      const SpeakerArrangement arr = ArrangementForChannels(nIn) ? ArrangementForChannels(nIn) : inputs[0];
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
      const SpeakerArrangement arr = ArrangementForChannels(nOut) ? ArrangementForChannels(nOut) : outputs[0];
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

uint32 PLUGIN_API IPlugVST3::getLatencySamples()
{
  return static_cast<uint32>(std::max(0, Latency()));
}

uint32 PLUGIN_API IPlugVST3::getTailSamples()
{
  return static_cast<uint32>(std::max(0, TailSize()));
}

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

// ---- Processing ----------------------------------------------------------------------

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
  if (id >= static_cast<ParamID>(NumParams()))
    return;
  const int index = static_cast<int>(id);
  GetParam(index)->SetFromNormalized(value);
  if (EditorLink* editor = Editor())
    editor->PushValueToControls(index, value, true);
  OnParameterChange(index);
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
      const double velocity = e.noteOn.velocity > 0.0f ? std::min(1.0, static_cast<double>(e.noteOn.velocity)) : 0.0;
      message.status = static_cast<uint8_t>(0x90 | channel);
      message.data2 = static_cast<uint8_t>(velocity * 127.0);
    }
    else if (e.type == Event::kNoteOffEvent)
    {
      channel = e.noteOff.channel;
      pitch = e.noteOff.pitch;
      message.status = static_cast<uint8_t>(0x80 | channel);
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
  const bool sideChainActive = mSideChainChannels != 0 && audioInputs.size() > 1 && audioInputs[1]->isActive();
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
      if (audioOutputs[bus]->isActive() && buffers != nullptr && c < hostChannels && buffers[c] != nullptr)
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

// ---- State ---------------------------------------------------------------------------

tresult PLUGIN_API IPlugVST3::getState(IBStream* state)
{
  if (state == nullptr)
    return kInvalidArgument;
  PlugLockGuard guard(PluginLock());
  ChunkBuffer chunk;
  if (!SaveState(chunk))
    return kResultFalse;
  int32 written = 0;
  if (state->write(chunk.Data(), chunk.Size(), &written) != kResultOk || written != chunk.Size())
    return kResultFalse;
  const int32 bypass = mBypassed ? 1 : 0;
  uint8 word[4] = {static_cast<uint8>(bypass), 0, 0, 0};
  if (state->write(word, 4, &written) != kResultOk || written != 4)
    return kResultFalse;
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::setState(IBStream* state)
{
  if (state == nullptr)
    return kInvalidArgument;
  PlugLockGuard guard(PluginLock());
  // The stored state has the size of the current one; what the stream lacks keeps the
  // current values.
  ChunkBuffer chunk;
  SaveState(chunk);
  const int32 size = chunk.Size();
  if (size <= 0)
    return kResultFalse;
  for (int32 got = 0; got < size;)
  {
    int32 read = 0;
    if (state->read(chunk.Data() + got, size - got, &read) != kResultOk || read <= 0)
      break;
    got += read;
  }
  LoadState(chunk, 0);

  uint8 word[4] = {};
  int32 read = 0;
  if (state->read(word, 4, &read) != kResultOk || read != 4)
    return kResultFalse;
  mBypassed = (word[0] | word[1] | word[2] | word[3]) != 0;
  RefreshParameterControls();
  return kResultOk;
}

// ---- Controller ----------------------------------------------------------------------

tresult PLUGIN_API IPlugVST3::getParameterInfo(int32 paramIndex, ParameterInfo& info)
{
  if (paramIndex < 0 || paramIndex >= parameters.getParameterCount())
    return kInvalidArgument;
  return SingleComponentEffect::getParameterInfo(paramIndex, info);
}

tresult PLUGIN_API IPlugVST3::getParamStringByValue(ParamID id, ParamValue normalized, String128 string)
{
  if (string == nullptr || id >= static_cast<ParamID>(NumParams()))
    return kResultFalse;
  const PluginParameter* p = GetParam(static_cast<int>(id));
  const double n = normalized > 0.0 ? std::min(1.0, normalized) : 0.0;
  const double plain = p->Min() + (p->Max() - p->Min()) * std::pow(n, p->Shape());

  char text[128] = {};
  const int truncated = static_cast<int>(plain);
  for (const DisplayTextEntry& entry : p->DisplayTexts())
  {
    if (entry.value == truncated && entry.text[0] != 0)
    {
      std::snprintf(text, sizeof(text), "%s", entry.text);
      break;
    }
  }
  if (text[0] == 0)
  {
    const double shown = p->NegateDisplay() ? -plain : plain;
    if (p->DisplayPrecision() > 0)
      std::snprintf(text, sizeof(text), "%.*f", static_cast<int>(p->DisplayPrecision()), shown);
    else
      std::snprintf(text, sizeof(text), "%d", static_cast<int>(shown));
  }
  Widen(text, string);
  return kResultOk;
}

ParamValue PLUGIN_API IPlugVST3::plainParamToNormalized(ParamID id, ParamValue plain)
{
  if (id >= static_cast<ParamID>(NumParams()))
    return plain;
  const PluginParameter* p = GetParam(static_cast<int>(id));
  if (!(p->Max() > p->Min()))
    return 0.0;
  const double clamped = std::clamp(plain, p->Min(), p->Max());
  return std::pow((clamped - p->Min()) / (p->Max() - p->Min()), 1.0 / p->Shape());
}

ParamValue PLUGIN_API IPlugVST3::getParamNormalized(ParamID id)
{
  if (id == kBypassParamId)
    return mBypassed ? 1.0 : 0.0;
  if (id >= static_cast<ParamID>(NumParams()))
    return 0.0;
  const PluginParameter* p = GetParam(static_cast<int>(id));
  return p->GetNormalized();
}

tresult PLUGIN_API IPlugVST3::setParamNormalized(ParamID id, ParamValue value)
{
  if (id >= static_cast<ParamID>(NumParams()))
    return kResultFalse;
  GetParam(static_cast<int>(id))->SetFromNormalized(LimitNormalized(value));
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getParamValueByString(ParamID id, TChar* string, ParamValue& normalized)
{
  // The parameters' own parsers would read through a missing text.
  if (string == nullptr)
    return kInvalidArgument;
  ParamValue parsed = 0.0;
  if (SingleComponentEffect::getParamValueByString(id, string, parsed) != kResultTrue || std::isnan(parsed))
    return kResultFalse;
  normalized = LimitNormalized(parsed);
  return kResultOk;
}

IPlugView* PLUGIN_API IPlugVST3::createView(FIDString /*name*/)
{
  return nullptr;
}

// ---- Units and programs --------------------------------------------------------------

int32 PLUGIN_API IPlugVST3::getUnitCount()
{
  return static_cast<int32>(mGroups.size()) + 1;
}

tresult PLUGIN_API IPlugVST3::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
  if (unitIndex < 0 || unitIndex > static_cast<int32>(mGroups.size()))
    return kResultFalse;
  info.id = unitIndex;
  info.parentUnitId = unitIndex == 0 ? kNoParentUnitId : kRootUnitId;
  info.programListId = kNoProgramListId;
  Widen(unitIndex == 0 ? "Root Unit" : mGroups[unitIndex - 1].c_str(), info.name);
  return kResultOk;
}

int32 PLUGIN_API IPlugVST3::getProgramListCount()
{
  return 0;
}

tresult PLUGIN_API IPlugVST3::getProgramListInfo(int32 listIndex, ProgramListInfo& info)
{
  if (listIndex != 0)
    return kResultFalse;
  info.id = kPresetListId;
  Widen("Factory Presets", info.name);
  info.programCount = NumPresets();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name)
{
  if (listId != kPresetListId || name == nullptr)
    return kResultFalse;
  Widen(PresetNameAt(programIndex), name);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramInfo(ProgramListID, int32, Vst::CString, String128)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::hasProgramPitchNames(ProgramListID, int32)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::getProgramPitchName(ProgramListID, int32, int16, String128)
{
  return kNotImplemented;
}

UnitID PLUGIN_API IPlugVST3::getSelectedUnit()
{
  return kRootUnitId;
}

tresult PLUGIN_API IPlugVST3::selectUnit(UnitID)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::setUnitProgramData(int32, int32, IBStream*)
{
  return kNotImplemented;
}

// ---- Services for the core -----------------------------------------------------------

void IPlugVST3::BeginParameterEdit(int paramIndex)
{
  beginEdit(static_cast<ParamID>(paramIndex));
}

void IPlugVST3::NotifyHostOfParameterChange(int paramIndex, double normalizedValue)
{
  performEdit(static_cast<ParamID>(paramIndex), normalizedValue);
}

void IPlugVST3::EndParameterEdit(int paramIndex)
{
  endEdit(static_cast<ParamID>(paramIndex));
}

void IPlugVST3::NotifyHostOfPresetChange() {}

bool IPlugVST3::RendersOffline()
{
  return processSetup.processMode == kOffline;
}

double IPlugVST3::GetSamplePosition()
{
  return static_cast<double>(static_cast<int32>(mContext.projectTimeSamples));
}

double IPlugVST3::QueryTempo()
{
  return mContext.tempo;
}

void IPlugVST3::GetTimeSignature(int& numerator, int& denominator)
{
  numerator = mContext.timeSigNumerator;
  denominator = mContext.timeSigDenominator;
}

void IPlugVST3::GetTimeInfo(TimeInfo& info)
{
  info.tempoBpm = mContext.tempo;
  info.samplePosition = static_cast<double>(mContext.projectTimeSamples);
  info.positionQuarterNotes = mContext.projectTimeMusic;
  info.lastBarStartQuarterNotes = mContext.barPositionMusic;
  info.cycleStartQuarterNotes = mContext.cycleStartMusic;
  info.cycleEndQuarterNotes = mContext.cycleEndMusic;
  info.timeSignatureNumerator = mContext.timeSigNumerator;
  info.timeSignatureDenominator = mContext.timeSigDenominator;
  info.transportPlaying = (mContext.state & ProcessContext::kPlaying) != 0;
  info.cycleActive = (mContext.state & ProcessContext::kCycleActive) != 0;
}

void IPlugVST3::ResizeEditor(int /*width*/, int /*height*/)
{
  // Resizing goes through the open view's frame; without an open view there is nothing to do.
}

void IPlugVST3::InitForHost() {}

void IPlugVST3::SetLatency(int latencySamples)
{
  IPlugBase::SetLatency(latencySamples);
  if (IComponentHandler* handler = getComponentHandler())
    handler->restartComponent(kRestartLatencyChanged);
}

bool IPlugVST3::SendMidiMessage(const MidiMessage& /*message*/)
{
  return false;
}

void IPlugVST3::ShowHostContextMenu(int paramIndex, int x, int y)
{
  IComponentHandler* handler = getComponentHandler();
  if (handler == nullptr || mViews.empty())
    return;
  FUnknownPtr<IComponentHandler3> handler3(handler);
  if (!handler3)
    return;
  const ParamID id = static_cast<ParamID>(paramIndex);
  if (IContextMenu* menu = handler3->createContextMenu(mViews.front(), &id))
  {
    menu->popup(static_cast<UCoord>(x), static_cast<UCoord>(y));
    menu->release();
  }
}
