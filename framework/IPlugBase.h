#pragma once
// The format-independent core of a plug-in instance. It owns the parameters, the preset
// slots, the channel layout and per-channel buffers, the instance's identity, the sample rate
// and block size, the attached editor and the instance lock.
//
// Two host threads meet here. The audio thread processes blocks (through an adapter, which
// holds the plug-in lock around every host entry point); the window thread runs the editor.
// The host's main thread sets up, saves and restores. One recursive lock serialises them all:
// it is recursive because loading a state calls OnParameterChange, which locks again on the
// same thread.
//
// Every new parameter value takes one road, ApplyParameterValue: under the plug-in lock the
// parameter stores it (clamped to its range), the host is told or the editor's controls
// receive it depending on where the value came from (ValueOrigin), and OnParameterChange
// passes it on to the instrument. The three common scenarios, hop by hop:
//
// A knob turned in the editor
//   [window thread] the window layer's mouse message -> IGraphics::HandleMouseDown
//     -> BeginParameterEdit (the host opens an undo step: VST3 beginEdit)
//   [window thread] mouse moves -> IGraphics::HandleMouseDrag -> the control's MouseDrag
//     -> IControl::MarkChanged(true) -> SetParameterFromEditor (the instrument notes presses
//     of its file buttons here)
//     -> ApplyParameterValue(Editor) [takes the plug-in lock] -> the parameter stores the
//        value -> NotifyHostOfParameterChange (VST3 performEdit, VST2 the automate callback)
//        -> OnParameterChange [lock again] -> the engine gets the value; a preset parameter
//        reads or writes its file here, on the window thread
//   [window thread] mouse up -> IGraphics::HandleMouseUp -> EndParameterEdit
//   The control already shows its value; the next 40 ms timer tick redraws it.
//
// Host automation
//   VST3: [audio thread] IPlugVST3::process [takes the plug-in lock] -> ApplyParameterChanges
//     (the last point of each queue, before the block's events and audio)
//     -> SetParameterFromHost -> ApplyParameterValue(Host) [lock again] -> the parameter
//     stores the value -> the editor's PushValueToControls (only stores and marks; the window
//     thread redraws on its timer) -> OnParameterChange [lock again] -> the engine; a preset
//     parameter reads its file here, on the audio thread, so that path allocates nothing.
//     The controller's own store, IPlugVST3::setParamNormalized [main thread], keeps the
//     value only: the same change reaches process() as well.
//   VST2: [the host's thread, usually the audio thread] the setParameter entry [takes the
//     plug-in lock] -> SetParameterFromHost -> as above. Text the host typed
//     (the dispatcher [main thread, takes the lock]) goes the same way as a plain value.
//
// A preset or state recall
//   State, VST3: [main thread] IPlugVST3::setState [takes the plug-in lock] reads the whole
//     stream first -> LoadState (the instrument marks a restore: no preset file is read or
//     written) -> UnserializeParams [lock again]: every value stored, clamped, then
//     OnParameterChange for each parameter in order -> the instrument closes the gate and
//     forgets the notes (the retrigger token stays as restored) -> RefreshParameterControls
//     -> the editor's PushValueToControls.
//   State, VST2: [main thread] the dispatcher [takes the lock] -> SetChunk -> header ->
//     LoadState as above, or UnserializePresets for a bank (LoadState per slot, then
//     LoadPresetSlot for the current one) -> RefreshParameterControls.
//   Program change, VST3: [audio thread] process -> the program parameter -> LoadPresetSlot
//     -> LoadState as above, on the audio thread.
//   Preset file: [window thread] a menu choice -> IPopupMenu_PresetSelector::ChoosePreset ->
//     ApplyParameterValue(Instrument) on the selector [takes the lock] -> OnParameterChange
//     -> the instrument's preset reaction: voice reset, the catalogue file, the file's eleven
//     values each through ApplyParameterValue(Instrument) [lock again], which pushes them to
//     the editor and tells the host nothing. From host automation the same reaction runs on
//     the audio thread.
//
// The virtual operations keep a fixed order; the adapters override the host-facing ones and
// the instrument overrides processing and notification.

