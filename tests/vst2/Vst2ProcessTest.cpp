// Playing the VST2 module loaded from disk: the three process entries, raw MIDI with the
// pedal and the sound controllers, parameters, the host callbacks during processing, and the
// many orders in which hosts call.

#include "tests/vst2/host/ScriptedHost.h"
#include "tests/vst2/host/Vst2Module.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace
{
constexpr int kHostTempoBpm = 1;
constexpr int kMainVolume = 3;
constexpr int kNoiseAmpLevel = 5;
constexpr int kVoiceGate = 21;
constexpr int kBlock = 256;

// A note-on at the start of the next block, then one block rendered: the peak of it.
double HitPeak(Vst2Instance& plugin)
{
    plugin.SendMidi(0, 0x90, 60, 127);
    plugin.ProcessFloat(kBlock);
    return plugin.PeakFloat(kBlock);
}
} // namespace

TEST(Vst2Process, ANoteSoundsInItsBlockInEveryPrecision)
{
    ScriptedHost host;
    Vst2Instance plugin(host);
    plugin.Start();
    plugin.ProcessFloat(kBlock);
    EXPECT_EQ(plugin.PeakFloat(kBlock), 0.0);
    // An offset beyond this block belongs to the next one.
    plugin.SendMidi(300, 0x90, 60, 127);
    plugin.ProcessFloat(kBlock);
    EXPECT_EQ(plugin.PeakFloat(kBlock), 0.0);
    plugin.ProcessFloat(kBlock);
    EXPECT_GT(plugin.PeakFloat(kBlock), 0.01);
    // want-MIDI before every process call.
    EXPECT_EQ(host.CallsOf(kVst2HostWantMidi).size(), 3u);

    // Without noise the sound is the same in every instance: single and double precision
    // agree, and two accumulating calls on the same buffers give twice one replacing call.
    Vst2Instance single(host), twice(host), dbl(host);
    for (Vst2Instance* p : {&single, &twice, &dbl})
    {
        p->Start();
        p->SetParam(kNoiseAmpLevel, 0.0f);
        p->SendMidi(0, 0x90, 60, 127);
    }
    single.ProcessFloat(kBlock);
    dbl.ProcessDouble(kBlock);
    twice.ProcessFloat(kBlock, true, false, 0.0f);
    Vst2Instance other(host);
    other.Start();
    other.SetParam(kNoiseAmpLevel, 0.0f);
    other.SendMidi(0, 0x90, 60, 127);
    float* inputs[2] = {other.floatIn[0].data(), other.floatIn[1].data()};
    float* outputs[2] = {twice.floatOut[0].data(), twice.floatOut[1].data()};
    other.descriptor->processAccumulating(other.descriptor, inputs, outputs, kBlock);
    ASSERT_GT(single.PeakFloat(kBlock), 0.01);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < kBlock; ++i)
        {
            EXPECT_EQ(twice.floatOut[c][i], 2.0f * single.floatOut[c][i]) << i;
            EXPECT_EQ(static_cast<float>(dbl.doubleOut[c][i]), single.floatOut[c][i]) << i;
        }
}

TEST(Vst2Process, RawMidiPedalAllNotesOffAndControllers)
{
    ScriptedHost host;
    Vst2Instance plugin(host);
    plugin.Start();
    // Sustain holds the gate past the note-off; all-notes-off closes it.
    plugin.SendMidi(0, 0x90, 60, 100);
    plugin.SendMidi(1, 0xB0, 64, 127);
    plugin.SendMidi(2, 0x80, 60, 0);
    plugin.ProcessFloat(kBlock);
    EXPECT_EQ(plugin.Param(kVoiceGate), 1.0f);
    plugin.SendMidi(0, 0xB0, 123, 0);
    plugin.ProcessFloat(kBlock);
    EXPECT_EQ(plugin.Param(kVoiceGate), 0.0f);

    // Each sound controller moves its parameter (normalised value = controller value / 127).
    const int controllers[][2] = {{1, 19},  {2, 14},  {3, 20}, {7, 3},  {8, 16}, {9, 17},
                                  {10, 18}, {11, 15}, {12, 6}, {13, 7}, {14, 5}, {15, 8}};
    for (const auto& c : controllers)
    {
        plugin.SendMidi(0, 0xB0, static_cast<uint8_t>(c[0]), 127);
        plugin.ProcessFloat(kBlock);
        EXPECT_EQ(plugin.Param(c[1]), 1.0f) << "controller " << c[0];
        plugin.SendMidi(0, 0xB0, static_cast<uint8_t>(c[0]), 0);
        plugin.ProcessFloat(kBlock);
        EXPECT_EQ(plugin.Param(c[1]), 0.0f) << "controller " << c[0];
    }
    // Channel 2 is not the instrument's.
    plugin.SendMidi(0, 0xB1, 7, 64);
    plugin.ProcessFloat(kBlock);
    EXPECT_EQ(plugin.Param(kMainVolume), 0.0f);
}

