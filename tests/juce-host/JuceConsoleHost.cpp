// Loads the Linux bundle as a third-party host does and checks, in order: the scan finds one
// instrument with the right identity; a note played into an instance produces sound; a
// state saved from one instance and restored into a fresh one gives the same state back.
// Prints one line per check and exits non-zero at the first failure.

#include <juce_audio_processors/juce_audio_processors.h>

#include <cstdio>
#include <memory>

namespace
{

bool Check(bool ok, const char* what, const juce::String& detail = {})
{
    std::printf("%s: %s %s\n", ok ? "ok" : "FAILED", what, detail.toRawUTF8());
    return ok;
}

constexpr double kSampleRate = 44100.0;
constexpr int kBlock = 512;

std::unique_ptr<juce::AudioPluginInstance> Create(juce::VST3PluginFormat& format,
                                                  const juce::PluginDescription& description)
{
    juce::String error;
    auto instance = format.createInstanceFromDescription(description, kSampleRate, kBlock, error);
    if (instance == nullptr)
        std::printf("instance creation failed: %s\n", error.toRawUTF8());
    return instance;
}

// Renders blocks with one note-on at the start; returns the loudest sample.
float PlayNote(juce::AudioPluginInstance& instance)
{
    instance.enableAllBuses();
    instance.prepareToPlay(kSampleRate, kBlock);
    juce::AudioBuffer<float> buffer(2, kBlock);
    float peak = 0.0f;
    for (int block = 0; block < 8; ++block)
    {
        juce::MidiBuffer midi;
        if (block == 2)
            midi.addEvent(juce::MidiMessage::noteOn(1, 60, static_cast<juce::uint8>(120)), 0);
        buffer.clear();
        instance.processBlock(buffer, midi);
        peak = std::max(peak, buffer.getMagnitude(0, kBlock));
        if (block < 2 && buffer.getMagnitude(0, kBlock) != 0.0f)
            return -1.0f; // sound before any note
    }
    instance.releaseResources();
    return peak;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::printf("usage: %s <path to Kestrum.vst3>\n", argv[0]);
        return 2;
    }
    juce::ScopedJuceInitialiser_GUI juceRuntime;
    const juce::String bundle = juce::File(juce::String::fromUTF8(argv[1])).getFullPathName();

    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile(found, bundle);
    if (!Check(found.size() == 1, "scan finds one class", juce::String(found.size())))
        return 1;
    const juce::PluginDescription& description = *found[0];
    bool ok = Check(description.name == "Kestrum", "name", description.name);
    ok &= Check(description.manufacturerName == "QuorvexAudio", "vendor", description.manufacturerName);
    ok &= Check(description.version == "1.0.2", "version", description.version);
    ok &= Check(description.isInstrument, "is an instrument", description.category);
    if (!ok)
        return 1;

    auto instance = Create(format, description);
    if (!Check(instance != nullptr, "instance created"))
        return 1;
    ok &= Check(instance->getTotalNumOutputChannels() == 2, "stereo output",
                juce::String(instance->getTotalNumOutputChannels()));
    ok &= Check(instance->acceptsMidi(), "accepts MIDI");
    const float peak = PlayNote(*instance);
    ok &= Check(peak > 0.01f, "note produces sound (and nothing before it)", juce::String(peak));

    // Change a parameter, save, restore into a fresh instance, compare.
    auto& parameters = instance->getParameters();
    ok &= Check(parameters.size() >= 28, "parameters", juce::String(parameters.size()));
    if (!ok)
        return 1;
    parameters[3]->setValueNotifyingHost(0.3125f);
    juce::MemoryBlock saved;
    instance->getStateInformation(saved);
    auto restored = Create(format, description);
    if (!Check(restored != nullptr, "second instance created"))
        return 1;
    restored->setStateInformation(saved.getData(), static_cast<int>(saved.getSize()));
    juce::MemoryBlock again;
    restored->getStateInformation(again);
    ok &= Check(again.getSize() == saved.getSize(), "restored state saved again in the same layout",
                juce::String(static_cast<int>(saved.getSize())) + " bytes");
    // The voice values (gate, note, retrigger, velocity) start afresh after a restore, so that
    // a note held while the project was saved does not sound without MIDI, and the host values
    // (tempo, transport) are written by every block anyway; every sound value comes back exactly.
    int differing = 0;
    for (int i = 0; i < parameters.size(); ++i)
    {
        const juce::String name = parameters[i]->getName(64);
        const float before = parameters[i]->getValue();
        const float after = restored->getParameters()[i]->getValue();
        if (!name.startsWith("Voice00_") && !name.startsWith("Host") && after != before)
        {
            ++differing;
            std::printf("  %s: %f, restored %f\n", name.toRawUTF8(), before, after);
        }
    }
    ok &= Check(differing == 0, "sound values restored into a fresh instance", juce::String(differing));
    ok &= Check(std::abs(restored->getParameters()[3]->getValue() - 0.3125f) < 1e-6f,
                "restored parameter value", juce::String(restored->getParameters()[3]->getValue()));
    restored.reset();
    instance.reset();
    return ok ? 0 : 1;
}