#include "framework/ChannelIoPair.h"
#include "framework/ChunkBuffer.h"
#include "framework/EditorLink.h"
#include "framework/HostId.h"
#include "framework/InputChannel.h"
#include "framework/LatencyDelayLine.h"
#include "framework/MidiMessage.h"
#include "framework/OutputChannel.h"
#include "framework/PlugLock.h"
#include "framework/PluginConfig.h"
#include "framework/PluginParameter.h"
#include "framework/Preset.h"
#include "framework/TimeInfo.h"

#include <cstdint>
#include <memory>
#include <vector>

// Where a new parameter value comes from; it decides what happens besides storing it and
// OnParameterChange.
enum class ValueOrigin
{
    Host,       // automation, a restored setting, text the host typed: the editor's controls
                // receive it; the host already knows it
    Editor,     // a gesture on a control: the host is told; the control already shows it
    Instrument, // the instrument's own change (a MIDI controller, a preset file, a preset
                // menu choice): the editor's controls receive it; the host is not told
};

class IPlugBase
{
public:
    static constexpr int kNameBytes = 128; // effect, product and manufacturer names
    static constexpr double kStateTolerance = 0.00001;

    explicit IPlugBase(const PluginConfig& config);
    IPlugBase(const IPlugBase&) = delete;
    IPlugBase& operator=(const IPlugBase&) = delete;

    // ---- Virtual operations, in their fixed order -------------------------------------

