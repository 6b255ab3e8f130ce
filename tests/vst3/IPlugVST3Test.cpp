// The adapter driven directly, with a small core of its own: the parts of the adapter the
// instrument does not reach (parameter groups as units, switch and choice parameters, the
// bypass of an effect, several programs, the services the core asks of its host).

#include "vst3/IPlugVST3.h"

#include "tests/vst3/host/HostProcessData.h"
#include "tests/vst3/host/MemoryStream.h"
#include "tests/vst3/host/TestHostApplication.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

constexpr ParamID kPreset = IPlugVST3::kPresetParamId;
constexpr ParamID kBypass = IPlugVST3::kBypassParamId;

PluginConfig TestConfig(bool instrument)
{
    PluginConfig config;
    config.numParams = 4;
    config.numPresets = 2;
    config.channelIoString = "2-2";
    config.effectName = "Test";
    config.manufacturerName = "Test";
    config.isInstrument = instrument;
    config.doesMidi = instrument;
    config.pluginApi = kApiVst2; // the adapter must put its own API value in
    return config;
}

// 0 "Cutoff" (continuous, group "Filter"), 1 "Enabled" (switch, group "Filter"),
// 2 "Shape" (choice of three, group "Osc"), 3 "Depth" (continuous, negated display).
class TestPlug : public IPlugVST3
{
public:
    explicit TestPlug(bool instrument) : IPlugVST3(HostContext{}, TestConfig(instrument))
    {
        GetParam(0)->DefineContinuous("Cutoff", 1000.0, 20.0, 20000.0, 0.1, "Hz");
        GetParam(0)->SetGroup("Filter");
        GetParam(1)->SetType(ParameterType::BoolType);
        GetParam(1)->DefineContinuous("Enabled", 1.0, 0.0, 1.0, 1.0);
        GetParam(1)->AddDisplayText(0, "off");
        GetParam(1)->AddDisplayText(1, "on");
        GetParam(1)->SetGroup("Filter");
        GetParam(2)->SetType(ParameterType::EnumType);
        GetParam(2)->DefineContinuous("Shape", 0.0, 0.0, 2.0, 1.0);
        GetParam(2)->AddDisplayText(0, "saw");
        GetParam(2)->AddDisplayText(2, "sine");
        GetParam(2)->SetGroup("Osc");
        GetParam(2)->SetCanAutomate(false);
        GetParam(3)->DefineContinuous("Depth", 0.0, 0.0, 10.0, 0.01, "dB");
        GetParam(3)->SetNegateDisplay(true);
        FillDefaultPresets("First", 1);
    }

    // [audio thread, under the plug-in lock]
    void ProcessBlock(double** inputs, double** outputs, int frames) override
    {
        ++blocks;
        tempo = QueryTempo();
        GetTimeInfo(time);
        samplePosition = GetSamplePosition();
        offline = RendersOffline();
        IPlugBase::ProcessBlock(inputs, outputs, frames);
        for (int f = 0; f < frames; ++f)
            outputs[1][f] = 0.5;
    }
    // [audio thread, under the plug-in lock]
    void ProcessMidiMessage(const MidiMessage& message) override { midi.push_back(message); }
    // [any thread, takes the plug-in lock]
    void OnParameterChange(int paramIndex) override { changed.push_back(paramIndex); }

    int blocks = 0;
    double tempo = 0.0;
    double samplePosition = 0.0;
    bool offline = false;
    TimeInfo time;
    std::vector<MidiMessage> midi;
    std::vector<int> changed;
};

std::string Narrow(const TChar* text)
{
    std::string out;
    for (; *text; ++text)
        out += static_cast<char>(*text);
    return out;
}

class IPlugVST3Effect : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plug = new TestPlug(false);
        ASSERT_EQ(plug->initialize(&host), kResultOk);
        plug->setComponentHandler(&handler);
        plug->activateBus(kAudio, kInput, 0, true);
        plug->activateBus(kAudio, kOutput, 0, true);
    }
    void TearDown() override
    {
        plug->setComponentHandler(nullptr);
        plug->terminate();
        plug->release();
    }
    // Real-time processing at 48 kHz in blocks of up to 128 frames.
    void SetUpProcessing(int32 sampleSize)
    {
        ProcessSetup setup{kRealtime, sampleSize, 128, 48000.0};
        ASSERT_EQ(plug->setupProcessing(setup), kResultOk);
    }
    ParameterInfo InfoOf(ParamID id)
    {
        ParameterInfo info{};
        for (int32 i = 0; i < plug->getParameterCount(); ++i)
            if (plug->getParameterInfo(i, info) == kResultOk && info.id == id)
                return info;
        ADD_FAILURE() << "no parameter " << id;
        return info;
    }
    std::string Text(ParamID id, double normalized)
    {
        String128 text{};
        EXPECT_EQ(plug->getParamStringByValue(id, normalized, text), kResultOk);
        return Narrow(text);
    }

    TestHostApplication host{u"REAPER x64"};
    RecordingComponentHandler handler;
    TestPlug* plug = nullptr;
};

} // namespace

