#pragma once
// The Kestrum instrument: a monophonic snare-drum synthesiser. It owns one synthesis
// engine, mirrors the engine's 28 parameters as its plug-in parameters (same indices),
// turns MIDI on channel 1 into the engine's voice parameters through a last-note-priority
// note stack, passes the host tempo on, and lets the engine render every block.
//
// The class is the same in every module; only its adapter base differs. "PluginAdapter.h"
// comes from the module's own include path and names that base (the VST3 adapter, the
// VST2 adapter or the offline renderer's).
//
// Threads: the adapters call ProcessMidiMessage and ProcessBlock on the audio thread while
// they hold the plug-in lock. ResetProcessing and OnParameterChange take the lock
// themselves; MIDI controllers handled inside ProcessBlock call OnParameterChange, which
// enters the recursive lock a second time on the same thread.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "PluginAdapter.h"
#include "engine/SynthEngine.h"
#include "framework/MidiMessage.h"
#include "instrument/MidiQueue.h"
#include "instrument/PresetBar.h"

class Kestrum : public PluginAdapter
{
public:
    static constexpr int kNumParams = kEngineParameterCount;
    static constexpr int kNumNotes = kMidiNoteCount;
    static constexpr int kMaxNoteStackTop = 100;
    static constexpr int kSustainDown = 127;

    // The configuration every module builds its core with; the adapter sets the API value.
    static PluginConfig Config();

    explicit Kestrum(const PluginAdapter::HostContext& host = {});
    // [the thread that destroys the instance, after processing has stopped]
    ~Kestrum() override;
    Kestrum(const Kestrum&) = delete;
    Kestrum& operator=(const Kestrum&) = delete;

    // Resets the engine for the current sample rate and resends every parameter value.
    // [main thread, takes the plug-in lock]
    void ResetProcessing() override;
    // Passes the parameter's value to the engine.
    // [any thread, takes the plug-in lock]
    void OnParameterChange(int paramIndex) override;
    // Handles the block's MIDI, passes the tempo on and renders both outputs.
    // [audio thread, under the plug-in lock]
    void ProcessBlock(double** inputs, double** outputs, int frames) override;
    // Queues messages on the instrument's MIDI channel by sample offset.
    // [audio thread, under the plug-in lock]
    void ProcessMidiMessage(const MidiMessage& message) override;

    // Restores a state, then resets the voice: a state saved while a key was down must not
    // play by itself. [any thread, takes the plug-in lock]
    int32_t LoadState(const ChunkBuffer& chunk, int32_t startPos) override;
    // Marks presses of the load and save buttons, so that only they touch files.
    // [window thread, takes the plug-in lock]
    void SetParameterFromEditor(int paramIndex, double normalizedValue) override;

    // Forgets all notes, lifts the sustain pedal and closes the gate.
    // [any thread, under the plug-in lock]
    void VoiceReset();

    // ---- Read access for the editor, the adapters and tests --------------------------

    const SynthEngine& Engine() const { return *mEngine; }
    float RetriggerToken() const { return mRetriggerToken; }
    int Sustain() const { return mSustain; }
    int NoteStackTop() const { return mNoteStackTop; }
    // 0 and false for indices outside 0 to 127.
    int NoteStackEntry(int index) const { return InNoteRange(index) ? mNoteStack[index] : 0; }
    bool IsNoteHeld(int note) const { return InNoteRange(note) && mHeld[note]; }
    float LastPresetNumber() const { return mLastPresetNumber; }

    // ---- Preset files and the library (KestrumPresets.cpp) -----------------------------

    // The library folder, ending with "/"; the platform's unless set. [under the plug-in lock]
    const std::string& PresetLibraryFolder() const { return mPresetLibraryFolder; }
    // Points the catalogue at another library (tests, the offline renderer).
    // [under the plug-in lock]
    void SetPresetLibraryFolder(const std::string& folder) { mPresetLibraryFolder = folder; }
    // The selectors' current files and the name display.
    PresetBar& Presets() { return *mPresetBar; }
    // The editor hands over its own view of the preset bar. [constructing thread]
    void SetPresetBar(std::unique_ptr<PresetBar> bar);
    // The load selector's current file becomes the catalogue file PresetSelector selects.
    void SelectPresetFile();
    // Reads the load selector's current file into the eleven sound parameters.
    void LoadPresetFile();
    // Writes the eleven sound parameters to the save selector's current file.
    void SavePresetFile();
    // PresetSelector := its value + direction (-1 or +1), engine likewise.
    void StepPreset(int direction);

private:
    static bool InNoteRange(int index) { return IsMidiNote(index); }
    void DefineParametersFromEngine();
    void HandleMessage(const MidiMessage& message);
    void NoteOn(int note, int velocity);
    void NoteOff(int note);
    void ControlChange(int controller, int value);
    void SustainPedal(int value);
    // Sets the gate, note number and velocity in the engine and the plug-in parameters.
    void SetVoice(double gate, double note, double velocity);
    void StepRetriggerToken();
    bool ParamHoldsExactly(int paramIndex, double value) const;
    bool AnyNoteHeld() const;
    // The reactions of the preset parameters (backward, forward, load, save, selector).
    void OnPresetParameterChange(int paramIndex);
    void SetPresetSelector(double value);
    void FinishPresetSelection();
    // Builds the editor and attaches it to the core.
    void BuildEditor();

    SynthEngine* mEngine = nullptr;
    MidiQueue mMidiQueue;
    int mSustain = 0;
    std::array<bool, kNumNotes> mHeld{};
    int mNoteStackTop = 0;
    std::array<int32_t, kNumNotes> mNoteStack{};
    std::array<int32_t, kNumNotes> mVelocityStack{};
    float mRetriggerToken = 0.0f;
    float mLastPresetNumber = 0.0f;
    std::string mPresetLibraryFolder;
    std::unique_ptr<PresetBar> mPresetBar;
    // The last line of a preset file is read into this (PresetFile::kMaxLineBytes, made once
    // with the instance): preset reads on the audio thread allocate nothing.
    std::unique_ptr<char[]> mPresetLine;
    bool mRestoringState = false; // a state is being restored: no preset action runs
    int mPressedFileButton = -1;  // PresetLoad or PresetSave while its button reports a press
};