    // 0. Frees everything, the editor first.
    // [the thread that destroys the instance, after processing has stopped]
    virtual ~IPlugBase();
    // 1. Sample rate, block size or activation changed.
    // [main thread, takes the plug-in lock]
    virtual void ResetProcessing();
    // 2. Parameter `paramIndex` has a new value.
    // [any thread, takes the plug-in lock]
    virtual void OnParameterChange(int paramIndex);
    // 3. Renders a block. Default: outputs copy the inputs they have, the rest are zeroed.
    // [audio thread, under the plug-in lock]
    virtual void ProcessBlock(double** inputs, double** outputs, int frames);
    // 4. The same pass-through in single precision.
    // [audio thread, under the plug-in lock]
    virtual void ProcessBlockFloat(float** inputs, float** outputs, int frames);
    // 5. [window thread]
    virtual void OnEditorOpen();
    // 6. [window thread]
    virtual void OnEditorClose();
    // 7. Hook without a caller in this product.
    // [unused]
    virtual void ReservedHook7();
    // 8. [main thread, takes the plug-in lock]
    virtual void OnActivationChanged(bool active);
    // 9. Default: forwards the message to SendMidiMessage.
    // [audio thread, under the plug-in lock]
    virtual void ProcessMidiMessage(const MidiMessage& message);
    // 10. [audio thread, under the plug-in lock]
    virtual void ProcessSysExMessage(const SysExMessage& message);
    // 11. Default: empties the text and answers false.
    // [host thread, under the plug-in lock]
    virtual bool GetMidiNoteName(int noteNumber, char* text, int textBytes);
    // 12. Appends the state chunk. Default: SerializeParams.
    // [any thread, under the plug-in lock]
    virtual bool SaveState(ChunkBuffer& chunk);
    // 13. Reads a state chunk from startPos; returns the position after it or -1.
    //     Default: UnserializeParams.
    // [any thread, takes the plug-in lock]
    virtual int32_t LoadState(const ChunkBuffer& chunk, int32_t startPos);
    // 14. True when every parameter value differs from values[startIndex + i] by less than
    //     kStateTolerance. False when the numValues doubles do not cover every parameter.
    // [any thread, takes the plug-in lock]
    virtual bool StateEquals(const double* values, int numValues, int startIndex);
    // 15. [window thread]
    virtual void OnEditorResized();
    // 16. Hook without a caller in this product; answers false.
    // [unused]
    virtual bool ReservedHook16();
    // 17. The host identity has been learned.
    // [main thread]
    virtual void OnHostKnown();
    // 18. Opens the host's context menu for a parameter (VST3 adapter). Default: nothing.
    // [window thread]
    virtual void ShowHostContextMenu(int paramIndex, int x, int y);
    // 19. A control's new value: ApplyParameterValue with the origin Editor.
    // [window thread, takes the plug-in lock]
    virtual void SetParameterFromEditor(int paramIndex, double normalizedValue);
    // 20. A gesture on a parameter begins. Adapter; default nothing.
    // [window thread]
    virtual void BeginParameterEdit(int paramIndex);
    // 21. Tells the host of a new normalised value. Adapter; default nothing.
    // [window thread, under the plug-in lock]
    virtual void NotifyHostOfParameterChange(int paramIndex, double normalizedValue);
    // 22. A gesture on a parameter ends. Adapter; default nothing.
    // [window thread]
    virtual void EndParameterEdit(int paramIndex);
    // 23. Adapter; default nothing.
    // [window thread or host thread]
    virtual void NotifyHostOfPresetChange();
    // 24. Default false.
    // [audio thread, under the plug-in lock]
    virtual bool RendersOffline();
    // 25. Adapter; default 0 (no transport).
    // [audio thread, under the plug-in lock]
    virtual double GetSamplePosition();
    // 26. Host tempo in beats per minute. Adapter; default 0 (no tempo known).
    // [audio thread, under the plug-in lock]
    virtual double QueryTempo();
    // 27. Adapter; default leaves the caller's values.
    // [audio thread, under the plug-in lock]
    virtual void GetTimeSignature(int& numerator, int& denominator);
    // 28. Adapter; default leaves the caller's values (TimeInfo's defaults).
    // [audio thread, under the plug-in lock]
    virtual void GetTimeInfo(TimeInfo& info);
    // 29. The stored host identity; the VST2 adapter identifies the host on first use.
    // [any thread]
    virtual HostId HostIdentity();
    // 30. 0 for VST2, 1 for VST3.
    // [any thread]
    virtual int32_t GetPluginApi();
    // 31. The editor changed its size. Adapter; default nothing.
    // [window thread]
    virtual void ResizeEditor(int width, int height);
    // 32. The host has opened the plug-in. Default nothing; the VST2 adapter overrides.
    // [main thread]
    virtual void InitForHost();
    // 33. Takes ownership of the editor, pushes every parameter value into its controls and
    //     lets it prepare its drawing surfaces. Nothing for none.
    // [constructing thread, takes the plug-in lock]
    virtual void AttachEditor(std::unique_ptr<EditorLink> editor);
    // 34. Sets the latency and resets the latency delay line to it.
    // [main thread, takes the plug-in lock]
    virtual void SetLatency(int latencySamples);
    // 35. Adapter; default false (no MIDI output).
    // [audio thread, under the plug-in lock]
    virtual bool SendMidiMessage(const MidiMessage& message);
    // 36. Default false.
    // [audio thread, under the plug-in lock]
    virtual bool SendSysExMessage(const SysExMessage& message);
    // 37. Pushes every parameter's plain value into the attached editor.
    // [any thread, takes the plug-in lock: the editor only stores and marks]
    virtual void RefreshParameterControls();
    // 38. Hook without a caller in this product.
    // [unused]
    virtual void ReservedHook38();
    // 39. The preset list or the current preset changed. Default nothing.
    // [any thread, under the plug-in lock]
    virtual void OnPresetsChanged();
    // 40. Sizes every scratch buffer for `frames`; nothing when the size is unchanged.
    // [main thread, under the plug-in lock; never while processing]
    virtual void ApplyBlockSize(int frames);

    // ---- Identity and configuration ---------------------------------------------------

    const char* EffectName() const { return mEffectName; }
    const char* ProductName() const { return mProductName; }
    const char* ManufacturerName() const { return mManufacturerName; }
    int32_t UniqueId() const { return mUniqueId; }
    int32_t ManufacturerId() const { return mManufacturerId; }
    int32_t Version() const { return mVersion; }
    bool IsInstrument() const { return mIsInstrument; }
    bool DoesMidi() const { return mDoesMidi; }

    // Stores what an adapter learned of its host (see IdentifyHost); the version is packed
    // like the plug-in version, 0 when unknown.
    void SetHostIdentity(HostId host, int32_t hostVersion);
    int32_t HostVersion() const { return mHostVersion; }

    double SampleRate() const { return mSampleRate; }
    void SetSampleRate(double sampleRateHz) { mSampleRate = sampleRateHz; }
    int BlockSize() const { return mBlockSize; }
    int Latency() const { return mLatencySamples; }
    int TailSize() const { return mTailSamples; }
    void SetTailSize(int tailSamples) { mTailSamples = tailSamples; }

