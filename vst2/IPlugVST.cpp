#include "vst2/IPlugVST.h"

#include <algorithm>
#include <cstring>

// The instance's construction, its descriptor and what it learns of the host when opened.
// The dispatcher, processing, chunks and the host services have files of their own
// (IPlugVSTDispatcher.cpp, IPlugVSTProcess.cpp, IPlugVSTChunks.cpp, IPlugVSTHostServices.cpp).

namespace
{

// Hosts whose channel layout is limited to stereo when they open the plug-in.
constexpr HostId kStereoOnlyHosts[] = {15, 17, 18, 20};

PluginConfig WithVst2Api(PluginConfig config)
{
    config.pluginApi = kApiVst2;
    return config;
}

// The speaker arrangement type for a channel count: empty, mono, stereo or user defined.
int32_t ArrangementType(int channels)
{
    switch (channels)
    {
        case 0: return -1;
        case 1: return 0;
        case 2: return 1;
        default: return -2;
    }
}

} // namespace

IPlugVST::IPlugVST(const HostContext& host, const PluginConfig& config)
    : IPlugBase(WithVst2Api(config)),
      mHostCallback(host.callback)
{
    mDescriptor.magic = kVst2Magic;
    mDescriptor.dispatcher = &IPlugVST::VSTDispatcher;
    mDescriptor.processAccumulating = &IPlugVST::ProcessAccumulatingEntry;
    mDescriptor.setParameter = &IPlugVST::SetParameterEntry;
    mDescriptor.getParameter = &IPlugVST::GetParameterEntry;
    mDescriptor.processReplacing = &IPlugVST::ProcessReplacingEntry;
    mDescriptor.processDoubleReplacing = &IPlugVST::ProcessDoubleReplacingEntry;
    mDescriptor.numPrograms = std::max(NumPresets(), 1);
    mDescriptor.numParams = NumParams();
    mDescriptor.flags = kVst2CanReplacing | kVst2CanDoubleReplacing;
    if (IsInstrument())
        mDescriptor.flags |= kVst2IsSynth;
    if (LegalIO(1, -1))
        mDescriptor.flags |= kVst2CanMono;
    mDescriptor.initialDelay = Latency();
    mDescriptor.ioRatio = 1.0f;
    mDescriptor.object = this;
    mDescriptor.uniqueId = UniqueId();
    mDescriptor.version = DecimalVersion();
    CopyChannelCountsToHostRecords();

    SetInputChannelConnections(0, NumInputs(), true);
    SetOutputChannelConnections(0, NumOutputs(), true);
    mFloatInputs.assign(static_cast<size_t>(NumInputs()), nullptr);
    mFloatOutputs.assign(static_cast<size_t>(NumOutputs()), nullptr);
    mDoubleInputs.assign(static_cast<size_t>(NumInputs()), nullptr);
    mDoubleOutputs.assign(static_cast<size_t>(NumOutputs()), nullptr);
    ApplyBlockSize(kDefaultBlockFrames);
}

IPlugVST::~IPlugVST()
{
    // The core deletes the editor after this class's members are gone; a window the host
    // never closed must not outlive the idle loop that drives it.
    if (EditorLink* windowed = WindowedEditor())
    {
        windowed->CloseWindow();
        windowed->UseRunLoop(nullptr);
    }
}

IPlugVST* IPlugVST::Instance(Vst2Descriptor* descriptor)
{
    return descriptor ? static_cast<IPlugVST*>(descriptor->object) : nullptr;
}

int32_t IPlugVST::DecimalVersion() const
{
    const int32_t packed = Version();
    return (packed >> 16) * 10000 + ((packed >> 8) & 0xFF) * 100 + (packed & 0xFF);
}

void IPlugVST::CopyChannelCountsToHostRecords()
{
    mDescriptor.numInputs = NumInputs();
    mDescriptor.numOutputs = NumOutputs();
    mInputArrangement.type = ArrangementType(NumInputs());
    mInputArrangement.numChannels = NumInputs();
    mOutputArrangement.type = ArrangementType(NumOutputs());
    mOutputArrangement.numChannels = NumOutputs();
}

intptr_t IPlugVST::Callback(int32_t operation, int32_t index, intptr_t value, void* pointer, float option)
{
    return mHostCallback ? mHostCallback(&mDescriptor, operation, index, value, pointer, option) : 0;
}

void IPlugVST::InitForHost()
{
    if (mHostSetUpDone)
        return;
    mHostSetUpDone = true;
    const HostId host = HostIdentity();
    if (std::find(std::begin(kStereoOnlyHosts), std::end(kStereoOnlyHosts), host) !=
        std::end(kStereoOnlyHosts))
        LimitToStereoChannels();
    CopyChannelCountsToHostRecords();
    OnHostKnown();
}

HostId IPlugVST::HostIdentity()
{
    const HostId known = IPlugBase::HostIdentity();
    if (known != kHostUnidentified)
        return known;
    char product[256] = {};
    Callback(kVst2HostGetProductString, 0, 0, product);
    product[sizeof product - 1] = '\0';
    int32_t hostVersion = 0;
    if (product[0] != '\0')
    {
        const intptr_t v = Callback(kVst2HostGetVendorVersion);
        const int32_t decimal = (v > 0 && v <= INT32_MAX) ? static_cast<int32_t>(v) : 0;
        hostVersion = PackVersion(decimal / 10000, (decimal % 10000) / 100, decimal % 100);
    }
    const HostId host = IdentifyHost(product);
    SetHostIdentity(host, hostVersion);
    return host;
}

void IPlugVST::SetLatency(int latencySamples)
{
    IPlugBase::SetLatency(latencySamples);
    mDescriptor.initialDelay = Latency();
}