TEST_F(IPlugVST3Effect, IdentifiesTheHostAndSpeaksVst3)
{
    EXPECT_EQ(plug->HostIdentity(), 1);
    EXPECT_EQ(plug->GetPluginApi(), kApiVst3);
    TestHostApplication validator(u"VST3PluginTestHost");
    EXPECT_EQ(plug->initialize(&validator), kResultFalse);
    EXPECT_EQ(plug->HostIdentity(), 27);
}

TEST_F(IPlugVST3Effect, EffectBusesHaveNoMidiInput)
{
    BusInfo info{};
    ASSERT_EQ(plug->getBusInfo(kAudio, kOutput, 0, info), kResultOk);
    EXPECT_EQ(Narrow(info.name), "Output");
    EXPECT_EQ(plug->getBusCount(kEvent, kInput), 0);
}

TEST_F(IPlugVST3Effect, GroupsBecomeUnitsInOrderOfFirstUse)
{
    ASSERT_EQ(plug->getUnitCount(), 3);
    UnitInfo unit{};
    ASSERT_EQ(plug->getUnitInfo(1, unit), kResultOk);
    EXPECT_EQ(unit.id, 1);
    EXPECT_EQ(unit.parentUnitId, kRootUnitId);
    EXPECT_EQ(Narrow(unit.name), "Filter");
    ASSERT_EQ(plug->getUnitInfo(2, unit), kResultOk);
    EXPECT_EQ(Narrow(unit.name), "Osc");
    EXPECT_NE(plug->getUnitInfo(3, unit), kResultOk);

    EXPECT_EQ(InfoOf(0).unitId, 1);
    EXPECT_EQ(InfoOf(1).unitId, 1);
    EXPECT_EQ(InfoOf(2).unitId, 2);
    EXPECT_EQ(InfoOf(3).unitId, kRootUnitId);

    // A second life after terminate numbers the groups the same way.
    plug->terminate();
    ASSERT_EQ(plug->initialize(&host), kResultOk);
    EXPECT_EQ(plug->getUnitCount(), 3);
    EXPECT_EQ(InfoOf(2).unitId, 2);
}

TEST_F(IPlugVST3Effect, SwitchesAndChoicesAreLists)
{
    const ParameterInfo enabled = InfoOf(1);
    EXPECT_EQ(Narrow(enabled.title), "Enabled");
    EXPECT_EQ(enabled.flags, ParameterInfo::kIsList | ParameterInfo::kCanAutomate);
    EXPECT_EQ(enabled.stepCount, 1);
    EXPECT_EQ(Narrow(enabled.units), ""); // the value has a display text

    const ParameterInfo shape = InfoOf(2);
    EXPECT_EQ(shape.flags, ParameterInfo::kIsList); // not automatable
    EXPECT_EQ(shape.stepCount, 1);                  // one entry per display text

    const ParameterInfo cutoff = InfoOf(0);
    EXPECT_EQ(Narrow(cutoff.units), "Hz");
    EXPECT_EQ(cutoff.flags, ParameterInfo::kCanAutomate);

    const ParameterInfo bypass = InfoOf(kBypass);
    EXPECT_EQ(Narrow(bypass.title), "Bypass");
    EXPECT_EQ(bypass.flags, 0x10009);
    EXPECT_EQ(bypass.stepCount, 1);

    const ParameterInfo preset = InfoOf(kPreset);
    EXPECT_EQ(preset.stepCount, 2);
}

TEST_F(IPlugVST3Effect, ValueTextsUseDisplayTextsPrecisionAndNegation)
{
    EXPECT_EQ(Text(1, 1.0), "on");
    EXPECT_EQ(Text(1, 0.0), "off");
    EXPECT_EQ(Text(2, 0.5), "1"); // value 1 has no display text: the number, no decimals
    EXPECT_EQ(Text(2, 1.0), "sine");
    EXPECT_EQ(Text(0, 0.0), "20.0");
    EXPECT_EQ(Text(3, 0.25), "-2.50");
    // Out-of-range normalised values from a host stay inside the range.
    EXPECT_EQ(Text(3, 7.0), "-10.00");
    EXPECT_EQ(Text(0, -1.0), "20.0");
}

