#include "vst2/IPlugVST.h"

#include "framework/TextCopy.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

// The dispatcher: one function taking an operation number. Unless an operation says
// otherwise it answers 0; invalid indices and missing buffers answer 0 and change nothing.

namespace
{

// Hosts size their text buffers by the interface's published limits, so no copy goes
// beyond them: program names 24 bytes, effect names 32, vendor and product texts 64, and
// the parameter texts their own 32-byte fields.
constexpr size_t kProgramNameBytes = 24;
constexpr size_t kEffectNameBytes = 32;
constexpr size_t kVendorTextBytes = 64;
constexpr size_t kParamTextBytes = 32;
constexpr size_t kPinLabelBytes = 64;

constexpr const char* kMidiCanDos[] = {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
                                       "receiveVstMidiEvent"};

// A host's index value as a program or parameter index; -1 when it cannot be one.
int AsIndex(intptr_t value) { return (value >= 0 && value <= INT_MAX) ? static_cast<int>(value) : -1; }

} // namespace

intptr_t IPlugVST::VSTDispatcher(Vst2Descriptor* descriptor, int32_t operation, int32_t index, intptr_t value,
                                 void* pointer, float option)
{
    IPlugVST* instance = Instance(descriptor);
    if (!instance)
        return 0;
    if (operation == kVst2Close)
    {
        // Waits for an entry still running on another thread, then lets go of the lock: the
        // lock dies with the instance.
        {
            PlugLockGuard guard(instance->PluginLock());
        }
        delete instance;
        return 0;
    }
    if (operation == kVst2EditIdle)
    {
        // Editor idle handles input and redraws as a window's own timer and messages do on
        // Windows: without the plug-in lock, so processing never waits for a paint. Whatever
        // the editor changes takes the lock itself.
        return instance->DispatchEditor(operation, pointer);
    }
    PlugLockGuard guard(instance->PluginLock());
    return instance->Dispatch(operation, index, value, pointer, option);
}

intptr_t IPlugVST::Dispatch(int32_t operation, int32_t index, intptr_t value, void* pointer, float option)
{
    switch (operation)
    {
        case kVst2Open: Open(); return 0;
        case kVst2GetParamLabel:
        case kVst2GetParamDisplay:
        case kVst2GetParamName: return DispatchParameterText(operation, index, pointer);
        case kVst2SetSampleRate:
        case kVst2SetBlockSize:
        case kVst2MainsChanged: return DispatchSetUp(operation, value, option);
        case kVst2SetProgram:
        case kVst2GetProgram:
        case kVst2SetProgramName:
        case kVst2GetProgramName:
        case kVst2GetProgramNameIndexed: return DispatchPrograms(operation, index, value, pointer);
        case kVst2GetChunk: return GetChunk(index != 0, static_cast<void**>(pointer));
        case kVst2SetChunk: return SetChunk(index != 0, value, pointer);
        case kVst2ProcessEvents: return ReceiveEvents(static_cast<const Vst2EventList*>(pointer));
        case kVst2CanBeAutomated: return GetParam(index) ? 1 : 0;
        case kVst2StringToParameter: return StringToParameter(index, static_cast<const char*>(pointer));
        case kVst2GetInputProperties:
        case kVst2GetOutputProperties:
        case kVst2SetSpeakerArrangement:
        case kVst2GetSpeakerArrangement: return DispatchChannels(operation, index, value, pointer);
        case kVst2IdentifyOp:
        case kVst2GetCategory:
        case kVst2GetEffectName:
        case kVst2GetVendorString:
        case kVst2GetProductString:
        case kVst2GetVendorVersion:
        case kVst2GetTailSize:
        case kVst2GetInterfaceVersion: return DispatchIdentity(operation, pointer);
        case kVst2VendorSpecific: return VendorSpecific(index, value, pointer, option);
        case kVst2CanDo: return CanDo(static_cast<const char*>(pointer));
        case kVst2GetMidiKeyName: return MidiKeyName(static_cast<Vst2MidiKeyName*>(pointer));
        case kVst2EditGetRect:
        case kVst2EditOpen:
        case kVst2EditClose: return DispatchEditor(operation, pointer);
        default: return 0;
    }
}

void IPlugVST::Open()
{
    InitForHost();
    for (int i = 0; i < NumParams(); ++i)
        OnParameterChange(i);
}

intptr_t IPlugVST::DispatchParameterText(int32_t operation, int32_t index, void* pointer)
{
    const PluginParameter* param = GetParam(index);
    char* text = static_cast<char*>(pointer);
    if (!param || !text)
        return 0;
    if (operation == kVst2GetParamLabel)
        CopyText(text, kParamTextBytes, param->GetDisplayLabel());
    else if (operation == kVst2GetParamDisplay)
        param->FormatDisplayText(text, static_cast<int>(kParamTextBytes));
    else
        CopyText(text, kParamTextBytes, param->Name());
    return 0;
}

intptr_t IPlugVST::DispatchSetUp(int32_t operation, intptr_t value, float option)
{
    if (operation == kVst2SetSampleRate)
    {
        // A rate that is not a positive number would leave the engine with nothing sensible
        // to run at; the previous rate stays.
        if (!(option > 0.0f) || !std::isfinite(option))
            return 0;
        SetSampleRate(option);
    }
    else if (operation == kVst2SetBlockSize)
    {
        // A block size of 0 would leave no room to render into for good; it is ignored.
        if (value <= 0)
            return 0;
        ApplyBlockSize(static_cast<int>(std::min<intptr_t>(value, kMaxBlockFrames)));
    }
    else
    {
        OnActivationChanged(value != 0);
        if (value != 0)
            return 0;
    }
    ResetForHost();
    return 0;
}

