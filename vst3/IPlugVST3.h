#pragma once
// Presents the plug-in core to a VST3 host as one object that is at the same time the
// audio processor and the edit controller.
//
// What the host sees: one stereo audio input bus ("Main Input"), one stereo output bus per
// pair of output channels ("Output 1", ...), one MIDI event input ("MIDI Input"), the core's
// parameters under their indices as ids, a program-change parameter "Preset" over the preset
// slots, and a state stream made of the core's state chunk followed by a 32-bit bypass flag.
//
// How the host drives it: setupProcessing gives the sample rate and block size and resets
// the instrument; process applies the block's parameter changes (the last value of each
// queue), turns note events into MIDI messages and renders. Hosts also call process with no
// frames and no buffers only to pass parameter changes; that never renders.
//
// Threads: the host's main thread calls the set-up and controller operations, the audio
// thread calls process. process, get/set state, setupProcessing and setActive hold the
// core's lock; the plain controller value calls only read or store a value.

#include "framework/IPlugBase.h"
#include "vst3/sdk/SingleComponentEffect.h"

#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <string>
#include <vector>

class IPlugVST3View;

class IPlugVST3 : public IPlugBase, public Steinberg::Vst::SingleComponentEffect
{
public:
    // A VST3 instance learns about its host only through initialize.
    struct HostContext
    {
    };

    static constexpr Steinberg::Vst::ParamID kPresetParamId = 0x70727374; // "prst"
    static constexpr Steinberg::Vst::ParamID kBypassParamId = 0x62706173; // "bpas"
    static constexpr Steinberg::Vst::ProgramListID kPresetListId = 0x70727374;

    IPlugVST3(const HostContext& host, const PluginConfig& config);
    // [the thread that releases the last reference]
    ~IPlugVST3() override;