TEST_F(IPlugVST3Effect, BypassPassesInputsAndTravelsWithTheState)
{
    ASSERT_NO_FATAL_FAILURE(SetUpProcessing(kSample32));
    HostProcessData io(kSample32, 128);
    io.changes.Add(kBypass, 0, 1.0);
    ProcessData& data = io.Block(64);
    io.FillInput(0, 0.25);
    io.FillInput(1, -0.75);
    ASSERT_EQ(plug->process(data), kResultOk);
    EXPECT_TRUE(plug->IsBypassed());
    EXPECT_EQ(plug->blocks, 0);
    EXPECT_EQ(io.Output(0, 5), 0.25);
    EXPECT_EQ(io.Output(1, 63), -0.75);
    EXPECT_EQ(plug->getParamNormalized(kBypass), 1.0);

    MemoryStream saved;
    ASSERT_EQ(plug->getState(&saved), kResultOk);
    ASSERT_EQ(saved.Bytes().size(), 4u * 8u + 4u);
    EXPECT_EQ(saved.Bytes()[32], 1);

    // A new set-up starts unbypassed; the state brings the bypass back.
    ASSERT_NO_FATAL_FAILURE(SetUpProcessing(kSample32));
    EXPECT_FALSE(plug->IsBypassed());
    saved.Rewind();
    ASSERT_EQ(plug->setState(&saved), kResultOk);
    EXPECT_TRUE(plug->IsBypassed());

    io.changes.Clear();
    io.changes.Add(kBypass, 0, 0.2);
    ASSERT_EQ(plug->process(io.Block(64)), kResultOk);
    EXPECT_FALSE(plug->IsBypassed());
    EXPECT_EQ(plug->blocks, 1);
    EXPECT_EQ(io.Output(1, 10), 0.5);
}

TEST_F(IPlugVST3Effect, BypassKeepsTheLatencyInBothSampleSizes)
{
    plug->SetLatency(3);
    for (int32 size : {kSample32, kSample64})
    {
        SCOPED_TRACE(size);
        ASSERT_NO_FATAL_FAILURE(SetUpProcessing(size));
        plug->SetLatency(3); // starts the delay line afresh
        HostProcessData io(size, 128);
        io.changes.Add(kBypass, 0, 1.0);
        ProcessData& data = io.Block(16);
        io.FillInput(0, 0.25);
        ASSERT_EQ(plug->process(data), kResultOk);
        EXPECT_EQ(io.Output(0, 2), 0.0);
        EXPECT_EQ(io.Output(0, 3), 0.25);
        EXPECT_EQ(io.Output(1, 8), 0.0);
    }
}

TEST_F(IPlugVST3Effect, BypassDoesNotReplayInputsTheHostNoLongerGives)
{
    ASSERT_NO_FATAL_FAILURE(SetUpProcessing(kSample32));
    HostProcessData io(kSample32, 128);
    io.changes.Add(kBypass, 0, 1.0);
    ProcessData& data = io.Block(32);
    io.FillInput(0, 0.25);
    ASSERT_EQ(plug->process(data), kResultOk);
    EXPECT_EQ(io.Output(0, 7), 0.25);

    ProcessData& noInputs = io.Block(32);
    noInputs.numInputs = 0;
    noInputs.inputs = nullptr;
    ASSERT_EQ(plug->process(noInputs), kResultOk);
    EXPECT_EQ(io.Output(0, 7), 0.0);
}

TEST_F(IPlugVST3Effect, ProgramChangeSelectsSlotsAndCoreChangesReachTheCore)
{
    ASSERT_NO_FATAL_FAILURE(SetUpProcessing(kSample64));
    HostProcessData io(kSample64, 128);
    io.changes.Add(kPreset, 0, 0.5); // program 1 of 2
    io.changes.Add(0, 0, 0.5);
    io.changes.Add(777, 0, 0.5); // undeclared: ignored
    plug->changed.clear();
    ASSERT_EQ(plug->process(io.Flush()), kResultOk);
    EXPECT_EQ(plug->CurrentPresetIndex(), 1);
    EXPECT_EQ(std::string(plug->PresetNameAt(1)), "user preset 1");
    EXPECT_DOUBLE_EQ(plug->GetParam(0)->Value(), 20.0 + 19980.0 * 0.5);
    ASSERT_FALSE(plug->changed.empty());
    EXPECT_EQ(plug->changed.back(), 0);

    String128 name{};
    ASSERT_EQ(plug->getProgramName(kPreset, 0, name), kResultOk);
    EXPECT_EQ(Narrow(name), "First");
}

