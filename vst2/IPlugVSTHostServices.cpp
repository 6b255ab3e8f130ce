#include "vst2/IPlugVST.h"

#include <cmath>

// What the host does for the core, through its callback: parameter edits and automation,
// display updates, the process level, the transport and MIDI output.

namespace
{

constexpr int32_t kAllTimeFlags =
    kVst2PpqPosValid | kVst2TempoValid | kVst2BarsValid | kVst2CyclePosValid | kVst2TimeSigValid;

bool Flagged(const Vst2TimeInfo& time, int32_t flag) { return (time.flags & flag) != 0; }

} // namespace

void IPlugVST::BeginParameterEdit(int paramIndex) { Callback(kVst2HostBeginEdit, paramIndex); }

void IPlugVST::NotifyHostOfParameterChange(int paramIndex, double normalizedValue)
{
    Callback(kVst2HostAutomate, paramIndex, 0, nullptr, static_cast<float>(normalizedValue));
}

void IPlugVST::EndParameterEdit(int paramIndex) { Callback(kVst2HostEndEdit, paramIndex); }

void IPlugVST::NotifyHostOfPresetChange() { Callback(kVst2HostUpdateDisplay); }

bool IPlugVST::RendersOffline() { return Callback(kVst2HostGetProcessLevel) == kVst2ProcessLevelOffline; }

const Vst2TimeInfo* IPlugVST::HostTime(int32_t mask)
{
    return reinterpret_cast<const Vst2TimeInfo*>(Callback(kVst2HostGetTime, 0, mask));
}

double IPlugVST::GetSamplePosition()
{
    const Vst2TimeInfo* time = HostTime(0);
    // Rounded to the nearest frame; a negative position (pre-roll) counts as 0.
    if (!time || !(time->samplePos >= 0.0))
        return 0.0;
    return std::floor(time->samplePos + 0.5);
}

double IPlugVST::QueryTempo()
{
    const Vst2TimeInfo* time = HostTime(kVst2TempoValid);
    if (time && Flagged(*time, kVst2TempoValid) && time->tempo >= 0.0)
        return time->tempo;
    return 0.0;
}

void IPlugVST::GetTimeSignature(int& numerator, int& denominator)
{
    numerator = 0;
    denominator = 0;
    const Vst2TimeInfo* time = HostTime(kVst2TimeSigValid);
    if (time && Flagged(*time, kVst2TimeSigValid) && time->timeSigNumerator >= 0 &&
        time->timeSigDenominator >= 0)
    {
        numerator = time->timeSigNumerator;
        denominator = time->timeSigDenominator;
    }
}

void IPlugVST::GetTimeInfo(TimeInfo& info)
{
    const Vst2TimeInfo* time = HostTime(kAllTimeFlags);
    if (!time || (time->flags & kAllTimeFlags) == 0)
        return;
    info.samplePosition = time->samplePos;
    if (Flagged(*time, kVst2PpqPosValid) && time->ppqPos >= 0.0)
        info.positionQuarterNotes = time->ppqPos;
    if (Flagged(*time, kVst2TempoValid) && time->tempo > 0.0)
        info.tempoBpm = time->tempo;
    if (Flagged(*time, kVst2BarsValid) && time->barStartPos >= 0.0)
        info.lastBarStartQuarterNotes = time->barStartPos;
    if (Flagged(*time, kVst2CyclePosValid) && time->cycleStartPos >= 0.0 && time->cycleEndPos >= 0.0)
    {
        info.cycleStartQuarterNotes = time->cycleStartPos;
        info.cycleEndQuarterNotes = time->cycleEndPos;
    }
    if (Flagged(*time, kVst2TimeSigValid) && time->timeSigNumerator > 0 && time->timeSigDenominator > 0)
    {
        info.timeSignatureNumerator = time->timeSigNumerator;
        info.timeSignatureDenominator = time->timeSigDenominator;
    }
    info.transportPlaying = Flagged(*time, kVst2TransportPlaying);
    info.cycleActive = Flagged(*time, kVst2CycleActive);
}

bool IPlugVST::SendMidiMessage(const MidiMessage& message)
{
    Vst2MidiEvent event{};
    event.type = kVst2EventMidi;
    event.byteSize = sizeof event;
    event.deltaFrames = message.sampleOffset;
    event.midiData[0] = message.status;
    event.midiData[1] = message.data1;
    event.midiData[2] = message.data2;
    return SendEventToHost(reinterpret_cast<Vst2Event*>(&event));
}

bool IPlugVST::SendSysExMessage(const SysExMessage& message)
{
    Vst2SysExEvent event{};
    event.type = kVst2EventSysEx;
    event.byteSize = sizeof event;
    event.deltaFrames = message.sampleOffset;
    event.dumpBytes = message.sizeBytes;
    event.sysexDump = const_cast<uint8_t*>(message.bytes);
    return SendEventToHost(reinterpret_cast<Vst2Event*>(&event));
}

bool IPlugVST::SendEventToHost(Vst2Event* event)
{
    Vst2EventList list{};
    list.numEvents = 1;
    list.events[0] = event;
    return Callback(kVst2HostProcessEvents, 0, 0, &list) == 1;
}
