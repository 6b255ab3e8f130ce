#include "engine/SynthEngine.h"

#include "engine/NoiseGenerator.h"
#include "engine/NumberGuards.h"

#include <algorithm>
#include <cmath>
#include <new>

using namespace numberguard;

namespace
{

struct ParameterDescription
{
    const char* name;
    double defaultValue;
    double minimum;
    double maximum;
};

// Names sorted alphabetically, upper case before lower case; the index order is fixed.
constexpr ParameterDescription kParameters[kEngineParameterCount] = {
    {"HostBarStartPulse", 0.0, 0.0, 1.0},
    {"HostTempoBpm", 120.0, 0.0, 1000.0},
    {"HostTransportIsRunning", 0.0, 0.0, 1.0},
    {"MainVolume", 0.8, 0.0, 1.0},
    {"MidiChannelInput", 1.0, 1.0, 1.0},
    {"NoiseAmpLevel", 1.0, 0.0, 1.0},
    {"NoiseEnvAttack", 0.0, 0.0, 1.0},
    {"NoiseEnvDecay", 0.5, 0.0, 1.0},
    {"NoiseFilterTone", 0.5, 0.0, 1.0},
    {"PresetBackward", 0.0, 0.0, 1.0},
    {"PresetForward", 0.0, 0.0, 1.0},
    {"PresetLoad", 0.0, 0.0, 1.0},
    {"PresetSave", 0.0, 0.0, 1.0},
    {"PresetSelector", 0.0, -1.0, 10000.0},
    {"StereoExpandOffOn", 0.0, 0.0, 1.0},
    {"TonalAmpLevel", 1.0, 0.0, 1.0},
    {"TonalEnvAttack", 0.0, 0.0, 1.0},
    {"TonalEnvDecay", 0.5, 0.0, 1.0},
    {"TonalPitchAmt", 0.0, 0.0, 1.0},
    {"TransistorDistLoad", 0.0, 0.0, 1.0},
    {"VelAmpOffOn", 0.0, 0.0, 1.0},
    {"Voice00_NoteGate", 0.0, 0.0, 1.0},
    {"Voice00_NoteNumber", 64.0, 0.0, 127.0},
    {"Voice00_NoteRetrig", 0.0, 0.0, 1.0},
    {"Voice00_NoteVelocity", 64.0, 0.0, 127.0},
    {"VoiceModeMonoPoly", 0.0, 0.0, 0.0},
    {"VoiceRetrigOffOn", 1.0, 1.0, 1.0},
    {"zInitParams", 0.0, 0.0, 1.0},
};

// Everything the sample loop needs that depends only on parameters.
struct BlockSettings
{
    double tonalLevel = 0.0;
    double noiseLevel = 0.0;
    double leftDelaySamples = 0.0;
    double rightDelaySamples = 0.0;
    double outputGain = 0.0;
};

double envelopeSeconds(double root) { return 10.0 * clampValue(guardedPower(root, 2.0), 0.0001, 1.0); }

// Parameters are read once per block; the voice units take their block-rate settings.
BlockSettings prepareBlock(SynthEngine& engine)
{
    const double* p = engine.parameterValues;
    VoiceState& voice = engine.voice;
    const double sr = engine.sampleRate;

    engine.reciprocalSampleRate = 1.0 / sr;
    const int32_t blankSamples = truncateToInt32(sr * 0.001);

    const double tonalAttack = envelopeSeconds(0.1 * p[kTonalEnvAttack]);
    const double tonalDecay = envelopeSeconds(0.13 * p[kTonalEnvDecay] + 0.07);
    const double noiseAttack = envelopeSeconds(0.1 * p[kNoiseEnvAttack]);
    const double noiseDecay = envelopeSeconds(0.29 * p[kNoiseEnvDecay] + 0.01);
    const double fallingCoefficient = 1.0 / std::max(std::fabs(sr * 0.001), 1.0);
    voice.tonalEnvelope.prepare(tonalAttack, tonalDecay, sr, blankSamples, fallingCoefficient);
    voice.noiseEnvelope.prepare(noiseAttack, noiseDecay, sr, blankSamples, fallingCoefficient);

    voice.oscillator.prepare(p[kTonalPitchAmt], engine.reciprocalSampleRate);
    voice.toneFilter.prepare(p[kNoiseFilterTone], sr);
    voice.shaper.prepare(p[kTransistorDistLoad]);

    BlockSettings block;
    block.tonalLevel = p[kTonalAmpLevel];
    block.noiseLevel = p[kNoiseAmpLevel];
    block.rightDelaySamples = sr * 0.04 * p[kStereoExpandOffOn];
    block.leftDelaySamples = block.rightDelaySamples * 0.4;

    // The velocity is taken only when the gate has crossed 0.5 upward since the last block.
    const double velocity = clampValue(p[kVoice00_NoteVelocity] * 0.00787, 0.0, 1.0);
    const double gateOffset = p[kVoice00_NoteGate] - 0.5;
    if (!(voice.previousGateOffset > 0.0) && gateOffset > 0.0)
        voice.latchedVelocity = velocity;
    voice.previousGateOffset = gateOffset;
    const double velocityGain = 1.0 + (voice.latchedVelocity - 1.0) * p[kVelAmpOffOn];
    block.outputGain = velocityGain * p[kMainVolume];
    return block;
}

// The sample loop runs unit by unit over stretches of up to kRunSamples samples: each
// unit takes its whole run before the next one starts. The units only meet through the
// values of the sample chain (and only the noise step touches the shared noise state),
// so every sample gets exactly the operations of the sample-by-sample loop, in the same
// order within each unit; only the interleaving between units differs. Each unit keeps
// its memories in registers for the run instead of reloading them at every sample.
constexpr int32_t kRunSamples = 128;

// Stereo expander, velocity and volume for a run of stage outputs: each line is read,
// then written with the stage output, sample by sample.
void writeFrames(SynthEngine& engine, const BlockSettings& block, const double* stageOutputs, double* left,
                 double* right, int32_t count)
{
    double delayed[kRunSamples];
    engine.leftDelay.processBlock(stageOutputs, block.leftDelaySamples, delayed, count);
    for (int32_t i = 0; i < count; ++i)
        left[i] = clampValue(delayed[i] * block.outputGain, -1.2, 1.2);
    engine.rightDelay.processBlock(stageOutputs, block.rightDelaySamples, delayed, count);
    for (int32_t i = 0; i < count; ++i)
        right[i] = clampValue(delayed[i] * block.outputGain, -1.2, 1.2);
}

// Noise, tone filter, mix and shaper for a run, given the envelope levels and the tones.
void renderStage(SynthEngine& engine, const BlockSettings& block, const double* noiseLevels,
                 const double* tones, double* stageOutputs, int32_t count)
{
    VoiceState& voice = engine.voice;
    double chain[kRunSamples];

    NoiseGenerator::fill(chain, count);
    for (int32_t i = 0; i < count; ++i)
        chain[i] = chain[i] * noiseLevels[i];

    voice.toneFilter.processBlock(chain, chain, count);
    for (int32_t i = 0; i < count; ++i)
        chain[i] = (chain[i] * block.noiseLevel + tones[i]) * 0.5;

    voice.shaper.processBlock(chain, stageOutputs, count);
}

void renderRun(SynthEngine& engine, const BlockSettings& block, double* left, double* right, int32_t count)
{
    VoiceState& voice = engine.voice;
    // Gate and retrigger can only change between blocks.
    const double gate = engine.parameterValues[kVoice00_NoteGate];
    const double retrig = engine.parameterValues[kVoice00_NoteRetrig];
    double tonalLevels[kRunSamples];
    double noiseLevels[kRunSamples];
    double tones[kRunSamples];
    double stageOutputs[kRunSamples];

    voice.tonalEnvelope.processBlock(gate, retrig, tonalLevels, count);

    voice.noiseEnvelope.processBlock(gate, retrig, noiseLevels, count);

    voice.oscillator.processBlock(tonalLevels, engine.cosineTable, block.tonalLevel, tones, count);

    renderStage(engine, block, noiseLevels, tones, stageOutputs, count);

    writeFrames(engine, block, stageOutputs, left, right, count);
}

void renderFull(SynthEngine& engine, const BlockSettings& block, double* left, double* right,
                int32_t frameCount)
{
    for (int32_t done = 0; done < frameCount; done += kRunSamples)
        renderRun(engine, block, left + done, right + done, std::min(kRunSamples, frameCount - done));
}

// When, besides the resting envelopes, the filter holds only zeros, the shaper's input side rests and the tone
// is +0 (or the shaper is in), the mix is a zero whatever the noise value: a signed zero
// through the filter stays a zero and (zero + +0) is +0. Then the noise only has to
// advance, A, B and the decimated value stay +0, and only the DC blocker memory moves
// (TransistorShaper::stepAtRest).
void renderSilentStage(SynthEngine& engine, const BlockSettings& block, double* left, double* right,
                       int32_t frameCount)
{
    TransistorShaper& shaper = engine.voice.shaper;
    NoiseGenerator::skip(frameCount);
    double stageOutputs[kRunSamples];
    for (int32_t done = 0; done < frameCount; done += kRunSamples)
    {
        const int32_t count = std::min(kRunSamples, frameCount - done);
        for (int32_t i = 0; i < count; ++i)
            stageOutputs[i] = shaper.stepAtRest();
        writeFrames(engine, block, stageOutputs, left + done, right + done, count);
    }
}

// Both envelopes rest: their levels are +0 for the whole block and their memories do
// not change, so the oscillator's phase and output are the same at every sample. Only
// the noise (which must advance once per sample), the filter, the shaper and the delay
// lines still run, exactly as in the full loop.
void renderResting(SynthEngine& engine, const BlockSettings& block, double* left, double* right,
                   int32_t frameCount)
{
    if (frameCount <= 0)
        return;
    VoiceState& voice = engine.voice;
    const double restingLevel = 0.0;
    const double tone = voice.oscillator.step(restingLevel, engine.cosineTable) * block.tonalLevel;
    const bool mixIsZero = voice.toneFilter.lowPass.isAtRest() && voice.toneFilter.highPass.isAtRest() &&
                           voice.toneFilter.coefficientsAreFinite() && std::isfinite(block.noiseLevel);
    if (mixIsZero && voice.shaper.inputSideAtRest() && (voice.shaper.enabled || isPositiveZero(tone)))
    {
        ++engine.silentStageBlockCount;
        renderSilentStage(engine, block, left, right, frameCount);
        return;
    }
    double levels[kRunSamples];
    double tones[kRunSamples];
    std::fill(levels, levels + kRunSamples, restingLevel);
    std::fill(tones, tones + kRunSamples, tone);
    double stageOutputs[kRunSamples];
    for (int32_t done = 0; done < frameCount; done += kRunSamples)
    {
        const int32_t count = std::min(kRunSamples, frameCount - done);
        renderStage(engine, block, levels, tones, stageOutputs, count);
        writeFrames(engine, block, stageOutputs, left + done, right + done, count);
    }
}

bool voiceRests(const SynthEngine& engine)
{
    const double sr = engine.sampleRate;
    if (!(sr > 0.0 && std::isfinite(sr)))
        return false;
    const double gate = engine.parameterValues[kVoice00_NoteGate];
    const double retrig = engine.parameterValues[kVoice00_NoteRetrig];
    const VoiceState& voice = engine.voice;
    return voice.tonalEnvelope.isResting(gate, retrig) && voice.noiseEnvelope.isResting(gate, retrig) &&
           std::isfinite(voice.tonalEnvelope.decaySeconds) && std::isfinite(voice.noiseEnvelope.decaySeconds);
}

bool memoryIsComplete(const SynthEngine& engine)
{
    return engine.leftDelay.hasMemory() && engine.rightDelay.hasMemory() && engine.cosineTable.isComplete();
}

void resetEngine(SynthEngine& engine, double sampleRate, int32_t vectorSize, bool retryCosineTable)
{
    engine.sampleRate = sampleRate;
    engine.vectorSize = vectorSize;
    engine.errorCode = kEngineOk;
    engine.leftDelay.prepare();
    engine.rightDelay.prepare();
    // A table left short by a memory shortage at creation gets another chance at each
    // later reset; a complete table is never touched again.
    if (retryCosineTable && !engine.cosineTable.isComplete())
        engine.cosineTable.build();
    for (int32_t i = 0; i < kEngineParameterCount; ++i)
        engine.parameterValues[i] = kParameters[i].defaultValue;
    engine.voice = VoiceState{};
    engine.reciprocalSampleRate = 1.0 / sampleRate;
}

} // namespace

