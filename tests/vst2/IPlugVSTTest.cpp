// The VST2 adapter on a plain core, for what the instrument does not reach from outside:
// the transport read through the host callback with its masks and validity rules, host
// identification, the process level, MIDI output and an edit gesture's callbacks.

#include "tests/vst2/host/ScriptedHost.h"
#include "vst2/IPlugVST.h"

#include <gtest/gtest.h>

namespace
{
PluginConfig Config()
{
    PluginConfig config;
    config.numParams = 28;
    config.numPresets = 1;
    config.channelIoString = "2-2";
    config.effectName = "Kestrum";
    config.isInstrument = true;
    config.doesMidi = true;
    return config;
}

IPlugVST::HostContext Host()
{
    IPlugVST::HostContext host;
    host.callback = &ScriptedHost::Callback;
    return host;
}

Vst2TimeInfo Transport(int32_t flags)
{
    Vst2TimeInfo time{};
    time.samplePos = 1234.5;
    time.ppqPos = 8.25;
    time.tempo = 133.0;
    time.barStartPos = 8.0;
    time.cycleStartPos = 4.0;
    time.cycleEndPos = 12.0;
    time.timeSigNumerator = 7;
    time.timeSigDenominator = 8;
    time.flags = flags;
    return time;
}
} // namespace

TEST(IPlugVST, TimeInfoTakesOnlyWhatTheHostMarksValid)
{
    constexpr int32_t kAll =
        kVst2PpqPosValid | kVst2TempoValid | kVst2BarsValid | kVst2CyclePosValid | kVst2TimeSigValid;
    struct Case
    {
        const char* name;
        bool record;
        Vst2TimeInfo time;
        TimeInfo expected;
    };
    const TimeInfo defaults;
    TimeInfo everything;
    everything.samplePosition = 1234.5;
    everything.positionQuarterNotes = 8.25;
    everything.tempoBpm = 133.0;
    everything.lastBarStartQuarterNotes = 8.0;
    everything.cycleStartQuarterNotes = 4.0;
    everything.cycleEndQuarterNotes = 12.0;
    everything.timeSignatureNumerator = 7;
    everything.timeSignatureDenominator = 8;
    everything.transportPlaying = true;
    everything.cycleActive = true;
    TimeInfo onlyTempo = defaults;
    onlyTempo.samplePosition = 1234.5;
    onlyTempo.tempoBpm = 133.0;
    Vst2TimeInfo broken = Transport(kAll);
    broken.tempo = 0.0;
    broken.ppqPos = -1.0;
    broken.timeSigNumerator = 0;
    broken.cycleEndPos = -2.0;
    TimeInfo brokenExpected = defaults;
    brokenExpected.samplePosition = 1234.5;
    brokenExpected.lastBarStartQuarterNotes = 8.0;

    const Case cases[] = {
        {"no record", false, {}, defaults},
        {"no valid field", true, Transport(kVst2TransportPlaying | kVst2CycleActive), defaults},
        {"everything", true, Transport(kAll | kVst2TransportPlaying | kVst2CycleActive), everything},
        {"tempo only", true, Transport(kVst2TempoValid), onlyTempo},
        {"values out of range", true, broken, brokenExpected},
    };
    for (const Case& c : cases)
    {
        ScriptedHost host;
        if (c.record)
            host.time = c.time;
        IPlugVST plugin(Host(), Config());
        TimeInfo info;
        plugin.GetTimeInfo(info);
        EXPECT_EQ(info.samplePosition, c.expected.samplePosition) << c.name;
        EXPECT_EQ(info.positionQuarterNotes, c.expected.positionQuarterNotes) << c.name;
        EXPECT_EQ(info.tempoBpm, c.expected.tempoBpm) << c.name;
        EXPECT_EQ(info.lastBarStartQuarterNotes, c.expected.lastBarStartQuarterNotes) << c.name;
        EXPECT_EQ(info.cycleStartQuarterNotes, c.expected.cycleStartQuarterNotes) << c.name;
        EXPECT_EQ(info.cycleEndQuarterNotes, c.expected.cycleEndQuarterNotes) << c.name;
        EXPECT_EQ(info.timeSignatureNumerator, c.expected.timeSignatureNumerator) << c.name;
        EXPECT_EQ(info.timeSignatureDenominator, c.expected.timeSignatureDenominator) << c.name;
        EXPECT_EQ(info.transportPlaying, c.expected.transportPlaying) << c.name;
        EXPECT_EQ(info.cycleActive, c.expected.cycleActive) << c.name;
        ASSERT_EQ(host.CallsOf(kVst2HostGetTime).size(), 1u);
        EXPECT_EQ(host.CallsOf(kVst2HostGetTime)[0].value, kAll) << c.name;
    }
}

