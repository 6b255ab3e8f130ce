// Cost of the drum voice at 48 kHz in blocks of 256 samples, against the bare cost of the
// per-sample mathematics the voice cannot avoid. Counters: ns_per_sample (seconds per
// sample, shown with an "n" suffix) and realtime_x (seconds of audio per second).

#include "engine/CosineTable.h"
#include "engine/NoiseGenerator.h"
#include "engine/SynthEngine.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace
{

constexpr double kSampleRate = 48000.0;
constexpr int32_t kBlock = 256;
constexpr int64_t kHitSpacingSamples = 6000; // 16th notes at 120 BPM
constexpr int64_t kGateSamples = 3000;

void reportRates(benchmark::State& state, int64_t samples)
{
    state.counters["ns_per_sample"] = benchmark::Counter(
        static_cast<double>(samples), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["realtime_x"] =
        benchmark::Counter(static_cast<double>(samples) / kSampleRate, benchmark::Counter::kIsRate);
}

// Plays 16th notes like the instrument: gate on, off, and a new retrigger token per hit.
void renderPattern(benchmark::State& state, double load, double expand)
{
    SynthEngine* engine = EngineCreate(kSampleRate);
    EngineSetParameter(engine, kTransistorDistLoad, load);
    EngineSetParameter(engine, kStereoExpandOffOn, expand);
    std::vector<double> in(kBlock, 0.0), left(kBlock), right(kBlock);
    const double* inputs[2] = {in.data(), in.data()};
    double* outputs[2] = {left.data(), right.data()};
    int64_t position = 0;
    int64_t samples = 0;
    double token = 0.0;
    for (auto _ : state)
    {
        const int64_t inHit = position % kHitSpacingSamples;
        if (inHit < kBlock)
        {
            token = token >= 1.0 ? 0.0 : token + 1.0 / 128.0;
            EngineSetParameter(engine, kVoice00_NoteRetrig, token);
            EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
        }
        else if (inHit >= kGateSamples && inHit < kGateSamples + kBlock)
        {
            EngineSetParameter(engine, kVoice00_NoteGate, 0.0);
        }
        EnginePerform(engine, inputs, outputs, kBlock);
        benchmark::DoNotOptimize(left.data());
        benchmark::DoNotOptimize(right.data());
        position += kBlock;
        samples += kBlock;
    }
    reportRates(state, samples);
    EngineDestroy(engine);
}

// Renders blocks of a voice left alone, counting the samples for the rates.
void measureRestingBlocks(benchmark::State& state, SynthEngine* engine, const double* const* inputs,
                          double* const* outputs)
{
    int64_t samples = 0;
    for (auto _ : state)
    {
        EnginePerform(engine, inputs, outputs, kBlock);
        benchmark::DoNotOptimize(outputs[0]);
        samples += kBlock;
    }
    reportRates(state, samples);
}

void BM_SilentSinceReset(benchmark::State& state)
{
    SynthEngine* engine = EngineCreate(kSampleRate);
    std::vector<double> in(kBlock, 0.0), left(kBlock), right(kBlock);
    const double* inputs[2] = {in.data(), in.data()};
    double* outputs[2] = {left.data(), right.data()};
    measureRestingBlocks(state, engine, inputs, outputs);
    EngineDestroy(engine);
}

// The usual idle state: one hit long ago (a minute at 48 kHz), the gate released since.
void BM_IdleLongAfterAHit(benchmark::State& state)
{
    SynthEngine* engine = EngineCreate(kSampleRate);
    std::vector<double> in(4096, 0.0), left(4096), right(4096);
    const double* inputs[2] = {in.data(), in.data()};
    double* outputs[2] = {left.data(), right.data()};
    EngineSetParameter(engine, kVoice00_NoteGate, 1.0);
    EnginePerform(engine, inputs, outputs, 3000);
    EngineSetParameter(engine, kVoice00_NoteGate, 0.0);
    for (int i = 0; i < 720; ++i)
        EnginePerform(engine, inputs, outputs, 4000);
    measureRestingBlocks(state, engine, inputs, outputs);
    EngineDestroy(engine);
}

void BM_SixteenthNotesDefaultSound(benchmark::State& state) { renderPattern(state, 0.0, 0.0); }

void BM_SixteenthNotesShaperAndExpander(benchmark::State& state) { renderPattern(state, 0.5, 1.0); }

// The mathematics every sounding sample needs: two envelope powers, two tanh (each with
// its gain and normalising division), one table lookup, two biquads and the noise step,
// with nothing around them.
void BM_BareSampleMathematics(benchmark::State& state)
{
    CosineTable table;
    table.build();
    double phaseA = 0.1, phaseB = 0.2, oscillator = 0.0, mix = 0.3;
    double l1 = 0, l2 = 0, ly1 = 0, ly2 = 0, h1 = 0, h2 = 0, hy1 = 0, hy2 = 0;
    const double b0 = 0.02, b1 = 0.04, b2 = 0.02, a1 = -1.6, a2 = 0.68;
    const double gain = 0.9;
    const double normaliser = std::tanh(1.154);
    std::vector<double> out(kBlock);
    int64_t samples = 0;
    for (auto _ : state)
    {
        for (int32_t i = 0; i < kBlock; ++i)
        {
            phaseA = phaseA > 0.9 ? 0.1 : phaseA + 1e-4;
            phaseB = phaseB > 0.9 ? 0.1 : phaseB + 1e-4;
            const double et = std::pow(1.0 - phaseA, 2.001);
            const double en = std::pow(1.0 - phaseB, 2.001);
            oscillator += 0.004;
            if (oscillator >= 1.0)
                oscillator -= 1.0;
            const double tone = table.lookup(oscillator) * et;
            const double u = NoiseGenerator::nextSample() * en;
            const double yl = b0 * u + b1 * l1 + b2 * l2 - a1 * ly1 - a2 * ly2;
            l2 = l1, l1 = u, ly2 = ly1, ly1 = yl;
            const double yh = b0 * u - b1 * h1 + b2 * h2 - a1 * hy1 - a2 * hy2;
            h2 = h1, h1 = u, hy2 = hy1, hy1 = yh;
            const double s = (tone + yl + yh) * 0.5;
            const double a = gain * std::tanh(mix * 1.5 * 1.154) / normaliser;
            const double b = gain * std::tanh((s + mix) * 0.5 * 1.154) / normaliser;
            mix = s;
            out[i] = a + b;
        }
        benchmark::DoNotOptimize(out.data());
        samples += kBlock;
    }
    reportRates(state, samples);
}

} // namespace

BENCHMARK(BM_BareSampleMathematics);
BENCHMARK(BM_SilentSinceReset);
BENCHMARK(BM_IdleLongAfterAHit);
BENCHMARK(BM_SixteenthNotesDefaultSound);
BENCHMARK(BM_SixteenthNotesShaperAndExpander);