TEST_F(IPlugVST3Effect, EditsAndLatencyChangesGoToTheHost)
{
    plug->BeginParameterEdit(3);
    plug->SetParameterFromEditor(3, 0.4);
    plug->EndParameterEdit(3);
    ASSERT_EQ(handler.edits.size(), 3u);
    EXPECT_EQ(handler.edits[0].kind, 'b');
    EXPECT_EQ(handler.edits[1].kind, 'p');
    EXPECT_EQ(handler.edits[1].id, 3u);
    EXPECT_DOUBLE_EQ(handler.edits[1].value, 0.4);
    EXPECT_EQ(handler.edits[2].kind, 'e');

    plug->SetLatency(32);
    EXPECT_EQ(plug->getLatencySamples(), 32u);
    ASSERT_EQ(handler.restarts.size(), 1u);
    EXPECT_EQ(handler.restarts[0], 8);
    ASSERT_NE(plug->GetLatencyDelayLine(), nullptr);
    EXPECT_EQ(plug->GetLatencyDelayLine()->LengthFrames(), 32);
}

TEST_F(IPlugVST3Effect, TransportComesFromTheLastContext)
{
    ProcessSetup setup{kOffline, kSample32, 128, 48000.0};
    ASSERT_EQ(plug->setupProcessing(setup), kResultOk);
    HostProcessData io(kSample32, 128);
    io.context.tempo = 93.5;
    io.context.projectTimeSamples = 4800;
    io.context.projectTimeMusic = 12.5;
    io.context.barPositionMusic = 12.0;
    io.context.cycleStartMusic = 8.0;
    io.context.cycleEndMusic = 16.0;
    io.context.timeSigNumerator = 7;
    io.context.timeSigDenominator = 8;
    io.context.state = ProcessContext::kPlaying | ProcessContext::kCycleActive;
    ASSERT_EQ(plug->process(io.Block(32)), kResultOk);
    EXPECT_EQ(plug->tempo, 93.5);
    EXPECT_EQ(plug->samplePosition, 4800.0);
    EXPECT_TRUE(plug->offline);
    EXPECT_EQ(plug->time.positionQuarterNotes, 12.5);
    EXPECT_EQ(plug->time.lastBarStartQuarterNotes, 12.0);
    EXPECT_EQ(plug->time.cycleStartQuarterNotes, 8.0);
    EXPECT_EQ(plug->time.cycleEndQuarterNotes, 16.0);
    EXPECT_EQ(plug->time.timeSignatureNumerator, 7);
    EXPECT_EQ(plug->time.timeSignatureDenominator, 8);
    EXPECT_TRUE(plug->time.transportPlaying);
    EXPECT_TRUE(plug->time.cycleActive);

    // A call without a context keeps the last one.
    ProcessData& data = io.Block(32);
    data.processContext = nullptr;
    ASSERT_EQ(plug->process(data), kResultOk);
    EXPECT_EQ(plug->tempo, 93.5);
}

TEST(IPlugVST3Instrument, NoteEventsBecomeMidiMessagesInListOrder)
{
    auto* plug = new TestPlug(true);
    ASSERT_EQ(plug->initialize(nullptr), kResultOk);
    EXPECT_EQ(plug->HostIdentity(), kHostUnidentified);
    ProcessSetup setup{kRealtime, kSample32, 128, 48000.0};
    ASSERT_EQ(plug->setupProcessing(setup), kResultOk);

    HostProcessData io(kSample32, 128);
    io.events.AddNoteOn(17, 60, 0.5f, 3);
    Event pressure{};
    pressure.type = Event::kPolyPressureEvent;
    io.events.addEvent(pressure);
    io.events.AddNoteOff(5, 60, 3);
    io.events.AddNoteOn(0, 72, 1.0f);
    ASSERT_EQ(plug->process(io.Block(64)), kResultOk);

    ASSERT_EQ(plug->midi.size(), 3u);
    EXPECT_EQ(plug->midi[0].status, 0x93);
    EXPECT_EQ(plug->midi[0].data1, 60);
    EXPECT_EQ(plug->midi[0].data2, 63);
    EXPECT_EQ(plug->midi[0].sampleOffset, 17);
    EXPECT_EQ(plug->midi[1].status, 0x83);
    EXPECT_EQ(plug->midi[1].data2, 0);
    EXPECT_EQ(plug->midi[1].sampleOffset, 5);
    EXPECT_EQ(plug->midi[2].status, 0x90);
    EXPECT_EQ(plug->midi[2].data2, 127);

    BusInfo info{};
    ASSERT_EQ(plug->getBusInfo(kAudio, kOutput, 0, info), kResultOk);
    EXPECT_EQ(Narrow(info.name), "Output 1");
    plug->terminate();
    plug->release();
}
