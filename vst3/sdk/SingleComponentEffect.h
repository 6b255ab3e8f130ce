#pragma once
// A plug-in whose audio processor and edit controller are one object: the edit
// controller (with unit information) plus IComponent and IAudioProcessor, and the four
// bus lists a component keeps (audio in/out, event in/out). It behaves as the VST 3
// SDK's class of the same name; the installed SDK subset lacks it.
//
// Lifetime: reference counted through FObject; the host owns the object and releases
// it. Buses are declared by the derived class in initialize and removed by terminate.

#include "public.sdk/source/vst/vsteditcontroller.h"
#include "public.sdk/source/vst/vstbus.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"

namespace Steinberg
{
namespace Vst
{

class SingleComponentEffect : public EditControllerEx1, public IComponent, public IAudioProcessor
{
public:
    SingleComponentEffect();
    ~SingleComponentEffect() override;

    // --- IPluginBase
    // [main thread: host set-up]
    tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE;
    // [main thread: host tear-down] removes every bus and parameter.
    tresult PLUGIN_API terminate() SMTG_OVERRIDE;

    // --- IComponent
    // [main thread] there is no separate controller class.
    tresult PLUGIN_API getControllerClassId(TUID classId) SMTG_OVERRIDE;
    // [main thread]
    tresult PLUGIN_API setIoMode(IoMode mode) SMTG_OVERRIDE;
    // [main thread]
    int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) SMTG_OVERRIDE;
    // [main thread]
    tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info) SMTG_OVERRIDE;
    // [main thread]
    tresult PLUGIN_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) SMTG_OVERRIDE;
    // [main thread, while inactive]
    tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) SMTG_OVERRIDE;
    // [main thread]
    tresult PLUGIN_API setActive(TBool state) SMTG_OVERRIDE;
    // setState/getState are shared by IComponent and IEditController: the edit
    // controller's implementation answers both.

    // --- IAudioProcessor
    // [main thread, while inactive]
    tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                          SpeakerArrangement* outputs, int32 numOuts) SMTG_OVERRIDE;
    // [main thread]
    tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index,
                                         SpeakerArrangement& arr) SMTG_OVERRIDE;
    // [main thread]
    tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) SMTG_OVERRIDE;
    // [main thread]
    uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE;
    // [main thread, while inactive]
    tresult PLUGIN_API setupProcessing(ProcessSetup& setup) SMTG_OVERRIDE;
    // [audio or main thread, while active]
    tresult PLUGIN_API setProcessing(TBool state) SMTG_OVERRIDE;
    // [audio thread, while processing]
    tresult PLUGIN_API process(ProcessData& data) SMTG_OVERRIDE;
    // [main thread]
    uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE;

    // --- Bus declaration helpers for the derived class ([main thread, during initialize]).
    AudioBus* addAudioInput(const TChar* name, SpeakerArrangement arr, BusType type = kMain,
                            int32 flags = BusInfo::kDefaultActive);
    AudioBus* addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType type = kMain,
                             int32 flags = BusInfo::kDefaultActive);
    EventBus* addEventInput(const TChar* name, int32 channels = 16, BusType type = kMain,
                            int32 flags = BusInfo::kDefaultActive);
    EventBus* addEventOutput(const TChar* name, int32 channels = 16, BusType type = kMain,
                             int32 flags = BusInfo::kDefaultActive);
    tresult removeAudioBusses();
    tresult removeEventBusses();
    tresult removeAllBusses();

    OBJ_METHODS(SingleComponentEffect, EditControllerEx1)
    DEFINE_INTERFACES
    DEF_INTERFACE(IComponent)
    DEF_INTERFACE(IAudioProcessor)
    END_DEFINE_INTERFACES(EditControllerEx1)
    REFCOUNT_METHODS(EditControllerEx1)

protected:
    // The list for a media type and direction, or none for an unknown pair.
    BusList* getBusList(MediaType type, BusDirection dir);

    BusList audioInputs;
    BusList audioOutputs;
    BusList eventInputs;
    BusList eventOutputs;
    ProcessSetup processSetup;
};

} // namespace Vst
} // namespace Steinberg
