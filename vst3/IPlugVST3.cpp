#include "vst3/IPlugVST3.h"
#include "vst3/Vst3Conversions.h"

#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <string>

// The plug-in base: construction, the interfaces answered, initialize (host identity, buses)
// and terminate. Processing, the controller, the state and the host services have files of
// their own (IPlugVST3Processor.cpp, IPlugVST3Controller.cpp, IPlugVST3State.cpp,
// IPlugVST3HostServices.cpp).

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Vst3Conversions;

namespace
{

constexpr int kMaxViews = 10;

PluginConfig WithVst3Api(PluginConfig config)
{
    config.pluginApi = kApiVst3;
    return config;
}

} // namespace

IPlugVST3::IPlugVST3(const HostContext& /*host*/, const PluginConfig& config) : IPlugBase(WithVst3Api(config))
{
    mViews.reserve(kMaxViews);
    mInputs32.assign(NumInputs(), nullptr);
    mInputs64.assign(NumInputs(), nullptr);
    mOutputs32.assign(NumOutputs(), nullptr);
    mOutputs64.assign(NumOutputs(), nullptr);
    NameBuses();
    SetInputChannelConnections(0, NumInputs(), true);
    SetOutputChannelConnections(0, NumOutputs(), true);
    if (NumInputs() > 0)
        CreateLatencyDelayLine();
}

IPlugVST3::~IPlugVST3() = default;

void IPlugVST3::NameBuses()
{
    mInputBusNames.push_back("Main Input");
    if (mSideChainChannels != 0)
        mInputBusNames.push_back("Aux Input");
    if (IsInstrument())
    {
        for (int pair = 1; pair <= NumOutputs() / 2; ++pair)
            mOutputBusNames.push_back("Output " + std::to_string(pair));
    }
    else
    {
        mOutputBusNames.push_back("Output");
    }
}

tresult PLUGIN_API IPlugVST3::queryInterface(const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    QUERY_INTERFACE(iid, obj, IUnitInfo::iid, IUnitInfo)
    QUERY_INTERFACE(iid, obj, IComponent::iid, IComponent)
    QUERY_INTERFACE(iid, obj, IAudioProcessor::iid, IAudioProcessor)
    // The component and controller are one object; there is no peer to talk to.
    if (FUnknownPrivate::iidEqual(iid, IConnectionPoint::iid))
    {
        *obj = nullptr;
        return kNoInterface;
    }
    return SingleComponentEffect::queryInterface(iid, obj);
}

// ---- Set-up --------------------------------------------------------------------------

tresult PLUGIN_API IPlugVST3::initialize(FUnknown* context)
{
    const bool firstTime = !mInitialized && SingleComponentEffect::initialize(context) == kResultOk;
    IdentifyHostFrom(context);
    if (firstTime)
    {
        mInitialized = true;
        DeclareBuses();
        DeclareParameters();
    }
    OnHostKnown();
    {
        PlugLockGuard guard(PluginLock());
        LoadPresetSlot(0);
    }
    return firstTime ? kResultOk : kResultFalse;
}

void IPlugVST3::IdentifyHostFrom(FUnknown* context)
{
    FUnknownPtr<IHostApplication> app(context);
    if (!app)
        return;
    String128 name{};
    if (app->getName(name) != kResultOk)
        name[0] = 0;
    char narrow[128];
    int i = 0;
    for (; i < 127 && name[i] != 0; ++i)
        narrow[i] = static_cast<char>(name[i] & 0xFF);
    narrow[i] = 0;
    SetHostIdentity(IdentifyHost(narrow), 0);
}

void IPlugVST3::DeclareBuses()
{
    String128 name;
    const int mainInputs = NumInputs() - mSideChainChannels;
    if (mainInputs >= 1 && mainInputs <= 6)
    {
        Widen(mInputBusNames[0].c_str(), name);
        addAudioInput(name, ArrangementForChannels(mainInputs), kMain, BusInfo::kDefaultActive);
    }
    if (IsInstrument())
    {
        for (size_t bus = 0; bus < mOutputBusNames.size(); ++bus)
        {
            Widen(mOutputBusNames[bus].c_str(), name);
            addAudioOutput(name, SpeakerArr::kStereo, kMain, BusInfo::kDefaultActive);
        }
    }
    else
    {
        Widen("Output", name);
        addAudioOutput(name, ArrangementForChannels(NumOutputs()), kMain, BusInfo::kDefaultActive);
    }
    if (mSideChainChannels != 0)
    {
        mSideChainChannels = std::min(mSideChainChannels, 2);
        Widen(mInputBusNames.back().c_str(), name);
        addAudioInput(name, ArrangementForChannels(mSideChainChannels), kAux, 0);
    }
    if (DoesMidi())
    {
        Widen("MIDI Input", name);
        addEventInput(name, 1, kMain, BusInfo::kDefaultActive);
    }
}

tresult PLUGIN_API IPlugVST3::terminate()
{
    mViews.clear();
    mGroups.clear();
    mInitialized = false;
    return SingleComponentEffect::terminate();
}
