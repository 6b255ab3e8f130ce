#pragma once
// One entry of the engine's parameter table. The texts are static and never freed.

#include <cstdint>

struct EngineParameterRecord
{
    const char* name = "";
    const char* units = "";
    double defaultValue = 0.0;
    double minimum = 0.0;
    double maximum = 0.0;
};

// Engine parameter indices; the same numbering is used by the instrument, the host
// automation and the state chunk.
enum EngineParameterIndex : int32_t
{
    kHostBarStartPulse = 0,
    kHostTempoBpm = 1,
    kHostTransportIsRunning = 2,
    kMainVolume = 3,
    kMidiChannelInput = 4,
    kNoiseAmpLevel = 5,
    kNoiseEnvAttack = 6,
    kNoiseEnvDecay = 7,
    kNoiseFilterTone = 8,
    kPresetBackward = 9,
    kPresetForward = 10,
    kPresetLoad = 11,
    kPresetSave = 12,
    kPresetSelector = 13,
    kStereoExpandOffOn = 14,
    kTonalAmpLevel = 15,
    kTonalEnvAttack = 16,
    kTonalEnvDecay = 17,
    kTonalPitchAmt = 18,
    kTransistorDistLoad = 19,
    kVelAmpOffOn = 20,
    kVoice00_NoteGate = 21,
    kVoice00_NoteNumber = 22,
    kVoice00_NoteRetrig = 23,
    kVoice00_NoteVelocity = 24,
    kVoiceModeMonoPoly = 25,
    kVoiceRetrigOffOn = 26,
    kzInitParams = 27,
    kEngineParameterCount = 28
};