    PlugLock& PluginLock() { return mLock; }
    // The attached editor, or none.
    EditorLink* Editor() const { return mEditor.get(); }
    // The attached editor when it can open a window in a host's window; none otherwise, so
    // that hosts fall back to their own parameter editor. [any thread]
    EditorLink* WindowedEditor() const
    {
        return mEditor && mEditor->WindowSystem() != EditorWindowSystem::kNone ? mEditor.get() : nullptr;
    }

    // ---- Parameters -------------------------------------------------------------------

    int NumParams() const { return static_cast<int>(mParams.size()); }
    // The parameter at the index, or none for an index out of range.
    PluginParameter* GetParam(int paramIndex);
    const PluginParameter* GetParam(int paramIndex) const;
    // The one way a new value is applied. Under the plug-in lock: the parameter stores it
    // (from a normalised value limited to 0 ... 1, or a plain value clamped to its range);
    // for the origin Editor the host is told; for Host and Instrument the editor's controls
    // receive it; then OnParameterChange passes it on. False for an index out of range,
    // which changes nothing.
    // [any thread, takes the plug-in lock; allocates nothing of its own]
    bool ApplyParameterValue(int paramIndex, double value, bool isNormalized, ValueOrigin origin);
    // A host's value for a parameter (automation, a restored setting, text the host typed),
    // the way every adapter applies one: ApplyParameterValue with the origin Host.
    // [any host thread, takes the plug-in lock]
    bool SetParameterFromHost(int paramIndex, double value, bool isNormalized);

    // ---- Channels and buffers ---------------------------------------------------------

    const std::vector<ChannelIoPair>& ChannelConfigurations() const { return mChannelIoPairs; }
    int NumInputs() const { return static_cast<int>(mInputs.size()); }
    int NumOutputs() const { return static_cast<int>(mOutputs.size()); }
    // True when some channel configuration matches; a negative count matches any.
    bool LegalIO(int numInputs, int numOutputs) const;

    // Connecting and disconnecting channels. A disconnected channel consumes no host buffer
    // and its slot points at its own scratch buffer. Channels outside the range are ignored.
    void SetInputChannelConnections(int firstChannel, int numChannels, bool connected);
    void SetOutputChannelConnections(int firstChannel, int numChannels, bool connected);
    bool IsInputConnected(int channel) const;
    bool IsOutputConnected(int channel) const;
    // Inputs from the third on become unconnected, outputs from the third on connected.
    void LimitToStereoChannels();

    // Single precision: each connected input channel in [firstChannel, firstChannel +
    // numChannels) takes the next host buffer and converts `frames` samples (at most the
    // block size) into its scratch buffer.
    // [audio thread, under the plug-in lock; allocates nothing]
    void AttachInputBuffers(int firstChannel, int numChannels, float* const* hostBuffers, int frames);
    // Single precision: each connected output channel in the range takes the next host buffer
    // as its float destination and renders into its scratch buffer.
    // [audio thread, under the plug-in lock; allocates nothing]
    void AttachOutputBuffers(int firstChannel, int numChannels, float* const* hostBuffers);
    // Double precision: each connected channel in the range points its slot at the next host
    // buffer directly.
    // [audio thread, under the plug-in lock; allocates nothing]
    void AttachInputBuffers(int firstChannel, int numChannels, double* const* hostBuffers);
    void AttachOutputBuffers(int firstChannel, int numChannels, double* const* hostBuffers);
    // After ProcessBlock in single precision: writes `frames` samples (at most the block size)
    // of every connected output channel into its float destination, replacing or adding.
    // [audio thread, under the plug-in lock]
    void ConvertOutputsToFloat(int frames, bool accumulate);
    // The bypass path: inputs delayed by the latency (with a latency delay line and a latency
    // above 0) or passed straight through, then converted to single precision, replacing.
    // [audio thread, under the plug-in lock]
    void PassInputsThrough(int frames);
    // Zeroes every input and output scratch buffer.
    // [audio thread, under the plug-in lock]
    void ZeroScratchBuffers();
    // The largest frame count the single-precision path can convert: `frames` limited to the
    // block size (and not below 0). Adapters clamp a host's oversized block with it.
    int UsableFrames(int frames) const;

