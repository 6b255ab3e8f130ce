// What the instrument costs on top of its engine: the same dense pattern of sixteenth
// notes at 48 kHz in blocks of 256 frames, once through Kestrum (MIDI queue, note stack,
// tempo, parameter mirror, plug-in lock) and once with the engine driven directly.

#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "engine/SynthEngine.h"
#include "instrument/Kestrum.h"

namespace
{

constexpr double kSampleRate = 48000.0;
constexpr int kBlockFrames = 256;
constexpr int kSecondsPerIteration = 4;
constexpr int64_t kFramesPerIteration = static_cast<int64_t>(kSampleRate) * kSecondsPerIteration;
constexpr int64_t kSixteenthFrames = 6000; // at 120 BPM
constexpr int64_t kGateFrames = 3000;

struct Hit
{
    int64_t frame;
    bool on;
    int velocity;
};

std::vector<Hit> SixteenthNotes()
{
    std::vector<Hit> hits;
    for (int64_t frame = 0; frame < kFramesPerIteration; frame += kSixteenthFrames)
    {
        const int velocity = 60 + static_cast<int>((frame / kSixteenthFrames) % 4) * 20;
        hits.push_back({frame, true, velocity});
        hits.push_back({frame + kGateFrames, false, 0});
    }
    return hits;
}

struct Buffers
{
    std::vector<double> silence = std::vector<double>(kBlockFrames, 0.0);
    std::vector<double> left = std::vector<double>(kBlockFrames);
    std::vector<double> right = std::vector<double>(kBlockFrames);
    double* inputs[2] = {silence.data(), silence.data()};
    double* outputs[2] = {left.data(), right.data()};
};

void BM_Instrument(benchmark::State& state)
{
    const std::vector<Hit> hits = SixteenthNotes();
    auto plug = std::make_unique<Kestrum>();
    plug->SetUpProcessing(kSampleRate, kBlockFrames);
    Buffers buffers;
    std::vector<MidiMessage> messages;
    for (auto _ : state)
    {
        size_t next = 0;
        for (int64_t start = 0; start < kFramesPerIteration; start += kBlockFrames)
        {
            messages.clear();
            for (; next < hits.size() && hits[next].frame < start + kBlockFrames; ++next)
            {
                MidiMessage message;
                message.sampleOffset = static_cast<int32_t>(hits[next].frame - start);
                message.status = hits[next].on ? 0x90 : 0x80;
                message.data1 = 38;
                message.data2 = static_cast<uint8_t>(hits[next].velocity);
                messages.push_back(message);
            }
            plug->ProcessDoubleBlock(messages.data(), static_cast<int>(messages.size()), buffers.inputs,
                                     buffers.outputs, kBlockFrames);
            benchmark::DoNotOptimize(buffers.left.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * kFramesPerIteration);
}

void BM_BareEngine(benchmark::State& state)
{
    const std::vector<Hit> hits = SixteenthNotes();
    SynthEngine* engine = EngineCreate(kSampleRate);
    EngineReset(engine, kSampleRate, 1024);
    Buffers buffers;
    float token = 0.0f;
    for (auto _ : state)
    {
        size_t next = 0;
        for (int64_t start = 0; start < kFramesPerIteration; start += kBlockFrames)
        {
            for (; next < hits.size() && hits[next].frame < start + kBlockFrames; ++next)
            {
                EngineSetParameter(engine, kVoice00_NoteGate, hits[next].on ? 1.0 : 0.0);
                EngineSetParameter(engine, kVoice00_NoteNumber, 38.0);
                if (!hits[next].on)
                    continue;
                EngineSetParameter(engine, kVoice00_NoteVelocity, hits[next].velocity);
                token = token + 0.01f > 0.99f ? 0.0f : token + 0.01f;
                EngineSetParameter(engine, kVoice00_NoteRetrig, token);
            }
            EngineSetParameter(engine, kHostTempoBpm, 120.0);
            EnginePerform(engine, buffers.inputs, buffers.outputs, kBlockFrames);
            benchmark::DoNotOptimize(buffers.left.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * kFramesPerIteration);
    EngineDestroy(engine);
}

BENCHMARK(BM_BareEngine)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Repetitions(5);
BENCHMARK(BM_Instrument)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Repetitions(5);

} // namespace
