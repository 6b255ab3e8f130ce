// kestrum_vst3_probe: loads an installed VST3 bundle the way a host finds it (the binary
// inside Contents/<architecture>/), creates the instrument, plays one note and reports the
// output peak. With --hold FOLDER it keeps the module loaded after that, writes
// FOLDER/ready and waits until FOLDER/release exists, so a test can hold the module "in
// use" while an installer runs.
//
//   kestrum_vst3_probe BUNDLE [--hold FOLDER]
//
// Exit status 0 when a note made sound, 1 otherwise (with the reason on stderr).

#include "tests/vst3/host/HostProcessData.h"
#include "tests/vst3/host/TestHostApplication.h"
#include "tests/vst3/host/VstModule.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
#ifdef _WIN32
constexpr const char* kArchitecture = "x86_64-win";
constexpr const char* kBinarySuffix = ".vst3";
constexpr char kSeparator = '\\';
#else
constexpr const char* kArchitecture = "x86_64-linux";
constexpr const char* kBinarySuffix = ".so";
constexpr char kSeparator = '/';
#endif

// "C:\...\Kestrum.vst3" -> "C:\...\Kestrum.vst3\Contents\x86_64-win\Kestrum.vst3".
std::string BinaryInBundle(std::string bundle)
{
    while (!bundle.empty() && (bundle.back() == '/' || bundle.back() == '\\'))
        bundle.pop_back();
    const size_t slash = bundle.find_last_of("/\\");
    std::string stem = bundle.substr(slash == std::string::npos ? 0 : slash + 1);
    stem = stem.substr(0, stem.rfind('.'));
    return bundle + kSeparator + "Contents" + kSeparator + kArchitecture + kSeparator + stem + kBinarySuffix;
}

bool FileExists(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    std::fclose(file);
    return true;
}

// The first audio-module class the factory announces, as a host picks an instrument.
bool FindAudioModuleClass(IPluginFactory* factory, TUID cid)
{
    for (int32 i = 0; i < factory->countClasses(); ++i)
    {
        PClassInfo info{};
        if (factory->getClassInfo(i, &info) == kResultOk &&
            std::strcmp(info.category, kVstAudioEffectClass) == 0)
        {
            std::memcpy(cid, info.cid, sizeof(TUID));
            return true;
        }
    }
    return false;
}

// Creates, sets up and plays one instance; returns the output peak, or -1 on failure.
double PlayOneNote(IPluginFactory* factory, std::string& error)
{
    TUID cid{};
    if (!FindAudioModuleClass(factory, cid))
    {
        error = "the factory announces no audio module class";
        return -1.0;
    }
    void* object = nullptr;
    if (factory->createInstance(cid, IComponent::iid, &object) != kResultOk || object == nullptr)
    {
        error = "createInstance failed";
        return -1.0;
    }
    auto* component = static_cast<IComponent*>(object);
    IAudioProcessor* processor = nullptr;
    component->queryInterface(IAudioProcessor::iid, reinterpret_cast<void**>(&processor));
    TestHostApplication host;
    double peak = -1.0;
    if (processor != nullptr && component->initialize(&host) == kResultOk)
    {
        component->activateBus(kAudio, kOutput, 0, true);
        component->activateBus(kEvent, kInput, 0, true);
        ProcessSetup setup{kRealtime, kSample32, 512, 44100.0};
        if (processor->setupProcessing(setup) == kResultOk && component->setActive(true) == kResultOk)
        {
            processor->setProcessing(true);
            HostProcessData io(kSample32, 512);
            io.events.AddNoteOn(0, 38, 1.0f);
            peak = 0.0;
            for (int block = 0; block < 8; ++block)
            {
                processor->process(io.Block(512));
                io.events.Clear();
                peak = std::max(peak, io.Peak());
            }
            processor->setProcessing(false);
            component->setActive(false);
        }
        else
            error = "setting up processing failed";
        component->terminate();
    }
    else
        error = "initialize failed";
    if (processor != nullptr)
        processor->release();
    component->release();
    return peak;
}

void HoldUntilReleased(const std::string& folder)
{
    const std::string ready = folder + kSeparator + "ready";
    const std::string release = folder + kSeparator + "release";
    if (FILE* file = std::fopen(ready.c_str(), "wb"))
        std::fclose(file);
    while (!FileExists(release))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--hold") == 0))
    {
        std::fprintf(stderr, "usage: kestrum_vst3_probe BUNDLE [--hold FOLDER]\n");
        return 2;
    }
    const std::string binary = BinaryInBundle(argv[1]);
    VstModule module(binary);
    if (!module.Loaded())
    {
        std::fprintf(stderr, "kestrum_vst3_probe: %s: %s\n", binary.c_str(), module.Error().c_str());
        return 1;
    }
    std::string error;
    const double peak = PlayOneNote(module.Factory(), error);
    if (peak <= 0.0)
    {
        std::fprintf(stderr, "kestrum_vst3_probe: %s: %s\n", binary.c_str(),
                     error.empty() ? "a note made no sound" : error.c_str());
        return 1;
    }
    std::printf("kestrum_vst3_probe: %s: loaded, one note peaks at %.3f\n", binary.c_str(), peak);
    std::fflush(stdout);
    if (argc == 4)
        HoldUntilReleased(argv[3]);
    return 0;
}
