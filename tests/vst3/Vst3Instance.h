#pragma once
// One instrument instance created from the module loaded from disk, with the interfaces a
// host uses, initialised with a test host context and a recording component handler.

#include "engine/EngineParameterRecord.h"
#include "tests/vst3/host/MemoryStream.h"
#include "tests/vst3/host/TestHostApplication.h"
#include "tests/vst3/host/VstModule.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <memory>
#include <string>

// Parameter ids as the module announces them to hosts: the program list and the bypass
// switch; the instrument's parameters keep their indices (kMainVolume and the others).
constexpr Steinberg::Vst::ParamID kPreset = 0x70727374;
constexpr Steinberg::Vst::ParamID kBypass = 0x62706173;

// The module, loaded once for the whole test program as a host keeps it loaded.
VstModule& TheModule();

// The class id the module announces, in the byte order of the platform's SDK layout.
const Steinberg::TUID& KestrumClassId();

class Vst3Instance
{
public:
    explicit Vst3Instance(bool initialize = true);
    ~Vst3Instance();

    bool Created() const { return component != nullptr; }

    // Sets up and activates processing in the given sample size.
    bool Start(Steinberg::int32 symbolicSampleSize, Steinberg::int32 maxFrames = 256,
               double sampleRate = 44100.0);

    // The index of a parameter id in the controller's list, or -1.
    int IndexOfParameter(Steinberg::Vst::ParamID id);

    // The whole state as getState writes it.
    std::vector<uint8_t> State();

    TestHostApplication host;
    RecordingComponentHandler handler;
    Steinberg::Vst::IComponent* component = nullptr;
    Steinberg::Vst::IAudioProcessor* processor = nullptr;
    Steinberg::Vst::IEditController* controller = nullptr;
    Steinberg::Vst::IUnitInfo* units = nullptr;

private:
    bool initialized = false;
};
