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

#include "PluginAdapter.h"
#include "engine/SynthEngine.h"
#include "instrument/MidiQueue.h"

class Kestrum : public PluginAdapter
{
public:
    static constexpr int kNumParams = kEngineParameterCount;
    static constexpr int kNumNotes = 128;
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
    // [host set-up thread, takes the plug-in lock]
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

private:
    static bool InNoteRange(int index) { return index >= 0 && index < kNumNotes; }
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
    // Builds the editor from its layout table and attaches it to the core (KestrumEditor.cpp).
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
};
