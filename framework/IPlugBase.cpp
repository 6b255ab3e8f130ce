#include "framework/IPlugBase.h"

#include "framework/TextCopy.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
constexpr const char* kUserPresetText = "user preset";
constexpr const char* kUnnamedDefaultPreset = "Empty";
// The channel string is the plug-in's own, but a typo such as "2-22222222" must not try to
// allocate billions of channels.
constexpr int kMaxChannels = 256;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads a decimal integer the way "%d" does (leading white space skipped, optional sign);
// out-of-range numbers saturate instead of being undefined.
bool ReadDecimal(const char*& text, int& value)
{
    const char* start = text;
    while (IsBlank(*start))
        ++start;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(start, &end, 10);
    if (end == start)
        return false;
    value = static_cast<int>(std::max<long>(INT_MIN, std::min<long>(INT_MAX, parsed)));
    text = end;
    return true;
}

// One "inputs-outputs" pair at the start of the text; {0, 0} when it cannot be read.
ChannelIoPair ReadChannelIoPair(const char* text)
{
    ChannelIoPair pair;
    int numInputs = 0;
    int numOutputs = 0;
    const char* p = text;
    if (ReadDecimal(p, numInputs) && *p == '-')
    {
        ++p;
        if (ReadDecimal(p, numOutputs))
        {
            pair.numInputs = numInputs;
            pair.numOutputs = numOutputs;
        }
    }
    return pair;
}

// Walks the channels firstChannel .. firstChannel + numChannels - 1 that exist. Each
// points at its own scratch buffer first; a connected channel then takes the next host
// buffer (only connected channels consume host buffers), or none when the host gave none.
template <typename Channel, typename HostBuffer, typename Take>
void AttachChannels(std::vector<Channel>& channels, int firstChannel, int numChannels,
                    HostBuffer* const* hostBuffers, Take take)
{
    const int64_t end = std::min<int64_t>(static_cast<int64_t>(firstChannel) + numChannels,
                                          static_cast<int64_t>(channels.size()));
    int next = 0;
    for (int64_t i = std::max(firstChannel, 0); i < end; ++i)
    {
        Channel& channel = channels[static_cast<size_t>(i)];
        *channel.slot = channel.scratch.data();
        if (!channel.connected)
            continue;
        take(channel, hostBuffers ? hostBuffers[next] : nullptr);
        ++next;
    }
}

// The default processing: output i copies input i where there is one; the other outputs
// are silent. Host buffers may alias (in-place processing).
template <typename Sample>
void PassThrough(Sample** inputs, Sample** outputs, int frames, int numInputs, int numOutputs)
{
    if (!outputs || frames <= 0)
        return;
    for (int i = 0; i < numOutputs; ++i)
    {
        if (!outputs[i])
            continue;
        if (i < numInputs && inputs && inputs[i])
        {
            if (inputs[i] != outputs[i])
                std::memmove(outputs[i], inputs[i], static_cast<size_t>(frames) * sizeof(Sample));
        }
        else
        {
            std::fill(outputs[i], outputs[i] + frames, Sample(0));
        }
    }
}
} // namespace

IPlugBase::IPlugBase(const PluginConfig& config)
    : mUniqueId(config.uniqueId),
      mManufacturerId(config.manufacturerId),
      mVersion(config.version),
      mPluginApi(config.pluginApi),
      mIsInstrument(config.isInstrument),
      mDoesMidi(config.doesMidi),
      mLatencySamples(std::max(config.latencySamples, 0))
{
    for (int i = 0; i < config.numParams; ++i)
        mParams.push_back(std::make_unique<PluginParameter>());
    for (int i = 0; i < config.numPresets; ++i)
        mPresets.push_back(std::make_unique<Preset>());
    CopyText(mEffectName, sizeof mEffectName, config.effectName);
    CopyText(mProductName, sizeof mProductName, config.productName);
    CopyText(mManufacturerName, sizeof mManufacturerName, config.manufacturerName);
    ParseChannelConfigurations(config.channelIoString);
}

IPlugBase::~IPlugBase()
{
    // The editor may still look at parameters while it goes away, so it goes first.
    mEditor.reset();
    mParams.clear();
    mPresets.clear();
    mInputs.clear();
    mOutputs.clear();
    mChannelIoPairs.clear();
    mLatencyDelayLine.reset();
}