SynthEngine* EngineCreate(double sampleRate)
{
    SynthEngine* engine = new (std::nothrow) SynthEngine;
    if (engine == nullptr)
        return nullptr;
    engine->cosineTable.build();
    resetEngine(*engine, sampleRate, kEngineVectorSize, false);

    engine->sampleRate = sampleRate;
    engine->inputCount = 2;
    engine->outputCount = 2;
    engine->inputNames[0] = "in1";
    engine->inputNames[1] = "in2";
    engine->outputNames[0] = "audio_out_1";
    engine->outputNames[1] = "audio_out_2";
    engine->parameterTable.reset(new (std::nothrow) EngineParameterRecord[kEngineParameterCount]);
    if (engine->parameterTable)
    {
        engine->parameterCount = kEngineParameterCount;
        for (int32_t i = 0; i < kEngineParameterCount; ++i)
        {
            EngineParameterRecord& record = engine->parameterTable[i];
            record.name = kParameters[i].name;
            record.units = "";
            record.defaultValue = engine->parameterValues[i];
            record.minimum = kParameters[i].minimum;
            record.maximum = kParameters[i].maximum;
        }
    }
    return engine;
}

void EngineReset(SynthEngine* engine, double sampleRate, int32_t vectorSize)
{
    if (engine == nullptr)
        return;
    resetEngine(*engine, sampleRate, vectorSize, true);
}