    // The arrays ProcessBlock receives: one pointer per input and per output channel.
    double** InputPointers() { return mInputPointers.data(); }
    double** OutputPointers() { return mOutputPointers.data(); }

    // Creates the latency delay line (with the current latency), used only when bypassing.
    // The VST3 adapter does this when the plug-in has inputs.
    void CreateLatencyDelayLine();
    const LatencyDelayLine* GetLatencyDelayLine() const { return mLatencyDelayLine.get(); }

    // ---- Presets ----------------------------------------------------------------------

    int NumPresets() const { return static_cast<int>(mPresets.size()); }
    int CurrentPresetIndex() const { return mCurrentPreset; }
    // The slot at the index, or none for an index out of range.
    Preset* GetPresetSlot(int presetIndex);
    // The slot's name, or the empty text for an index out of range.
    const char* PresetNameAt(int presetIndex) const;
    // Loads an initialised slot, or initialises a fresh one from the current state as the
    // next "user preset N". On success it becomes the current preset.
    // [any thread, takes the plug-in lock]
    bool LoadPresetSlot(int presetIndex);
    // Initialises up to `count` fresh slots from the current state, named `name` ("Empty"
    // when none is given).
    // [constructing thread]
    void FillDefaultPresets(const char* name, int count);
    // Stores the current state into the current slot, renaming it when a name is given.
    // [any thread, takes the plug-in lock]
    void ModifyCurrentPreset(const char* name = nullptr);

    // ---- State chunks -----------------------------------------------------------------

    // Appends one little-endian double per parameter, in index order.
    // [any thread, takes the plug-in lock]
    bool SerializeParams(ChunkBuffer& chunk);
    // Reads the values back from startPos, clamped to each range, then OnParameterChange for
    // every parameter. Returns the position after the last value. A chunk too short to hold
    // every value changes nothing and reports -1.
    // [any thread, takes the plug-in lock]
    int32_t UnserializeParams(const ChunkBuffer& chunk, int32_t startPos);
    // Appends the bank body: per slot its name (int32 length and bytes), its initialised
    // flag and, when initialised, its state.
    // [any thread, takes the plug-in lock]
    bool SerializePresets(ChunkBuffer& chunk);
    // Reads a bank body into the slots, then reloads the current slot. Returns the final
    // position. A bank that does not read to its last record changes nothing and reports -1.
    // [any thread, takes the plug-in lock]
    int32_t UnserializePresets(const ChunkBuffer& chunk, int32_t startPos);

private:
    void ParseChannelConfigurations(const char* channelIoString);
    void CreateChannels(int numInputs, int numOutputs);
    // The size of a state chunk as SaveState writes it.
    int32_t StateBytes();
    // One pass over a bank body: checks every record (apply false) or loads them into the
    // slots (apply true). Returns the final position or -1.
    int32_t WalkPresetBank(const ChunkBuffer& chunk, int32_t startPos, int32_t stateBytes, bool apply);
    // Reads one preset record's name; returns the end of the name field or -1.
    int32_t ReadPresetName(const ChunkBuffer& chunk, int32_t pos, char* nameText, int nameBytes) const;

    std::vector<ChannelIoPair> mChannelIoPairs;
    PlugLock mLock;
    char mEffectName[kNameBytes] = {};
    char mProductName[kNameBytes] = {};
    char mManufacturerName[kNameBytes] = {};
    int32_t mUniqueId = 0;
    int32_t mManufacturerId = 0;
    int32_t mVersion = 0;
    int32_t mPluginApi = 0;
    HostId mHost = kHostUnidentified;
    int32_t mHostVersion = 0;
    bool mIsInstrument = false;
    bool mDoesMidi = false;
    int32_t mCurrentPreset = 0;
    double mSampleRate = 44100.0;
    int mBlockSize = 0;
    int mLatencySamples = 0;
    int mTailSamples = 0;
    std::unique_ptr<LatencyDelayLine> mLatencyDelayLine;
    std::unique_ptr<EditorLink> mEditor;
    std::vector<std::unique_ptr<PluginParameter>> mParams;
    std::vector<std::unique_ptr<Preset>> mPresets;
    std::vector<double*> mInputPointers;
    std::vector<double*> mOutputPointers;
    std::vector<InputChannel> mInputs;
    std::vector<OutputChannel> mOutputs;
};