void IPlugBase::ParseChannelConfigurations(const char* channelIoString)
{
    const char* text = channelIoString ? channelIoString : "";
    int maxInputs = 0;
    int maxOutputs = 0;
    for (;;)
    {
        const ChannelIoPair pair = ReadChannelIoPair(text);
        mChannelIoPairs.push_back(pair);
        maxInputs = std::max(maxInputs, pair.numInputs);
        maxOutputs = std::max(maxOutputs, pair.numOutputs);
        const char* space = std::strchr(text, ' ');
        if (!space)
            break;
        text = space + 1;
    }
    CreateChannels(std::min(maxInputs, kMaxChannels), std::min(maxOutputs, kMaxChannels));
}

void IPlugBase::CreateChannels(int numInputs, int numOutputs)
{
    mInputPointers.assign(static_cast<size_t>(numInputs), nullptr);
    mOutputPointers.assign(static_cast<size_t>(numOutputs), nullptr);
    mInputs.resize(static_cast<size_t>(numInputs));
    mOutputs.resize(static_cast<size_t>(numOutputs));
    for (int i = 0; i < numInputs; ++i)
        mInputs[i].slot = &mInputPointers[i];
    for (int i = 0; i < numOutputs; ++i)
        mOutputs[i].slot = &mOutputPointers[i];
}

// ---- Default virtual operations ----------------------------------------------------------

void IPlugBase::ResetProcessing()
{
    PlugLockGuard guard(mLock);
}

void IPlugBase::OnParameterChange(int /*paramIndex*/)
{
    PlugLockGuard guard(mLock);
}

void IPlugBase::ProcessBlock(double** inputs, double** outputs, int frames)
{
    PassThrough(inputs, outputs, frames, NumInputs(), NumOutputs());
}

void IPlugBase::ProcessBlockFloat(float** inputs, float** outputs, int frames)
{
    PassThrough(inputs, outputs, frames, NumInputs(), NumOutputs());
}

void IPlugBase::OnEditorOpen() {}
void IPlugBase::OnEditorClose() {}
void IPlugBase::ReservedHook7() {}

void IPlugBase::OnActivationChanged(bool /*active*/)
{
    PlugLockGuard guard(mLock);
}

void IPlugBase::ProcessMidiMessage(const MidiMessage& message)
{
    SendMidiMessage(message);
}

void IPlugBase::ProcessSysExMessage(const SysExMessage& /*message*/) {}

bool IPlugBase::GetMidiNoteName(int /*noteNumber*/, char* text, int textBytes)
{
    if (text && textBytes > 0)
        text[0] = '\0';
    return false;
}

bool IPlugBase::SaveState(ChunkBuffer& chunk)
{
    return SerializeParams(chunk);
}

int32_t IPlugBase::LoadState(const ChunkBuffer& chunk, int32_t startPos)
{
    return UnserializeParams(chunk, startPos);
}

bool IPlugBase::StateEquals(const double* values, int numValues, int startIndex)
{
    if (!values || startIndex < 0 ||
        static_cast<int64_t>(startIndex) + NumParams() > static_cast<int64_t>(numValues))
        return false;
    PlugLockGuard guard(mLock);
    for (int i = 0; i < NumParams(); ++i)
        if (!(std::fabs(mParams[i]->Value() - values[startIndex + i]) < kStateTolerance))
            return false;
    return true;
}

void IPlugBase::OnEditorResized() {}
bool IPlugBase::ReservedHook16() { return false; }
void IPlugBase::OnHostKnown() {}
void IPlugBase::ShowHostContextMenu(int /*paramIndex*/, int /*x*/, int /*y*/) {}

void IPlugBase::SetParameterFromEditor(int paramIndex, double normalizedValue)
{
    PluginParameter* param = GetParam(paramIndex);
    if (!param)
        return;
    PlugLockGuard guard(mLock);
    param->SetFromNormalized(normalizedValue);
    NotifyHostOfParameterChange(paramIndex, normalizedValue);
    OnParameterChange(paramIndex);
}

void IPlugBase::BeginParameterEdit(int /*paramIndex*/) {}
void IPlugBase::NotifyHostOfParameterChange(int /*paramIndex*/, double /*normalizedValue*/) {}
void IPlugBase::EndParameterEdit(int /*paramIndex*/) {}
void IPlugBase::NotifyHostOfPresetChange() {}
bool IPlugBase::RendersOffline() { return false; }
double IPlugBase::GetSamplePosition() { return 0.0; }
double IPlugBase::QueryTempo() { return 0.0; }
void IPlugBase::GetTimeSignature(int& /*numerator*/, int& /*denominator*/) {}
void IPlugBase::GetTimeInfo(TimeInfo& /*info*/) {}
HostId IPlugBase::HostIdentity() { return mHost; }
int32_t IPlugBase::GetPluginApi() { return mPluginApi; }
void IPlugBase::ResizeEditor(int /*width*/, int /*height*/) {}
void IPlugBase::InitForHost() {}

