#include "vst3/IPlugVST3.h"

#include "pluginterfaces/vst/ivstcontextmenu.h"

// What the host does for the core: parameter edits, latency changes, the context menu and the
// transport.

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

constexpr int32 kRestartLatencyChanged = 8;

} // namespace

void IPlugVST3::BeginParameterEdit(int paramIndex) { beginEdit(static_cast<ParamID>(paramIndex)); }

void IPlugVST3::NotifyHostOfParameterChange(int paramIndex, double normalizedValue)
{
    performEdit(static_cast<ParamID>(paramIndex), normalizedValue);
}

void IPlugVST3::EndParameterEdit(int paramIndex) { endEdit(static_cast<ParamID>(paramIndex)); }

void IPlugVST3::NotifyHostOfPresetChange() {}

bool IPlugVST3::RendersOffline() { return processSetup.processMode == kOffline; }

double IPlugVST3::GetSamplePosition()
{
    return static_cast<double>(static_cast<int32>(mContext.projectTimeSamples));
}

double IPlugVST3::QueryTempo() { return mContext.tempo; }

void IPlugVST3::GetTimeSignature(int& numerator, int& denominator)
{
    numerator = mContext.timeSigNumerator;
    denominator = mContext.timeSigDenominator;
}

void IPlugVST3::GetTimeInfo(TimeInfo& info)
{
    info.tempoBpm = mContext.tempo;
    info.samplePosition = static_cast<double>(mContext.projectTimeSamples);
    info.positionQuarterNotes = mContext.projectTimeMusic;
    info.lastBarStartQuarterNotes = mContext.barPositionMusic;
    info.cycleStartQuarterNotes = mContext.cycleStartMusic;
    info.cycleEndQuarterNotes = mContext.cycleEndMusic;
    info.timeSignatureNumerator = mContext.timeSigNumerator;
    info.timeSignatureDenominator = mContext.timeSigDenominator;
    info.transportPlaying = (mContext.state & ProcessContext::kPlaying) != 0;
    info.cycleActive = (mContext.state & ProcessContext::kCycleActive) != 0;
}

void IPlugVST3::InitForHost() {}

void IPlugVST3::SetLatency(int latencySamples)
{
    IPlugBase::SetLatency(latencySamples);
    if (IComponentHandler* handler = getComponentHandler())
        handler->restartComponent(kRestartLatencyChanged);
}

bool IPlugVST3::SendMidiMessage(const MidiMessage& /*message*/) { return false; }

void IPlugVST3::ShowHostContextMenu(int paramIndex, int x, int y)
{
    IComponentHandler* handler = getComponentHandler();
    if (handler == nullptr || mViews.empty())
        return;
    FUnknownPtr<IComponentHandler3> handler3(handler);
    if (!handler3)
        return;
    const ParamID id = static_cast<ParamID>(paramIndex);
    if (IContextMenu* menu = handler3->createContextMenu(mViews.front(), &id))
    {
        menu->popup(static_cast<UCoord>(x), static_cast<UCoord>(y));
        menu->release();
    }
}