void EngineSetParameter(SynthEngine* engine, int32_t index, double value)
{
    if (engine == nullptr || index < 0 || index >= kEngineParameterCount)
        return;
    // Not-a-number would slip through the range check and silence the voice for good.
    if (std::isnan(value))
        return;
    const ParameterDescription& range = kParameters[index];
    double clamped = value;
    if (clamped < range.minimum)
        clamped = range.minimum;
    else if (clamped > range.maximum)
        clamped = range.maximum;
    engine->parameterValues[index] = clamped;
}

int32_t EnginePerform(SynthEngine* engine, const double* const* inputs, double* const* outputs,
                      int32_t frameCount)
{
    if (engine == nullptr)
        return kEngineErrorMissingBuffer;
    if (engine->errorCode != kEngineOk)
        return engine->errorCode;
    if (inputs == nullptr || outputs == nullptr || inputs[0] == nullptr || inputs[1] == nullptr ||
        outputs[0] == nullptr || outputs[1] == nullptr)
    {
        engine->errorCode = kEngineErrorMissingBuffer;
        return engine->errorCode;
    }
    double* left = outputs[0];
    double* right = outputs[1];
    if (!memoryIsComplete(*engine))
    {
        // Never render into missing or short memory; the next reset tries again.
        std::fill(left, left + std::max(frameCount, 0), 0.0);
        std::fill(right, right + std::max(frameCount, 0), 0.0);
        return kEngineErrorMemoryShort;
    }
    const BlockSettings block = prepareBlock(*engine);
    if (engine->restingShortcutEnabled && voiceRests(*engine))
    {
        ++engine->restingBlockCount;
        renderResting(*engine, block, left, right, frameCount);
    }
    else
        renderFull(*engine, block, left, right, frameCount);
    return kEngineOk;
}

void EngineDestroy(SynthEngine* engine) { delete engine; }

int32_t EngineParameterCount(const SynthEngine* engine)
{
    return engine != nullptr ? engine->parameterCount : 0;
}

const EngineParameterRecord* EngineParameterRecordAt(const SynthEngine* engine, int32_t index)
{
    if (engine == nullptr || !engine->parameterTable || index < 0 || index >= engine->parameterCount)
        return nullptr;
    return &engine->parameterTable[index];
}

double EngineParameterValue(const SynthEngine* engine, int32_t index)
{
    if (engine == nullptr || index < 0 || index >= kEngineParameterCount)
        return 0.0;
    return engine->parameterValues[index];
}

double EngineSampleRate(const SynthEngine* engine) { return engine != nullptr ? engine->sampleRate : 0.0; }