intptr_t IPlugVST::DispatchPrograms(int32_t operation, int32_t index, intptr_t value, void* pointer)
{
    char* text = static_cast<char*>(pointer);
    switch (operation)
    {
        case kVst2SetProgram:
            ModifyCurrentPreset();
            LoadPresetSlot(AsIndex(value));
            return 0;
        case kVst2GetProgram: return CurrentPresetIndex();
        case kVst2SetProgramName:
            if (text)
            {
                char name[kProgramNameBytes];
                CopyText(name, sizeof name, text);
                ModifyCurrentPreset(name);
                OnPresetsChanged();
            }
            return 0;
        case kVst2GetProgramName:
            if (text)
                CopyText(text, kProgramNameBytes, PresetNameAt(CurrentPresetIndex()));
            return 0;
        default: // kVst2GetProgramNameIndexed
            if (!text)
                return 0;
            CopyText(text, kProgramNameBytes, PresetNameAt(index));
            return text[0] != '\0' ? 1 : 0;
    }
}

intptr_t IPlugVST::DispatchIdentity(int32_t operation, void* pointer)
{
    char* text = static_cast<char*>(pointer);
    switch (operation)
    {
        case kVst2IdentifyOp: return kVst2Identify;
        case kVst2GetCategory: return IsInstrument() ? kVst2CategorySynth : kVst2CategoryEffect;
        case kVst2GetVendorVersion: return DecimalVersion();
        case kVst2GetTailSize: return TailSize();
        case kVst2GetInterfaceVersion: return kVst2InterfaceVersion;
        default: break;
    }
    if (!text)
        return 0;
    if (operation == kVst2GetEffectName)
        CopyText(text, kEffectNameBytes, EffectName());
    else if (operation == kVst2GetVendorString)
        CopyText(text, kVendorTextBytes, ManufacturerName());
    else
        CopyText(text, kVendorTextBytes, ProductName());
    return 1;
}

intptr_t IPlugVST::DispatchChannels(int32_t operation, int32_t index, intptr_t value, void* pointer)
{
    switch (operation)
    {
        case kVst2GetInputProperties:
        case kVst2GetOutputProperties:
            return PinProperties(operation == kVst2GetInputProperties, index,
                                 static_cast<Vst2PinProperties*>(pointer));
        case kVst2SetSpeakerArrangement:
            ConnectFromArrangement(true, reinterpret_cast<const Vst2SpeakerArrangement*>(value));
            ConnectFromArrangement(false, static_cast<const Vst2SpeakerArrangement*>(pointer));
            return 1;
        default: // kVst2GetSpeakerArrangement
            if (value)
                *reinterpret_cast<Vst2SpeakerArrangement**>(value) = &mInputArrangement;
            if (pointer)
                *static_cast<Vst2SpeakerArrangement**>(pointer) = &mOutputArrangement;
            return 1;
    }
}

intptr_t IPlugVST::StringToParameter(int32_t index, const char* text)
{
    PluginParameter* param = GetParam(index);
    if (!param)
        return 0;
    if (!text)
        return 1;
    double value = 0.0;
    if (param->NumDisplayTexts() > 0)
    {
        if (!param->LookupDisplayText(text, value))
            return 0;
    }
    else
    {
        value = param->ParseNumericText(text);
    }
    SetParameterFromHost(index, value, false);
    return 1;
}

intptr_t IPlugVST::VendorSpecific(int32_t index, intptr_t value, void* pointer, float option)
{
    const PluginParameter* param = GetParam(AsIndex(value));
    if (index == 7 && pointer)
    {
        if (param)
            param->FormatDisplayText(static_cast<char*>(pointer), static_cast<int>(kParamTextBytes), option,
                                     true, true);
        return kVst2ExtensionAnswer;
    }
    if (index == 8 && param)
        return param->Type() != ParameterType::DoubleType ? kVst2ExtensionAnswer : 0;
    return 0;
}

intptr_t IPlugVST::CanDo(const char* text) const
{
    if (!text)
        return 0;
    if (std::strcmp(text, "receiveVstTimeInfo") == 0)
        return 1;
    if (DoesMidi())
        for (const char* midi : kMidiCanDos)
            if (std::strcmp(text, midi) == 0)
                return 1;
    return 0;
}

intptr_t IPlugVST::PinProperties(bool input, int32_t index, Vst2PinProperties* pin)
{
    const int channels = input ? NumInputs() : NumOutputs();
    if (!pin || index < 0 || index >= channels)
        return 0;
    pin->flags = kVst2PinIsActive;
    if (index % 2 == 0 && index + 1 < channels)
        pin->flags |= kVst2PinIsStereo;
    std::snprintf(pin->label, kPinLabelBytes, "%s %d", input ? "Input" : "Output", index + 1);
    return 1;
}

void IPlugVST::ConnectFromArrangement(bool input, const Vst2SpeakerArrangement* arrangement)
{
    if (!arrangement)
        return;
    const int channels = input ? NumInputs() : NumOutputs();
    const int wanted = std::max(0, std::min(arrangement->numChannels, channels));
    if (input)
    {
        SetInputChannelConnections(0, wanted, true);
        SetInputChannelConnections(wanted, channels, false);
    }
    else
    {
        SetOutputChannelConnections(0, wanted, true);
        SetOutputChannelConnections(wanted, channels, false);
    }
}

intptr_t IPlugVST::MidiKeyName(Vst2MidiKeyName* record)
{
    if (!record)
        return 0;
    record->keyName[0] = '\0';
    return GetMidiNoteName(record->thisKeyNumber, record->keyName, sizeof record->keyName) ? 1 : 0;
}