void IPlugBase::AttachEditor(std::unique_ptr<EditorLink> editor)
{
    if (!editor)
        return;
    PlugLockGuard guard(mLock);
    for (int i = 0; i < NumParams(); ++i)
        editor->PushValueToControls(i, mParams[i]->GetNormalized(), true);
    editor->PrepareDrawing();
    mEditor = std::move(editor);
}

void IPlugBase::SetLatency(int latencySamples)
{
    PlugLockGuard guard(mLock);
    mLatencySamples = std::max(latencySamples, 0);
    if (mLatencyDelayLine)
        mLatencyDelayLine->SetLength(mLatencySamples);
}

bool IPlugBase::SendMidiMessage(const MidiMessage& /*message*/) { return false; }
bool IPlugBase::SendSysExMessage(const SysExMessage& /*message*/) { return false; }

void IPlugBase::RefreshParameterControls()
{
    PlugLockGuard guard(mLock);
    if (!mEditor)
        return;
    for (int i = 0; i < NumParams(); ++i)
        mEditor->PushValueToControls(i, mParams[i]->Value(), false);
}

void IPlugBase::ReservedHook38() {}
void IPlugBase::OnPresetsChanged() {}

void IPlugBase::ApplyBlockSize(int frames)
{
    if (frames < 0 || frames == mBlockSize)
        return;
    for (InputChannel& channel : mInputs)
        channel.scratch.assign(static_cast<size_t>(frames), 0.0);
    for (OutputChannel& channel : mOutputs)
        channel.scratch.assign(static_cast<size_t>(frames), 0.0);
    mBlockSize = frames;
    // The old scratch buffers are gone: no slot may keep pointing into them. Connected
    // channels are attached afresh before every block anyway.
    for (InputChannel& channel : mInputs)
        *channel.slot = channel.scratch.data();
    for (OutputChannel& channel : mOutputs)
    {
        *channel.slot = channel.scratch.data();
        channel.floatDestination = nullptr;
    }
}

// ---- Identity, parameters -----------------------------------------------------------------

void IPlugBase::SetHostIdentity(HostId host, int32_t hostVersion)
{
    mHost = host;
    mHostVersion = hostVersion;
}

PluginParameter* IPlugBase::GetParam(int paramIndex)
{
    if (paramIndex < 0 || paramIndex >= NumParams())
        return nullptr;
    return mParams[static_cast<size_t>(paramIndex)].get();
}

const PluginParameter* IPlugBase::GetParam(int paramIndex) const
{
    if (paramIndex < 0 || paramIndex >= NumParams())
        return nullptr;
    return mParams[static_cast<size_t>(paramIndex)].get();
}

// ---- Channels and buffers -----------------------------------------------------------------

bool IPlugBase::LegalIO(int numInputs, int numOutputs) const
{
    for (const ChannelIoPair& pair : mChannelIoPairs)
        if ((numInputs < 0 || numInputs == pair.numInputs) && (numOutputs < 0 || numOutputs == pair.numOutputs))
            return true;
    return false;
}

void IPlugBase::SetInputChannelConnections(int firstChannel, int numChannels, bool connected)
{
    const int end = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(firstChannel) + numChannels, NumInputs()));
    for (int i = std::max(firstChannel, 0); i < end; ++i)
    {
        mInputs[i].connected = connected;
        if (!connected)
            *mInputs[i].slot = mInputs[i].scratch.data();
    }
}

void IPlugBase::SetOutputChannelConnections(int firstChannel, int numChannels, bool connected)
{
    const int end = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(firstChannel) + numChannels, NumOutputs()));
    for (int i = std::max(firstChannel, 0); i < end; ++i)
    {
        mOutputs[i].connected = connected;
        if (!connected)
        {
            *mOutputs[i].slot = mOutputs[i].scratch.data();
            mOutputs[i].floatDestination = nullptr;
        }
    }
}

bool IPlugBase::IsInputConnected(int channel) const
{
    return channel >= 0 && channel < NumInputs() && mInputs[channel].connected;
}

bool IPlugBase::IsOutputConnected(int channel) const
{
    return channel >= 0 && channel < NumOutputs() && mOutputs[channel].connected;
}

