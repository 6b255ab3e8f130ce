#include "framework/IPlugBase.h"

#include "framework/NormalizedValue.h"
#include "framework/TextCopy.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// The core's construction, the defaults of its virtual operations, identity and parameters.
// Channels and buffers, preset slots and bank, and the state chunk live in IPlugBase*.cpp
// files of their own.

namespace
{
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

// ---- Default virtual operations ----------------------------------------------------------

void IPlugBase::ResetProcessing() { PlugLockGuard guard(mLock); }

void IPlugBase::OnParameterChange(int /*paramIndex*/) { PlugLockGuard guard(mLock); }

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

void IPlugBase::OnActivationChanged(bool /*active*/) { PlugLockGuard guard(mLock); }

void IPlugBase::ProcessMidiMessage(const MidiMessage& message) { SendMidiMessage(message); }

void IPlugBase::ProcessSysExMessage(const SysExMessage& /*message*/) {}

bool IPlugBase::GetMidiNoteName(int /*noteNumber*/, char* text, int textBytes)
{
    if (text && textBytes > 0)
        text[0] = '\0';
    return false;
}

bool IPlugBase::SaveState(ChunkBuffer& chunk) { return SerializeParams(chunk); }

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
    ApplyParameterValue(paramIndex, normalizedValue, true, ValueOrigin::Editor);
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

bool IPlugBase::ApplyParameterValue(int paramIndex, double value, bool isNormalized, ValueOrigin origin)
{
    PluginParameter* param = GetParam(paramIndex);
    if (!param)
        return false;
    if (isNormalized)
        value = LimitNormalized(value);
    PlugLockGuard guard(mLock);
    if (isNormalized)
        param->SetFromNormalized(value);
    else
        param->SetPlainValue(value);
    if (origin == ValueOrigin::Editor)
        NotifyHostOfParameterChange(paramIndex, isNormalized ? value : param->GetNormalized());
    else if (mEditor)
        mEditor->PushValueToControls(paramIndex, value, isNormalized);
    OnParameterChange(paramIndex);
    return true;
}

bool IPlugBase::SetParameterFromHost(int paramIndex, double value, bool isNormalized)
{
    return ApplyParameterValue(paramIndex, value, isNormalized, ValueOrigin::Host);
}
