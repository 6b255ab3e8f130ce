#pragma once
// The synthesis engine: a plain state record driven by five operations. It knows
// nothing of plug-ins, hosts or MIDI; its owner must never run two of its operations
// at the same time (the engine takes no locks itself).
//
// Lifecycle: EngineCreate once; then EngineReset, EngineSetParameter and EnginePerform
// in any order, one at a time; EngineDestroy once at the end.

#include "engine/CosineTable.h"
#include "engine/DelayLine.h"
#include "engine/EngineParameterRecord.h"
#include "engine/VoiceState.h"

#include <cstdint>
#include <memory>

// EnginePerform results.
// The largest block the engine renders in one call; the instrument resets it with this size.
constexpr int32_t kEngineVectorSize = 1024;

constexpr int32_t kEngineOk = 0;
constexpr int32_t kEngineErrorMissingBuffer = 101; // latched until the next EngineReset
// The delay lines or the cosine table could not get their full size: the block is
// silent. Not latched; every EngineReset tries to obtain the memory again.
constexpr int32_t kEngineErrorMemoryShort = 102;

struct SynthEngine
{
    double sampleRate = 0.0;
    int32_t vectorSize = 0;
    int32_t inputCount = 0;
    int32_t outputCount = 0;
    const char* inputNames[2] = {"", ""};
    const char* outputNames[2] = {"", ""};
    int32_t parameterCount = 0;
    std::unique_ptr<EngineParameterRecord[]> parameterTable;
    int32_t errorCode = kEngineOk;
    double reciprocalSampleRate = 0.0;
    double parameterValues[kEngineParameterCount] = {};
    VoiceState voice;
    DelayLine leftDelay;
    DelayLine rightDelay;
    CosineTable cosineTable;

    // Blocks in which the voice provably rests skip the envelope and oscillator maths;
    // the result is bit for bit the same. Tests switch it off to compare both ways.
    bool restingShortcutEnabled = true;
    uint64_t restingBlockCount = 0;     // blocks rendered through the shortcut
    uint64_t silentStageBlockCount = 0; // of those, blocks whose stage input was all zeros
};

// [owner's thread, e.g. the instrument's constructor] Creates an engine for the sample rate, fully reset. Returns nullptr only when the
// state record itself cannot be allocated.
SynthEngine* EngineCreate(double sampleRate);

// [audio set-up, under the owner's lock] Back to the defaults and silence for a (new) sample rate. Clears the error code,
// re-prepares the delay lines; leaves the parameter table and the noise generator alone.
void EngineReset(SynthEngine* engine, double sampleRate, int32_t vectorSize);

// [any thread, under the owner's lock] Stores the value clamped to the parameter's range; other indices are ignored, and so
// is a value that is not a number. Takes effect at the next block.
void EngineSetParameter(SynthEngine* engine, int32_t index, double value);

// [audio thread, under the owner's lock] Renders frameCount samples: left into outputs[0], right into outputs[1]. The inputs
// are never read but must be present. Returns 0, 101 (missing buffer, latched) or 102
// (memory short, silence written).
int32_t EnginePerform(SynthEngine* engine, const double* const* inputs, double* const* outputs,
                      int32_t frameCount);

// [owner's thread, e.g. the instrument's destructor] Frees the engine and all it owns.
void EngineDestroy(SynthEngine* engine);

// Read access for the owner [any thread, under the owner's lock].
int32_t EngineParameterCount(const SynthEngine* engine);
// nullptr for an index outside 0 to 27.
const EngineParameterRecord* EngineParameterRecordAt(const SynthEngine* engine, int32_t index);
// The current value; 0 for an index outside 0 to 27.
double EngineParameterValue(const SynthEngine* engine, int32_t index);
double EngineSampleRate(const SynthEngine* engine);
