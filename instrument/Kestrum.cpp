#include "instrument/Kestrum.h"

#include "framework/ProductIdentity.h"

#include <algorithm>

#include "instrument/PresetCatalogue.h"
#include "instrument/PresetFile.h"
#include "instrument/PresetLibrary.h"

namespace
{

constexpr double kParameterStep = 0.00001;
constexpr double kParameterShape = 1.0;
constexpr float kRetriggerTokenStep = 0.01f;
constexpr float kRetriggerTokenLast = 0.99f;

constexpr int kControllerSustain = 64;
constexpr int kControllerAllNotesOff = 123;

// MIDI controllers that move sound controls, and the parameter each one moves.
struct ControllerMapping
{
    int controller;
    int paramIndex;
};

// clang-format off
constexpr ControllerMapping kControllerMap[] = {
    {1, kTransistorDistLoad},
    {2, kStereoExpandOffOn},
    {3, kVelAmpOffOn},
    {7, kMainVolume},
    {8, kTonalEnvAttack},
    {9, kTonalEnvDecay},
    {10, kTonalPitchAmt},
    {11, kTonalAmpLevel},
    {12, kNoiseEnvAttack},
    {13, kNoiseEnvDecay},
    {14, kNoiseAmpLevel},
    {15, kNoiseFilterTone},
};
// clang-format on

} // namespace

PluginConfig Kestrum::Config()
{
    PluginConfig config;
    config.numParams = kNumParams;
    config.numPresets = 1;
    config.channelIoString = "2-2";
    config.effectName = ProductIdentity::kEffectName;
    config.productName = ProductIdentity::kProductName;
    config.manufacturerName = ProductIdentity::kVendor;
    config.version = ProductIdentity::kPackedVersion;
    config.uniqueId = ProductIdentity::kUniqueId;
    config.manufacturerId = ProductIdentity::kManufacturerId;
    config.latencySamples = 0;
    config.isInstrument = true;
    config.doesMidi = true;
    return config;
}

Kestrum::Kestrum(const PluginAdapter::HostContext& host) : PluginAdapter(host, Config())
{
    mEngine = EngineCreate(SampleRate());
    DefineParametersFromEngine();
    mLastPresetNumber = 0.0f;
    mPresetLibraryFolder = PresetLibrary::PresetLibraryFolder();
    mPresetBar = std::make_unique<PresetBar>();
    mPresetLine.reset(
        new char[PresetFile::kMaxLineBytes]); // left uninitialised: pages are touched only when read into
    // The catalogue is built on first use; here, not on the audio thread.
    PresetCatalogue::EntryForNumber(PresetCatalogue::kFirstNumber);
    VoiceReset();
    BuildEditor();
    FillDefaultPresets("Init", 1);
}

Kestrum::~Kestrum() { EngineDestroy(mEngine); }

void Kestrum::DefineParametersFromEngine()
{
    for (int i = 0; i < kNumParams; ++i)
    {
        const EngineParameterRecord* record = EngineParameterRecordAt(mEngine, i);
        GetParam(i)->DefineContinuous(record->name, record->defaultValue, record->minimum, record->maximum,
                                      kParameterStep, record->units, kParameterShape);
    }
}

void Kestrum::ResetProcessing()
{
    PlugLockGuard guard(PluginLock());
    EngineReset(mEngine, SampleRate(), kEngineVectorSize);
    for (int i = 0; i < kNumParams; ++i)
        EngineSetParameter(mEngine, i, GetParam(i)->Value());
    // A reset forgets which preset was chosen; the selector only ever carries a choice.
    GetParam(kPresetSelector)->SetPlainValue(0.0);
    EngineSetParameter(mEngine, kPresetSelector, 0.0);
    mMidiQueue.Reserve(BlockSize());
    VoiceReset();
}

void Kestrum::OnParameterChange(int paramIndex)
{
    PlugLockGuard guard(PluginLock());
    const PluginParameter* param = GetParam(paramIndex);
    if (!param)
        return;
    EngineSetParameter(mEngine, paramIndex, param->Value());
    if (paramIndex >= kPresetBackward && paramIndex <= kPresetSelector)
        OnPresetParameterChange(paramIndex);
}

void Kestrum::SetParameterFromEditor(int paramIndex, double normalizedValue)
{
    PlugLockGuard guard(PluginLock());
    if (paramIndex == kPresetLoad || paramIndex == kPresetSave)
        mPressedFileButton = paramIndex;
    PluginAdapter::SetParameterFromEditor(paramIndex, normalizedValue);
    mPressedFileButton = -1;
}

void Kestrum::ProcessMidiMessage(const MidiMessage& message)
{
    const int channel = static_cast<int>(GetParam(kMidiChannelInput)->Value() - 1.0);
    if (message.Channel() == channel)
        mMidiQueue.Enqueue(message);
}

void Kestrum::ProcessBlock(double** inputs, double** outputs, int frames)
{
    // Every message due in this block takes effect before the block renders; the offsets
    // only order them. The queue is sorted, so that is every message up to frames - 1.
    while (frames > 0 && mMidiQueue.HasPending() && mMidiQueue.Front().sampleOffset <= frames - 1)
    {
        const MidiMessage message = mMidiQueue.Front();
        mMidiQueue.PopFront();
        HandleMessage(message);
    }
    mMidiQueue.ConsumeBlock(frames);

    const double tempoBpm = QueryTempo();
    GetParam(kHostTempoBpm)->SetPlainValue(tempoBpm);
    EngineSetParameter(mEngine, kHostTempoBpm, tempoBpm);

    EnginePerform(mEngine, inputs, outputs, frames);
}

