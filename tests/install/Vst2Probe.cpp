// kestrum_vst2_probe: loads an installed VST2 module from the given file as a host does,
// starts one instance, plays one note and reports the output peak.
//
//   kestrum_vst2_probe MODULE
//
// Exit status 0 when a note made sound, 1 otherwise (with the reason on stderr).

#include "tests/vst2/host/ScriptedHost.h"
#include "tests/vst2/host/Vst2Module.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace
{
constexpr int kBlockFrames = 512;

void Dispatch(Vst2Descriptor* plugin, int32_t operation, intptr_t value = 0, void* pointer = nullptr,
              float option = 0.0f)
{
    plugin->dispatcher(plugin, operation, 0, value, pointer, option);
}

void SendNoteOn(Vst2Descriptor* plugin, uint8_t note, uint8_t velocity)
{
    Vst2MidiEvent event{};
    event.type = kVst2EventMidi;
    event.byteSize = sizeof event;
    event.midiData[0] = 0x90;
    event.midiData[1] = note;
    event.midiData[2] = velocity;
    Vst2EventList list{};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<Vst2Event*>(&event);
    Dispatch(plugin, kVst2ProcessEvents, 0, &list);
}

// Open, sample rate, block size, activation; one note over a few blocks; the peak.
double PlayOneNote(Vst2Descriptor* plugin)
{
    Dispatch(plugin, kVst2Open);
    Dispatch(plugin, kVst2SetSampleRate, 0, nullptr, 44100.0f);
    Dispatch(plugin, kVst2SetBlockSize, kBlockFrames);
    Dispatch(plugin, kVst2MainsChanged, 1);
    std::vector<float> in[2], out[2];
    for (int c = 0; c < 2; ++c)
    {
        in[c].assign(kBlockFrames, 0.0f);
        out[c].assign(kBlockFrames, 0.0f);
    }
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    SendNoteOn(plugin, 38, 127);
    double peak = 0.0;
    for (int block = 0; block < 8; ++block)
    {
        plugin->processReplacing(plugin, inputs, outputs, kBlockFrames);
        for (const auto& channel : out)
            for (float sample : channel)
                peak = std::max(peak, static_cast<double>(std::fabs(sample)));
    }
    Dispatch(plugin, kVst2MainsChanged, 0);
    Dispatch(plugin, kVst2Close);
    return peak;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: kestrum_vst2_probe MODULE\n");
        return 2;
    }
    Vst2Module module(argv[1]);
    if (!module.Loaded())
    {
        std::fprintf(stderr, "kestrum_vst2_probe: %s: %s\n", argv[1], module.Error().c_str());
        return 1;
    }
    ScriptedHost host;
    Vst2Descriptor* plugin = module.Create(&ScriptedHost::Callback);
    if (plugin == nullptr)
    {
        std::fprintf(stderr, "kestrum_vst2_probe: %s: the entry point made no instance\n", argv[1]);
        return 1;
    }
    const double peak = PlayOneNote(plugin);
    if (!(peak > 0.0))
    {
        std::fprintf(stderr, "kestrum_vst2_probe: %s: a note made no sound\n", argv[1]);
        return 1;
    }
    std::printf("kestrum_vst2_probe: %s: loaded, one note peaks at %.3f\n", argv[1], peak);
    return 0;
}
