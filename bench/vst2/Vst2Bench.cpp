// One second of dense sixteenth notes at 120 BPM, 44.1 kHz, blocks of 256 frames: rendered
// by the bare instrument (MIDI messages and double-precision blocks handed to it directly)
// and by an instance of the VST2 module loaded from disk, through its dispatcher (MIDI
// events) and its single-precision replacing entry. The difference is the adapter's cost.

#include "instrument/Kestrum.h"
#include "tests/vst2/host/Vst2Module.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{

constexpr double kSampleRate = 44100.0;
constexpr int kBlock = 256;
constexpr int kBlocksPerSecond = 172;
constexpr double kSixteenthFrames = kSampleRate * 60.0 / 120.0 / 4.0;
constexpr int kMaxEventsPerBlock = 16;

// The note-ons and note-offs falling into the block starting at `blockStart`.
std::vector<MidiMessage> MessagesOfBlock(int64_t blockStart)
{
    std::vector<MidiMessage> messages;
    for (int64_t f = blockStart; f < blockStart + kBlock; ++f)
    {
        const int64_t step = static_cast<int64_t>(static_cast<double>(f) / kSixteenthFrames);
        const auto pitch = static_cast<uint8_t>(36 + step % 24);
        const auto offset = static_cast<int32_t>(f - blockStart);
        if (static_cast<int64_t>(step * kSixteenthFrames) == f)
            messages.push_back({offset, 0x90, pitch, 100});
        if (static_cast<int64_t>((step + 0.5) * kSixteenthFrames) == f)
            messages.push_back({offset, 0x80, pitch, 0});
    }
    return messages;
}

// A host that answers nothing, the same for both measurements.
intptr_t QuietHost(Vst2Descriptor*, int32_t, int32_t, intptr_t, void*, float) { return 0; }

void BareInstrument(benchmark::State& state)
{
    IPlugVST::HostContext host;
    host.callback = &QuietHost;
    Kestrum kestrum(host);
    kestrum.SetSampleRate(kSampleRate);
    kestrum.ApplyBlockSize(kBlock);
    kestrum.ResetProcessing();
    std::vector<double> in[2] = {std::vector<double>(kBlock), std::vector<double>(kBlock)};
    std::vector<double> out[2] = {std::vector<double>(kBlock), std::vector<double>(kBlock)};
    double* inputs[2] = {in[0].data(), in[1].data()};
    double* outputs[2] = {out[0].data(), out[1].data()};
    int64_t frame = 0;
    for (auto _ : state)
    {
        for (int b = 0; b < kBlocksPerSecond; ++b, frame += kBlock)
        {
            for (const MidiMessage& message : MessagesOfBlock(frame))
                kestrum.ProcessMidiMessage(message);
            kestrum.ProcessBlock(inputs, outputs, kBlock);
            benchmark::DoNotOptimize(out[0].data());
        }
    }
}
BENCHMARK(BareInstrument)->Unit(benchmark::kMicrosecond);

// An event list as hosts build it: a count, then the event pointers from offset 16.
struct HostEventList
{
    int32_t numEvents = 0;
    int32_t unused = 0;
    intptr_t reserved = 0;
    Vst2Event* events[kMaxEventsPerBlock] = {};
};

void ThroughModule(benchmark::State& state)
{
    Vst2Descriptor* plugin = TheVst2Module().Create(&QuietHost);
    if (!plugin)
    {
        state.SkipWithError("module not loadable");
        return;
    }
    plugin->dispatcher(plugin, kVst2Open, 0, 0, nullptr, 0.0f);
    plugin->dispatcher(plugin, kVst2SetSampleRate, 0, 0, nullptr, static_cast<float>(kSampleRate));
    plugin->dispatcher(plugin, kVst2SetBlockSize, 0, kBlock, nullptr, 0.0f);
    plugin->dispatcher(plugin, kVst2MainsChanged, 0, 1, nullptr, 0.0f);
    std::vector<float> in[2] = {std::vector<float>(kBlock), std::vector<float>(kBlock)};
    std::vector<float> out[2] = {std::vector<float>(kBlock), std::vector<float>(kBlock)};
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    Vst2MidiEvent events[kMaxEventsPerBlock] = {};
    HostEventList list;
    int64_t frame = 0;
    for (auto _ : state)
    {
        for (int b = 0; b < kBlocksPerSecond; ++b, frame += kBlock)
        {
            list.numEvents = 0;
            for (const MidiMessage& message : MessagesOfBlock(frame))
            {
                Vst2MidiEvent& e = events[list.numEvents];
                e.type = kVst2EventMidi;
                e.byteSize = sizeof e;
                e.deltaFrames = message.sampleOffset;
                e.midiData[0] = message.status;
                e.midiData[1] = message.data1;
                e.midiData[2] = message.data2;
                list.events[list.numEvents++] = reinterpret_cast<Vst2Event*>(&e);
            }
            plugin->dispatcher(plugin, kVst2ProcessEvents, 0, 0, &list, 0.0f);
            plugin->processReplacing(plugin, inputs, outputs, kBlock);
            benchmark::DoNotOptimize(out[0].data());
        }
    }
    plugin->dispatcher(plugin, kVst2MainsChanged, 0, 0, nullptr, 0.0f);
    plugin->dispatcher(plugin, kVst2Close, 0, 0, nullptr, 0.0f);
}
BENCHMARK(ThroughModule)->Unit(benchmark::kMicrosecond);

} // namespace