TEST(IPlugVST, TempoSignatureAndPositionQueries)
{
    ScriptedHost host;
    IPlugVST plugin(Host(), Config());
    int numerator = -1;
    int denominator = -1;
    // No record: zeros.
    EXPECT_EQ(plugin.QueryTempo(), 0.0);
    EXPECT_EQ(plugin.GetSamplePosition(), 0.0);
    plugin.GetTimeSignature(numerator, denominator);
    EXPECT_EQ(numerator, 0);
    EXPECT_EQ(denominator, 0);

    // A tempo of 0 flagged valid is answered as it is (GetTimeInfo would keep its default).
    host.time = Transport(kVst2TempoValid | kVst2TimeSigValid);
    host.time->tempo = 0.0;
    host.time->timeSigNumerator = 0;
    EXPECT_EQ(plugin.QueryTempo(), 0.0);
    plugin.GetTimeSignature(numerator, denominator);
    EXPECT_EQ(numerator, 0);
    EXPECT_EQ(denominator, 8);
    // Positions are rounded to the nearest frame; pre-roll counts as 0.
    EXPECT_EQ(plugin.GetSamplePosition(), 1235.0);
    host.time->samplePos = 1234.4;
    EXPECT_EQ(plugin.GetSamplePosition(), 1234.0);
    host.time->samplePos = -300.0;
    EXPECT_EQ(plugin.GetSamplePosition(), 0.0);
    // Without the flags nothing is taken.
    host.time->flags = 0;
    host.time->tempo = 99.0;
    EXPECT_EQ(plugin.QueryTempo(), 0.0);

    const auto asked = host.CallsOf(kVst2HostGetTime);
    ASSERT_GE(asked.size(), 4u);
    EXPECT_EQ(asked[0].value, kVst2TempoValid);
    EXPECT_EQ(asked[1].value, 0);
    EXPECT_EQ(asked[2].value, kVst2TimeSigValid);
}

TEST(IPlugVST, HostIdentityLevelMidiOutAndEditGestures)
{
    ScriptedHost host;
    host.productName = "REAPER";
    host.vendorVersion = 2010203;
    host.processLevel = 4;
    IPlugVST plugin(Host(), Config());
    EXPECT_EQ(plugin.HostIdentity(), 1);
    EXPECT_EQ(plugin.HostVersion(), PackVersion(201, 2, 3));
    EXPECT_EQ(plugin.HostIdentity(), 1);
    EXPECT_EQ(host.CallsOf(kVst2HostGetProductString).size(), 1u);
    EXPECT_TRUE(plugin.RendersOffline());
    host.processLevel = 2;
    EXPECT_FALSE(plugin.RendersOffline());

    EXPECT_TRUE(plugin.SendMidiMessage({5, 0x90, 60, 100}));
    host.eventsAnswer = 0;
    EXPECT_FALSE(plugin.SendMidiMessage({0, 0x80, 60, 0}));
    ASSERT_EQ(host.midiOut.size(), 2u);
    EXPECT_EQ(host.midiOut[0], (std::vector<uint8_t>{0x90, 60, 100}));
    const uint8_t sysex[] = {0xF0, 0x7E, 0xF7};
    host.eventsAnswer = 1;
    EXPECT_TRUE(plugin.SendSysExMessage({0, 3, sysex}));

    // A gesture in the editor arrives as begin edit, automate, end edit.
    host.calls.clear();
    plugin.GetParam(3)->DefineContinuous("MainVolume", 0.8, 0.0, 1.0, 0.00001);
    plugin.BeginParameterEdit(3);
    plugin.SetParameterFromEditor(3, 0.25);
    plugin.EndParameterEdit(3);
    plugin.NotifyHostOfPresetChange();
    ASSERT_EQ(host.calls.size(), 4u);
    EXPECT_EQ(host.calls[0].operation, kVst2HostBeginEdit);
    EXPECT_EQ(host.calls[1].operation, kVst2HostAutomate);
    EXPECT_EQ(host.calls[1].index, 3);
    EXPECT_EQ(host.calls[1].option, 0.25f);
    EXPECT_EQ(host.calls[2].operation, kVst2HostEndEdit);
    EXPECT_EQ(host.calls[3].operation, kVst2HostUpdateDisplay);
}