void IPlugBase::LimitToStereoChannels()
{
    SetInputChannelConnections(2, NumInputs(), false);
    SetOutputChannelConnections(2, NumOutputs(), true);
}

int IPlugBase::UsableFrames(int frames) const
{
    return std::max(0, std::min(frames, mBlockSize));
}

void IPlugBase::AttachInputBuffers(int firstChannel, int numChannels, float* const* hostBuffers, int frames)
{
    const int usable = UsableFrames(frames);
    AttachChannels(mInputs, firstChannel, numChannels, hostBuffers,
                   [usable](InputChannel& channel, const float* source)
                   {
                       if (source)
                           std::copy(source, source + usable, channel.scratch.begin());
                       else
                           std::fill(channel.scratch.begin(), channel.scratch.begin() + usable, 0.0);
                   });
}

void IPlugBase::AttachOutputBuffers(int firstChannel, int numChannels, float* const* hostBuffers)
{
    AttachChannels(mOutputs, firstChannel, numChannels, hostBuffers,
                   [](OutputChannel& channel, float* destination) { channel.floatDestination = destination; });
}

void IPlugBase::AttachInputBuffers(int firstChannel, int numChannels, double* const* hostBuffers)
{
    AttachChannels(mInputs, firstChannel, numChannels, hostBuffers,
                   [](InputChannel& channel, double* buffer)
                   {
                       if (buffer)
                           *channel.slot = buffer;
                   });
}

void IPlugBase::AttachOutputBuffers(int firstChannel, int numChannels, double* const* hostBuffers)
{
    for (OutputChannel& channel : mOutputs)
        channel.floatDestination = nullptr;
    AttachChannels(mOutputs, firstChannel, numChannels, hostBuffers,
                   [](OutputChannel& channel, double* buffer)
                   {
                       if (buffer)
                           *channel.slot = buffer;
                   });
}

void IPlugBase::ConvertOutputsToFloat(int frames, bool accumulate)
{
    const int usable = UsableFrames(frames);
    for (OutputChannel& channel : mOutputs)
    {
        if (!channel.connected || !channel.floatDestination)
            continue;
        const double* source = channel.scratch.data();
        float* destination = channel.floatDestination;
        if (accumulate)
            for (int i = 0; i < usable; ++i)
                destination[i] = static_cast<float>(source[i]) + destination[i];
        else
            for (int i = 0; i < usable; ++i)
                destination[i] = static_cast<float>(source[i]);
    }
}

void IPlugBase::PassInputsThrough(int frames)
{
    const int usable = UsableFrames(frames);
    if (mLatencySamples > 0 && mLatencyDelayLine)
        mLatencyDelayLine->Process(mInputPointers.data(), mOutputPointers.data(), usable);
    else
        IPlugBase::ProcessBlock(mInputPointers.data(), mOutputPointers.data(), usable);
    ConvertOutputsToFloat(usable, false);
}

void IPlugBase::ZeroScratchBuffers()
{
    for (InputChannel& channel : mInputs)
        std::fill(channel.scratch.begin(), channel.scratch.end(), 0.0);
    for (OutputChannel& channel : mOutputs)
        std::fill(channel.scratch.begin(), channel.scratch.end(), 0.0);
}

void IPlugBase::CreateLatencyDelayLine()
{
    mLatencyDelayLine = std::make_unique<LatencyDelayLine>(NumInputs(), NumOutputs(), mLatencySamples);
}

// ---- Presets ------------------------------------------------------------------------------

Preset* IPlugBase::GetPresetSlot(int presetIndex)
{
    if (presetIndex < 0 || presetIndex >= NumPresets())
        return nullptr;
    return mPresets[static_cast<size_t>(presetIndex)].get();
}

const char* IPlugBase::PresetNameAt(int presetIndex) const
{
    if (presetIndex < 0 || presetIndex >= NumPresets())
        return "";
    return mPresets[static_cast<size_t>(presetIndex)]->name;
}

bool IPlugBase::LoadPresetSlot(int presetIndex)
{
    Preset* slot = GetPresetSlot(presetIndex);
    if (!slot)
        return false;
    PlugLockGuard guard(mLock);
    bool loaded = false;
    if (slot->initialized)
    {
        loaded = LoadState(slot->state, 0) > 0;
    }
    else
    {
        slot->initialized = true;
        int userPresets = 0;
        for (const auto& preset : mPresets)
            if (std::strstr(preset->name, kUserPresetText))
                ++userPresets;
        char name[Preset::kNameBytes];
        std::snprintf(name, sizeof name, "%s %d", kUserPresetText, userPresets + 1);
        slot->SetName(name);
        slot->state.Clear();
        loaded = SaveState(slot->state);
    }
    if (loaded)
    {
        mCurrentPreset = presetIndex;
        OnPresetsChanged();
        RefreshParameterControls();
    }
    return loaded;
}

