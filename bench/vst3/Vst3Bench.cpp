// One second of dense sixteenth notes at 120 BPM, 44.1 kHz, blocks of 256 frames:
// rendered by the bare instrument (MIDI messages and double-precision blocks handed to it
// directly) and by an instance of the module loaded from disk through IAudioProcessor in
// 32-bit samples. The difference is the adapter's cost.

#include "instrument/Kestrum.h"
#include "tests/vst3/host/HostProcessData.h"
#include "tests/vst3/host/VstModule.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

constexpr double kSampleRate = 44100.0;
constexpr int32 kBlock = 256;
constexpr int32 kBlocksPerSecond = 172;
constexpr double kSixteenthFrames = kSampleRate * 60.0 / 120.0 / 4.0;

struct NoteEvent
{
    int32 offset;
    bool on;
    int16 pitch;
};

// The note-ons and note-offs falling into the block starting at `blockStart`.
std::vector<NoteEvent> EventsOfBlock(int64 blockStart)
{
    std::vector<NoteEvent> events;
    for (int64 f = blockStart; f < blockStart + kBlock; ++f)
    {
        const double position = static_cast<double>(f) / kSixteenthFrames;
        const int64 step = static_cast<int64>(position);
        if (static_cast<int64>(step * kSixteenthFrames) == f)
            events.push_back({static_cast<int32>(f - blockStart), true, static_cast<int16>(36 + step % 24)});
        if (static_cast<int64>((step + 0.5) * kSixteenthFrames) == f)
            events.push_back({static_cast<int32>(f - blockStart), false, static_cast<int16>(36 + step % 24)});
    }
    return events;
}

void BareInstrument(benchmark::State& state)
{
    auto* kestrum = new Kestrum();
    ProcessSetup setup{kRealtime, kSample32, kBlock, kSampleRate};
    kestrum->setupProcessing(setup);
    std::vector<double> in[2] = {std::vector<double>(kBlock), std::vector<double>(kBlock)};
    std::vector<double> out[2] = {std::vector<double>(kBlock), std::vector<double>(kBlock)};
    double* inputs[2] = {in[0].data(), in[1].data()};
    double* outputs[2] = {out[0].data(), out[1].data()};
    int64 frame = 0;
    for (auto _ : state)
    {
        for (int32 b = 0; b < kBlocksPerSecond; ++b, frame += kBlock)
        {
            for (const NoteEvent& e : EventsOfBlock(frame))
                kestrum->ProcessMidiMessage({e.offset, static_cast<uint8_t>(e.on ? 0x90 : 0x80),
                                             static_cast<uint8_t>(e.pitch),
                                             static_cast<uint8_t>(e.on ? 100 : 0)});
            kestrum->ProcessBlock(inputs, outputs, kBlock);
            benchmark::DoNotOptimize(out[0].data());
        }
    }
    kestrum->release();
}
BENCHMARK(BareInstrument)->Unit(benchmark::kMicrosecond);

void ThroughModule(benchmark::State& state)
{
    VstModule module(KESTRUM_VST3_MODULE_PATH);
    void* obj = nullptr;
    const TUID cid = INLINE_UID(0xF2AEE70D, 0x00DE4F4E, 0x51767278, 0x4B6D7138);
    if (!module.Loaded() || module.Factory()->createInstance(cid, IAudioProcessor::iid, &obj) != kResultOk)
    {
        state.SkipWithError("module not loadable");
        return;
    }
    auto* processor = static_cast<IAudioProcessor*>(obj);
    FUnknownPtr<IComponent> component(processor);
    component->initialize(nullptr);
    component->activateBus(kAudio, kInput, 0, true);
    component->activateBus(kAudio, kOutput, 0, true);
    component->activateBus(kEvent, kInput, 0, true);
    ProcessSetup setup{kRealtime, kSample32, kBlock, kSampleRate};
    processor->setupProcessing(setup);
    component->setActive(true);
    HostProcessData io(kSample32, kBlock);
    io.markOutputs = false;
    int64 frame = 0;
    for (auto _ : state)
    {
        for (int32 b = 0; b < kBlocksPerSecond; ++b, frame += kBlock)
        {
            io.events.Clear();
            for (const NoteEvent& e : EventsOfBlock(frame))
            {
                if (e.on)
                    io.events.AddNoteOn(e.offset, e.pitch, 100.0f / 127.0f);
                else
                    io.events.AddNoteOff(e.offset, e.pitch);
            }
            processor->process(io.Block(kBlock));
            benchmark::DoNotOptimize(io.Output(0, 0));
        }
    }
    component->setActive(false);
    component->terminate();
    processor->release();
}
BENCHMARK(ThroughModule)->Unit(benchmark::kMicrosecond);

} // namespace