void Kestrum::HandleMessage(const MidiMessage& message)
{
    const bool isNoteOn = message.IsNoteOn();
    if (isNoteOn || message.IsNoteOff())
    {
        // Note numbers above 127 are no MIDI notes; they would reach past the held flags.
        if (!ParamHoldsExactly(kVoiceModeMonoPoly, 0.0) || !InNoteRange(message.data1))
            return;
        if (isNoteOn)
            NoteOn(message.data1, message.data2);
        else
            NoteOff(message.data1);
    }
    else if (message.Kind() == kMidiControlChange)
    {
        ControlChange(message.data1, message.data2);
    }
}

void Kestrum::SetVoice(double gate, double note, double velocity)
{
    EngineSetParameter(mEngine, kVoice00_NoteGate, gate);
    EngineSetParameter(mEngine, kVoice00_NoteNumber, note);
    EngineSetParameter(mEngine, kVoice00_NoteVelocity, velocity);
    GetParam(kVoice00_NoteGate)->SetPlainValue(gate);
    GetParam(kVoice00_NoteNumber)->SetPlainValue(note);
    GetParam(kVoice00_NoteVelocity)->SetPlainValue(velocity);
}

void Kestrum::StepRetriggerToken()
{
    // Stepped in single precision: the token runs through 100 distinct values, and every
    // change restarts the envelopes in the engine.
    float token = mRetriggerToken + kRetriggerTokenStep;
    if (token > kRetriggerTokenLast)
        token = 0.0f;
    mRetriggerToken = token;
    GetParam(kVoice00_NoteRetrig)->SetPlainValue(mRetriggerToken);
    EngineSetParameter(mEngine, kVoice00_NoteRetrig, mRetriggerToken);
}

void Kestrum::NoteOn(int note, int velocity)
{
    mHeld[note] = true;
    SetVoice(1.0, note, velocity);
    if (ParamHoldsExactly(kVoiceRetrigOffOn, 1.0))
        StepRetriggerToken();
    mNoteStackTop = std::min(mNoteStackTop + 1, kMaxNoteStackTop);
    mNoteStack[mNoteStackTop] = note;
    mVelocityStack[mNoteStackTop] = velocity;
}

void Kestrum::NoteOff(int note)
{
    mHeld[note] = false;
    const int previous = mNoteStack[mNoteStackTop];
    mNoteStackTop = std::max(mNoteStackTop - 1, 0);
    // Releasing the newest key while older ones are held returns to the previous key with
    // fresh envelopes.
    if (ParamHoldsExactly(kVoiceRetrigOffOn, 1.0) && previous == note && mNoteStackTop > 0)
        StepRetriggerToken();

    const auto found = std::find(mNoteStack.begin(), mNoteStack.end(), note);
    if (found != mNoteStack.end())
    {
        const auto index = found - mNoteStack.begin();
        std::copy(mNoteStack.begin() + index + 1, mNoteStack.end(), mNoteStack.begin() + index);
        std::copy(mVelocityStack.begin() + index + 1, mVelocityStack.end(), mVelocityStack.begin() + index);
        mNoteStack.back() = 0;
        mVelocityStack.back() = 0;
    }

    if (mSustain == 0)
    {
        EngineSetParameter(mEngine, kVoice00_NoteGate, 0.0);
        EngineSetParameter(mEngine, kVoice00_NoteNumber, note);
        GetParam(kVoice00_NoteGate)->SetPlainValue(0.0);
        GetParam(kVoice00_NoteNumber)->SetPlainValue(note);
    }
    // Any key still down keeps the voice open on the newest stacked note (set once per
    // held key, with the same values each time).
    for (int held = 0; held < kNumNotes; ++held)
    {
        if (mHeld[held])
            SetVoice(1.0, mNoteStack[mNoteStackTop], mVelocityStack[mNoteStackTop]);
    }
}

void Kestrum::ControlChange(int controller, int value)
{
    if (controller == kControllerSustain)
    {
        SustainPedal(value);
        return;
    }
    if (controller == kControllerAllNotesOff)
    {
        VoiceReset();
        return;
    }
    for (const ControllerMapping& mapping : kControllerMap)
    {
        if (mapping.controller != controller)
            continue;
        // The host is not told: controllers are the player's gestures, not automation.
        ApplyParameterValue(mapping.paramIndex, value / 127.0, true, ValueOrigin::Instrument);
        return;
    }
}

void Kestrum::SustainPedal(int value)
{
    if (value == 0)
    {
        mSustain = 0;
        if (ParamHoldsExactly(kVoiceModeMonoPoly, 0.0) && !AnyNoteHeld())
        {
            EngineSetParameter(mEngine, kVoice00_NoteGate, 0.0);
            GetParam(kVoice00_NoteGate)->SetPlainValue(0.0);
        }
    }
    // Half-way pedal values change nothing.
    if (value == kSustainDown)
        mSustain = kSustainDown;
}

void Kestrum::VoiceReset()
{
    mHeld.fill(false);
    mNoteStack.fill(0);
    mVelocityStack.fill(0);
    mNoteStackTop = 0;
    mRetriggerToken = 0.0f;
    mSustain = 0;
    EngineSetParameter(mEngine, kVoice00_NoteGate, 0.0);
    GetParam(kVoice00_NoteGate)->SetPlainValue(0.0);
}

bool Kestrum::ParamHoldsExactly(int paramIndex, double value) const
{
    return GetParam(paramIndex)->Value() == value;
}

bool Kestrum::AnyNoteHeld() const { return std::find(mHeld.begin(), mHeld.end(), true) != mHeld.end(); }