void IPlugBase::FillDefaultPresets(const char* name, int count)
{
    PlugLockGuard guard(mLock);
    const char* slotName = (name && name[0] != '\0') ? name : kUnnamedDefaultPreset;
    for (int pass = 0; pass < count; ++pass)
    {
        auto fresh = std::find_if(mPresets.begin(), mPresets.end(),
                                  [](const std::unique_ptr<Preset>& preset) { return !preset->initialized; });
        if (fresh == mPresets.end())
            break;  // every later pass would find none either
        Preset& slot = **fresh;
        slot.initialized = true;
        slot.SetName(slotName);
        slot.state.Clear();
        SaveState(slot.state);
    }
}

void IPlugBase::ModifyCurrentPreset(const char* name)
{
    PlugLockGuard guard(mLock);
    Preset* slot = GetPresetSlot(mCurrentPreset);
    if (!slot)
        return;
    slot->state.Clear();
    SaveState(slot->state);
    if (name && name[0] != '\0')
        slot->SetName(name);
}

// ---- State chunks -------------------------------------------------------------------------

bool IPlugBase::SerializeParams(ChunkBuffer& chunk)
{
    PlugLockGuard guard(mLock);
    bool ok = true;
    for (const auto& param : mParams)
        ok = chunk.PutDouble(param->Value()) && ok;
    return ok;
}

int32_t IPlugBase::UnserializeParams(const ChunkBuffer& chunk, int32_t startPos)
{
    PlugLockGuard guard(mLock);
    int32_t pos = startPos;
    for (int i = 0; i < NumParams() && pos >= 0; ++i)
    {
        double value = 0.0;
        pos = chunk.GetDouble(value, pos);  // -1 and value 0 when the chunk runs out
        mParams[i]->SetPlainValue(value);
    }
    for (int i = 0; i < NumParams(); ++i)
        OnParameterChange(i);
    return pos;
}

bool IPlugBase::SerializePresets(ChunkBuffer& chunk)
{
    PlugLockGuard guard(mLock);
    for (const auto& preset : mPresets)
    {
        if (!chunk.PutString(preset->name) || !chunk.PutByte(preset->initialized ? 1 : 0))
            return false;
        if (preset->initialized && !chunk.PutBytes(preset->state.Data(), preset->state.Size()))
            return false;
    }
    return true;
}

int32_t IPlugBase::ReadPresetName(const ChunkBuffer& chunk, int32_t pos, char* nameText, int nameBytes) const
{
    int32_t length = 0;
    const int32_t afterLength = chunk.GetInt32(length, pos);
    if (afterLength < 0)
        return -1;
    // A negative length would move the reading backwards; no writer produces one, so the
    // record is corrupt and reading stops here.
    if (length < 0)
        return -1;
    const int64_t end = static_cast<int64_t>(afterLength) + length;
    if (end > chunk.Size())
        return -1;  // the name runs past the end: the flag cannot be read either
    if (length > 0)
    {
        const uint8_t* bytes = chunk.Data() + afterLength;
        int n = 0;
        for (; n < length && n < nameBytes - 1 && bytes[n] != 0; ++n)
            nameText[n] = static_cast<char>(bytes[n]);
        nameText[n] = '\0';
    }
    return static_cast<int32_t>(end);
}

int32_t IPlugBase::UnserializePresets(const ChunkBuffer& chunk, int32_t startPos)
{
    PlugLockGuard guard(mLock);
    int32_t pos = startPos;
    // A record with an empty name takes the previous record's name.
    char nameText[Preset::kNameBytes] = {};
    for (auto& preset : mPresets)
    {
        if (pos < 0)
            break;
        const int32_t nameEnd = ReadPresetName(chunk, pos, nameText, sizeof nameText);
        preset->SetName(nameText);
        uint8_t flag = 0;
        pos = (nameEnd >= 0) ? chunk.GetByte(flag, nameEnd) : -1;
        if (pos < 0)
            break;
        preset->initialized = (flag != 0);
        if (preset->initialized)
        {
            pos = LoadState(chunk, pos);
            if (pos > 0)
            {
                preset->state.Clear();
                SaveState(preset->state);
            }
        }
    }
    LoadPresetSlot(mCurrentPreset);
    return pos;
}