    // --- FUnknown
    // [any thread]
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) SMTG_OVERRIDE;

    // --- IPluginBase
    // [main thread] declares buses and parameters the first time; identifies the host always.
    Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) SMTG_OVERRIDE;
    // [main thread] forgets views, removes parameters and buses, releases the host context.
    Steinberg::tresult PLUGIN_API terminate() SMTG_OVERRIDE;

    // --- IComponent
    // [main thread, takes the plug-in lock (waits for a running block)]
    Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) SMTG_OVERRIDE;
    // [main thread, takes the plug-in lock] shared by the component and controller sides.
    Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) SMTG_OVERRIDE;
    // [main thread, takes the plug-in lock] shared by the component and controller sides.
    Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) SMTG_OVERRIDE;

    // --- IAudioProcessor
    // [main thread, while inactive]
    Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs,
                                                     Steinberg::int32 numIns,
                                                     Steinberg::Vst::SpeakerArrangement* outputs,
                                                     Steinberg::int32 numOuts) SMTG_OVERRIDE;
    // [main thread]
    Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) SMTG_OVERRIDE;
    // [main thread]
    Steinberg::uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE;
    // [main thread, while inactive, takes the plug-in lock]
    Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) SMTG_OVERRIDE;
    // [audio thread, takes the plug-in lock]
    Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) SMTG_OVERRIDE;
    // [main thread]
    Steinberg::uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE;

    // --- IEditController
    // [main thread] bounds-checked: the SDK's container would throw on a bad index.
    Steinberg::tresult PLUGIN_API getParameterInfo(Steinberg::int32 paramIndex,
                                                   Steinberg::Vst::ParameterInfo& info) SMTG_OVERRIDE;
    // [main thread, no lock: reads the parameter's definition only]
    Steinberg::tresult PLUGIN_API getParamStringByValue(Steinberg::Vst::ParamID id,
                                                        Steinberg::Vst::ParamValue normalized,
                                                        Steinberg::Vst::String128 string) SMTG_OVERRIDE;
    // [main thread, no lock: reads the parameter's definition only] a missing text is refused.
    Steinberg::tresult PLUGIN_API getParamValueByString(Steinberg::Vst::ParamID id,
                                                        Steinberg::Vst::TChar* string,
                                                        Steinberg::Vst::ParamValue& normalized) SMTG_OVERRIDE;
    // [main thread, no lock]
    Steinberg::Vst::ParamValue PLUGIN_API
    plainParamToNormalized(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue plain) SMTG_OVERRIDE;
    // [main thread, no lock: reads the current value]
    Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID id) SMTG_OVERRIDE;
    // [main thread, no lock: only stores the value]
    Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID id,
                                                     Steinberg::Vst::ParamValue value) SMTG_OVERRIDE;
    // [main thread] a new editor view for "editor" when the editor can open windows; none
    // otherwise (hosts then show their own parameter editor). Defined with the view list in
    // IPlugVST3Views.cpp.
    Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) SMTG_OVERRIDE;

    // --- IUnitInfo
    // [main thread]
    Steinberg::int32 PLUGIN_API getUnitCount() SMTG_OVERRIDE;
    // [main thread]
    Steinberg::tresult PLUGIN_API getUnitInfo(Steinberg::int32 unitIndex,
                                              Steinberg::Vst::UnitInfo& info) SMTG_OVERRIDE;
    // [main thread]
    Steinberg::int32 PLUGIN_API getProgramListCount() SMTG_OVERRIDE;
    // [main thread]
    Steinberg::tresult PLUGIN_API getProgramListInfo(Steinberg::int32 listIndex,
                                                     Steinberg::Vst::ProgramListInfo& info) SMTG_OVERRIDE;
    // [main thread]
    Steinberg::tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId,
                                                 Steinberg::int32 programIndex,
                                                 Steinberg::Vst::String128 name) SMTG_OVERRIDE;
    // [main thread]
    Steinberg::tresult PLUGIN_API getProgramInfo(Steinberg::Vst::ProgramListID listId,
                                                 Steinberg::int32 programIndex,
                                                 Steinberg::Vst::CString attributeId,
                                                 Steinberg::Vst::String128 attributeValue) SMTG_OVERRIDE;
    // [main thread]
    Steinberg::tresult PLUGIN_API hasProgramPitchNames(Steinberg::Vst::ProgramListID listId,
                                                       Steinberg::int32 programIndex) SMTG_OVERRIDE;
    // [main thread]
    Steinberg::tresult PLUGIN_API getProgramPitchName(Steinberg::Vst::ProgramListID listId,
                                                      Steinberg::int32 programIndex,
                                                      Steinberg::int16 midiPitch,
                                                      Steinberg::Vst::String128 name) SMTG_OVERRIDE;
    // [main thread]
    Steinberg::Vst::UnitID PLUGIN_API getSelectedUnit() SMTG_OVERRIDE;
    // [main thread]
    Steinberg::tresult PLUGIN_API selectUnit(Steinberg::Vst::UnitID unitId) SMTG_OVERRIDE;
    // [main thread]
    Steinberg::tresult PLUGIN_API getUnitByBus(Steinberg::Vst::MediaType type,
                                               Steinberg::Vst::BusDirection dir, Steinberg::int32 busIndex,
                                               Steinberg::int32 channel,
                                               Steinberg::Vst::UnitID& unitId) SMTG_OVERRIDE;
    // [main thread]
    Steinberg::tresult PLUGIN_API setUnitProgramData(Steinberg::int32 listOrUnitId,
                                                     Steinberg::int32 programIndex,
                                                     Steinberg::IBStream* data) SMTG_OVERRIDE;

    // --- Services for the core
    // [window thread]
    void BeginParameterEdit(int paramIndex) override;
    // [window thread, under the plug-in lock]
    void NotifyHostOfParameterChange(int paramIndex, double normalizedValue) override;
    // [window thread]
    void EndParameterEdit(int paramIndex) override;
    // [window thread or host thread]
    void NotifyHostOfPresetChange() override;
    // [audio thread, under the plug-in lock]
    bool RendersOffline() override;
    // [audio thread, under the plug-in lock]
    double GetSamplePosition() override;
    // [audio thread, under the plug-in lock]
    double QueryTempo() override;
    // [audio thread, under the plug-in lock]
    void GetTimeSignature(int& numerator, int& denominator) override;
    // [audio thread, under the plug-in lock]
    void GetTimeInfo(TimeInfo& info) override;
    // [window thread]
    void ResizeEditor(int width, int height) override;
    // [main thread]
    void InitForHost() override;
    // [main thread, takes the plug-in lock]
    void SetLatency(int latencySamples) override;
    // [audio thread, under the plug-in lock] a VST3 instrument sends no MIDI.
    bool SendMidiMessage(const MidiMessage& message) override;
    // [window thread]
    void ShowHostContextMenu(int paramIndex, int x, int y) override;

    bool IsBypassed() const { return mBypassed; }

    // --- The editor views (IPlugVST3Views.cpp)
    // [main thread] a view enters the list when created and leaves it when destroyed.
    void AddView(IPlugVST3View* view);
    void RemoveView(IPlugVST3View* view);
    int NumViews() const { return static_cast<int>(mViews.size()); }

private:
    void NameBuses();
    void IdentifyHostFrom(Steinberg::FUnknown* context);
    void DeclareBuses();
    void DeclareParameters();
    void DeclareCoreParameter(int paramIndex);
    Steinberg::Vst::UnitID UnitForGroup(const char* group);

    void ApplyParameterChanges(Steinberg::Vst::IParameterChanges* changes);
    void ApplyParameterChange(Steinberg::Vst::ParamID id, double value);
    void ConvertEvents(Steinberg::Vst::IEventList& events);
    // Connects the core's channels to the host's buffers of this call and lists those
    // buffers, in channel order, for the connected channels.
    template <typename Sample>
    void GatherHostBuffers(const Steinberg::Vst::ProcessData& data, std::vector<Sample*>& inputs,
                           std::vector<Sample*>& outputs);
    void Render32(int frames);
    void Render64(int frames);
    void SilenceHostOutputs(const Steinberg::Vst::ProcessData& data);

    int mSideChainChannels = 0;
    bool mSideChainActive = false;
    bool mInitialized = false;
    bool mBypassed = false;
    Steinberg::Vst::ProcessContext mContext{};
    std::vector<std::string> mInputBusNames;
    std::vector<std::string> mOutputBusNames;
    std::vector<std::string> mGroups;
    // Open editor views, the first of which hosts context menus and resizing.
    std::vector<Steinberg::IPlugView*> mViews;
    // The host buffers of the block for each connected core channel, in channel order; sized
    // once for the core's channels so that processing allocates nothing.
    std::vector<float*> mInputs32;
    std::vector<float*> mOutputs32;
    std::vector<double*> mInputs64;
    std::vector<double*> mOutputs64;
    int mConnectedInputs = 0;
    int mConnectedOutputs = 0;
};