TEST(Vst2Process, ParametersRoundTripAndInvalidIndicesAreIgnored)
{
    ScriptedHost host;
    Vst2Instance plugin(host);
    plugin.Start();
    plugin.SetParam(kMainVolume, 0.5f);
    EXPECT_EQ(plugin.Param(kMainVolume), 0.5f);
    plugin.SetParam(kHostTempoBpm, 0.25f);
    EXPECT_EQ(plugin.Param(kHostTempoBpm), 0.25f);
    // Values outside 0..1 from a careless host stay inside the parameter's range.
    plugin.SetParam(kMainVolume, -0.5f);
    EXPECT_EQ(plugin.Param(kMainVolume), 0.0f);
    plugin.SetParam(kMainVolume, 1.5f);
    EXPECT_EQ(plugin.Param(kMainVolume), 1.0f);
    for (int index : {28, -1, 1000})
    {
        plugin.SetParam(index, 0.3f);
        EXPECT_EQ(plugin.Param(index), 0.0f) << index;
    }
    // Text typed in the host.
    EXPECT_EQ(plugin.Dispatch(kVst2StringToParameter, kMainVolume, 0, const_cast<char*>("0.25")), 1);
    EXPECT_EQ(plugin.Param(kMainVolume), 0.25f);
    EXPECT_EQ(plugin.Dispatch(kVst2StringToParameter, kMainVolume), 1);
    EXPECT_EQ(plugin.Dispatch(kVst2StringToParameter, 28, 0, const_cast<char*>("1")), 0);
    // The host is never told back of its own changes.
    EXPECT_TRUE(host.CallsOf(kVst2HostAutomate).empty());
}

TEST(Vst2Process, TempoComesFromTheHostsTimeInfo)
{
    struct Case
    {
        bool record;
        int32_t flags;
        double tempo;
        float expectedBpm;
    };
    const Case cases[] = {{false, 0, 0.0, 0.0f},
                          {true, kVst2TempoValid, 140.0, 140.0f},
                          {true, 0, 140.0, 0.0f},
                          {true, kVst2TempoValid, 0.0, 0.0f},
                          {true, kVst2TempoValid | kVst2TransportPlaying, 90.5, 90.5f}};
    for (const Case& c : cases)
    {
        ScriptedHost host;
        if (c.record)
        {
            Vst2TimeInfo time{};
            time.tempo = c.tempo;
            time.flags = c.flags;
            host.time = time;
        }
        Vst2Instance plugin(host);
        plugin.Start();
        plugin.ProcessFloat(kBlock);
        EXPECT_FLOAT_EQ(plugin.Param(kHostTempoBpm) * 1000.0f, c.expectedBpm) << c.tempo << " " << c.flags;
        const auto asked = host.CallsOf(kVst2HostGetTime);
        ASSERT_FALSE(asked.empty());
        EXPECT_EQ(asked.back().value, kVst2TempoValid);
    }
}

TEST(Vst2Process, HostsCallingInUnusualOrdersGetAPlayingInstrument)
{
    using Script = std::function<void(Vst2Instance&)>;
    struct Case
    {
        const char* name;
        Script before;
        int frames;
    };
    const Case cases[] = {
        {"process before any set-up", [](Vst2Instance&) {}, kBlock},
        {"open after set-up",
         [](Vst2Instance& p)
         {
             p.Dispatch(kVst2SetSampleRate, 0, 0, nullptr, 48000.0f);
             p.Dispatch(kVst2SetBlockSize, 0, 512);
             p.Dispatch(kVst2MainsChanged, 0, 1);
             p.Dispatch(kVst2Open);
         },
         kBlock},
        {"block larger than announced", [](Vst2Instance& p) { p.Start(44100.0f, 64); }, 1000},
        {"block size 0, rate 0 and not-a-number",
         [](Vst2Instance& p)
         {
             p.Start();
             p.Dispatch(kVst2SetBlockSize, 0, 0);
             p.Dispatch(kVst2SetSampleRate, 0, 0, nullptr, 0.0f);
             p.Dispatch(kVst2SetSampleRate, 0, 0, nullptr, std::nanf(""));
         },
         kBlock},
        {"deactivated and activated again",
         [](Vst2Instance& p)
         {
             p.Start();
             p.Dispatch(kVst2MainsChanged, 0, 0);
             p.Dispatch(kVst2MainsChanged, 0, 1);
         },
         kBlock},
        {"chunk asked of a fresh instance",
         [](Vst2Instance& p)
         {
             EXPECT_EQ(p.Chunk(false).size(), 241u);
             EXPECT_EQ(p.Chunk(true).size(), 232u);
         },
         kBlock},
    };
    for (const Case& c : cases)
    {
        ScriptedHost host;
        Vst2Instance plugin(host);
        c.before(plugin);
        plugin.SendMidi(0, 0x90, 60, 127);
        plugin.ProcessFloat(c.frames);
        EXPECT_GT(plugin.PeakFloat(c.frames), 0.01) << c.name;
        // The hit goes on sounding beyond the first announced block.
        EXPECT_GT(std::fabs(plugin.floatOut[0][c.frames - 1]), 0.0f) << c.name;
        // Nulls where the host should have given buffers render nothing and break nothing.
        plugin.descriptor->processReplacing(plugin.descriptor, nullptr, nullptr, kBlock);
        plugin.descriptor->processDoubleReplacing(plugin.descriptor, nullptr, nullptr, kBlock);
        plugin.descriptor->processReplacing(plugin.descriptor, nullptr, nullptr, -5);
        EXPECT_GT(HitPeak(plugin), 0.01) << c.name;
    }
    // Closed while active, without deactivation: the instance simply goes.
    ScriptedHost host;
    Vst2Instance plugin(host);
    plugin.Start();
    EXPECT_GT(HitPeak(plugin), 0.01);
    plugin.Close();
}
