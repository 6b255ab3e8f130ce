#include "tests/framework/DoubleTestHost.h"
#include "tests/framework/TestPlugin.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace
{
using DoubleBuffers = std::vector<std::vector<double>>;
using FloatBuffers = std::vector<std::vector<float>>;

// Renders a recognisable signal so that pass-through and precision paths can be told apart:
// output c holds c + 1 + frame / 8 (exact in single precision).
class SignalPlugin : public TestPlugin
{
public:
    using TestPlugin::TestPlugin;
    void ProcessBlock(double** /*inputs*/, double** outputs, int frames) override
    {
        for (int c = 0; c < NumOutputs(); ++c)
            for (int i = 0; i < frames; ++i)
                outputs[c][i] = c + 1 + i / 8.0;
    }
};
} // namespace

TEST(IPlugBase, ConstructionTakesTheConfiguration)
{
    TestPlugin plugin;
    EXPECT_STREQ(plugin.EffectName(), "Kestrum");
    EXPECT_STREQ(plugin.ProductName(), "");
    EXPECT_EQ(plugin.Version(), 0x00010002);
    EXPECT_EQ(plugin.UniqueId(), 0x4B6D7138);
    EXPECT_EQ(plugin.HostIdentity(), -1);
    EXPECT_EQ(plugin.GetPluginApi(), 1);
    EXPECT_EQ(plugin.SampleRate(), 44100.0);
    EXPECT_EQ(plugin.BlockSize(), 0);
    EXPECT_EQ(plugin.GetParam(28), nullptr);
    EXPECT_EQ(plugin.GetParam(-1), nullptr);
    EXPECT_STREQ(plugin.PresetNameAt(0), "empty");
    EXPECT_STREQ(plugin.PresetNameAt(1), "");
}

TEST(IPlugBase, ChannelStringsGiveConfigurationsAndChannelCounts)
{
    TestPlugin stereo(TestConfig(1, "2-2"));
    ASSERT_EQ(stereo.ChannelConfigurations().size(), 1u);
    EXPECT_EQ(stereo.NumInputs(), 2);
    EXPECT_EQ(stereo.NumOutputs(), 2);
    EXPECT_FALSE(stereo.LegalIO(1, -1));
    EXPECT_TRUE(stereo.LegalIO(-1, 2));
    EXPECT_TRUE(stereo.LegalIO(2, 2));

    TestPlugin two(TestConfig(1, "1-1 2-2"));
    ASSERT_EQ(two.ChannelConfigurations().size(), 2u);
    EXPECT_EQ(two.ChannelConfigurations()[0].numInputs, 1);
    EXPECT_EQ(two.NumInputs(), 2);
    EXPECT_TRUE(two.LegalIO(1, -1));

    TestPlugin garbage(TestConfig(1, "stereo"));
    ASSERT_EQ(garbage.ChannelConfigurations().size(), 1u);
    EXPECT_EQ(garbage.ChannelConfigurations()[0].numInputs, 0);
    EXPECT_EQ(garbage.NumOutputs(), 0);

    TestPlugin instrument(TestConfig(1, "0-2 x 99999999999-1"));
    ASSERT_EQ(instrument.ChannelConfigurations().size(), 3u);
    EXPECT_EQ(instrument.ChannelConfigurations()[1].numOutputs, 0);
    EXPECT_EQ(instrument.ChannelConfigurations()[2].numInputs, 2147483647);
    EXPECT_EQ(instrument.NumOutputs(), 2);
    EXPECT_EQ(instrument.NumInputs(), 256);
}

TEST(IPlugBase, DoublePrecisionPointsStraightAtTheHostBuffers)
{
    TestPlugin plugin; // default pass-through
    DoubleTestHost host(plugin);
    host.SetUpStereo(48000, 64);
    DoubleBuffers in = {std::vector<double>(64, 0.25), std::vector<double>(64, -0.5)};
    DoubleBuffers out(2, std::vector<double>(64, 9.0));
    host.ProcessDouble(in, out, 64);
    EXPECT_EQ(out, in);
    EXPECT_EQ(plugin.OutputPointers()[1], out[1].data());
}

TEST(IPlugBase, SinglePrecisionReplacesOrAccumulates)
{
    SignalPlugin plugin;
    DoubleTestHost host(plugin);
    host.SetUpStereo(44100, 32);
    FloatBuffers in(2, std::vector<float>(32, 0.f));
    FloatBuffers out(2, std::vector<float>(32, 100.f));
    host.ProcessSingle(in, out, 32, false);
    EXPECT_EQ(out[0][8], 2.f);
    EXPECT_EQ(out[1][0], 2.f);
    host.ProcessSingle(in, out, 32, true);
    EXPECT_EQ(out[0][8], 4.f);
    EXPECT_EQ(out[1][31], 2.f * (2 + 31 / 8.f));
}

TEST(IPlugBase, OnlyConnectedChannelsConsumeHostBuffers)
{
    TestPlugin plugin(TestConfig(1, "3-3"));
    plugin.SetInputChannelConnections(0, 1, true);
    plugin.SetOutputChannelConnections(0, 3, true);
    DoubleTestHost host(plugin);
    host.SetUp(44100, 8);
    FloatBuffers in = {std::vector<float>(8, 1.f), std::vector<float>(8, 2.f), std::vector<float>(8, 3.f)};
    FloatBuffers out(3, std::vector<float>(8, 7.f));
    host.ProcessSingle(in, out, 8, false);
    EXPECT_EQ(out[0], in[0]);
    EXPECT_EQ(out[1], std::vector<float>(8, 0.f)); // its input is not connected
    EXPECT_EQ(out[2], std::vector<float>(8, 0.f));
}

TEST(IPlugBase, OversizedHostBlocksAreClampedToTheScratchBuffers)
{
    SignalPlugin plugin;
    plugin.SetOutputChannelConnections(0, 2, true);
    DoubleTestHost host(plugin);
    host.SetUp(44100, 16);
    FloatBuffers in(2, std::vector<float>(64, 0.f));
    FloatBuffers out(2, std::vector<float>(64, -1.f));
    host.ProcessSingle(in, out, 64, false);
    EXPECT_EQ(out[0][15], 1 + 15 / 8.f);
    EXPECT_EQ(out[0][16], -1.f);
}

TEST(IPlugBase, BlockSizeChangesResizeScratchOnlyWhenTheSizeChanges)
{
    TestPlugin plugin;
    plugin.ApplyBlockSize(128);
    double* before = plugin.InputPointers()[0];
    before[5] = 3.0;
    plugin.ApplyBlockSize(128);
    EXPECT_EQ(plugin.InputPointers()[0], before);
    EXPECT_EQ(before[5], 3.0);
    plugin.ApplyBlockSize(256);
    EXPECT_EQ(plugin.BlockSize(), 256);
    EXPECT_EQ(plugin.InputPointers()[0][5], 0.0);
    plugin.ApplyBlockSize(-4);
    EXPECT_EQ(plugin.BlockSize(), 256);
}

TEST(IPlugBase, LimitToStereoChannelsDisconnectsExtraInputsAndConnectsExtraOutputs)
{
    TestPlugin plugin(TestConfig(1, "4-4"));
    plugin.ApplyBlockSize(4);
    plugin.SetInputChannelConnections(0, 4, true);
    plugin.LimitToStereoChannels();
    EXPECT_TRUE(plugin.IsInputConnected(1));
    EXPECT_FALSE(plugin.IsInputConnected(2));
    EXPECT_FALSE(plugin.IsInputConnected(3));
    EXPECT_TRUE(plugin.IsOutputConnected(3));
    EXPECT_FALSE(plugin.IsOutputConnected(1));
    EXPECT_NE(plugin.InputPointers()[3], nullptr);
}

TEST(IPlugBase, BypassDelaysInputsByTheLatency)
{
    TestPlugin plugin;
    plugin.SetInputChannelConnections(0, 2, true);
    plugin.SetOutputChannelConnections(0, 2, true);
    plugin.CreateLatencyDelayLine();
    plugin.SetLatency(3);
    plugin.ApplyBlockSize(4);
    FloatBuffers out(2, std::vector<float>(4, 9.f));
    std::vector<float> ramp = {1, 2, 3, 4};
    std::vector<float*> in = {ramp.data(), ramp.data()};
    std::vector<float*> outPointers = {out[0].data(), out[1].data()};
    plugin.AttachInputBuffers(0, 2, in.data(), 4);
    plugin.AttachOutputBuffers(0, 2, outPointers.data());
    plugin.PassInputsThrough(4);
    EXPECT_EQ(out[0], (std::vector<float>{0, 0, 0, 1}));
    plugin.AttachInputBuffers(0, 2, in.data(), 4);
    plugin.PassInputsThrough(4);
    EXPECT_EQ(out[1], (std::vector<float>{2, 3, 4, 1}));

    plugin.SetLatency(0); // straight through
    plugin.PassInputsThrough(4);
    EXPECT_EQ(out[0], ramp);
}

TEST(IPlugBase, EveryOriginStoresThenTellsTheHostOrTheEditorThenChanges)
{
    TestPlugin plugin;
    auto owned = std::make_unique<RecordingEditor>();
    RecordingEditor* editor = owned.get();
    plugin.AttachEditor(std::move(owned));
    editor->pushes.clear();

    // A control's gesture: the host is told, the control already shows the value.
    plugin.SetParameterFromEditor(2, 0.5);
    EXPECT_EQ(plugin.GetParam(2)->Value(), 7.5);
    EXPECT_EQ(plugin.events, (std::vector<std::string>{"notify 2 0.500000", "change 2"}));
    EXPECT_TRUE(editor->pushes.empty());

    // The host's own value and the instrument's: the editor shows them, the host is not told.
    plugin.events.clear();
    EXPECT_TRUE(plugin.ApplyParameterValue(2, 6.0, false, ValueOrigin::Host));
    EXPECT_TRUE(plugin.ApplyParameterValue(3, 1.5, true, ValueOrigin::Instrument)); // limited to 1
    EXPECT_EQ(plugin.GetParam(2)->Value(), 6.0);
    EXPECT_EQ(plugin.GetParam(3)->Value(), plugin.GetParam(3)->Max());
    EXPECT_EQ(plugin.events, (std::vector<std::string>{"change 2", "change 3"}));
    ASSERT_EQ(editor->pushes.size(), 2u);
    EXPECT_EQ(editor->pushes[0].value, 6.0);
    EXPECT_FALSE(editor->pushes[0].normalized);
    EXPECT_EQ(editor->pushes[1].value, 1.0);
    EXPECT_TRUE(editor->pushes[1].normalized);

    // An index out of range changes nothing and reaches no one.
    plugin.events.clear();
    plugin.SetParameterFromEditor(28, 0.5);
    EXPECT_FALSE(plugin.ApplyParameterValue(28, 0.5, true, ValueOrigin::Host));
    EXPECT_TRUE(plugin.events.empty());
    EXPECT_EQ(editor->pushes.size(), 2u);
}

TEST(IPlugBase, AttachEditorPushesNormalisedValuesBeforePreparingAndIsDestroyedFirst)
{
    std::vector<std::string> log;
    {
        TestPlugin plugin;
        plugin.GetParam(2)->SetPlainValue(10.0);
        auto editor = std::make_unique<RecordingEditor>(&log);
        RecordingEditor* view = editor.get();
        plugin.AttachEditor(std::move(editor));
        ASSERT_EQ(plugin.Editor(), view);
        ASSERT_EQ(view->pushes.size(), 28u);
        EXPECT_EQ(view->preparedAfterPushes, 28);
        EXPECT_TRUE(view->pushes[2].normalized);
        EXPECT_EQ(view->pushes[2].value, 1.0);

        view->pushes.clear();
        plugin.RefreshParameterControls();
        ASSERT_EQ(view->pushes.size(), 28u);
        EXPECT_FALSE(view->pushes[2].normalized);
        EXPECT_EQ(view->pushes[2].value, 10.0);
        plugin.AttachEditor(nullptr);
        EXPECT_EQ(plugin.Editor(), view);
    }
    EXPECT_EQ(log, std::vector<std::string>{"editor destroyed"});
}

TEST(IPlugBase, PresetSlotsFillNameAndReload)
{
    TestPlugin plugin(TestConfig(4));
    plugin.SetAll(0.1);
    plugin.FillDefaultPresets("Init", 1);
    plugin.FillDefaultPresets(nullptr, 1);
    EXPECT_STREQ(plugin.PresetNameAt(0), "Init");
    EXPECT_STREQ(plugin.PresetNameAt(1), "Empty");

    plugin.SetAll(0.3);
    EXPECT_TRUE(plugin.LoadPresetSlot(2));
    EXPECT_STREQ(plugin.PresetNameAt(2), "user preset 1");
    EXPECT_TRUE(plugin.LoadPresetSlot(3));
    EXPECT_STREQ(plugin.PresetNameAt(3), "user preset 2");
    EXPECT_EQ(plugin.CurrentPresetIndex(), 3);

    EXPECT_TRUE(plugin.LoadPresetSlot(0));
    EXPECT_EQ(plugin.GetParam(5)->Value(), 0.1);
    EXPECT_EQ(plugin.events.back(), "presets changed");
    EXPECT_FALSE(plugin.LoadPresetSlot(4));
    EXPECT_FALSE(plugin.LoadPresetSlot(-1));
    EXPECT_EQ(plugin.CurrentPresetIndex(), 0);

    plugin.SetAll(0.9);
    plugin.ModifyCurrentPreset("Renamed");
    plugin.SetAll(0.0);
    EXPECT_TRUE(plugin.LoadPresetSlot(0));
    EXPECT_EQ(plugin.GetParam(5)->Value(), 0.9);
    EXPECT_STREQ(plugin.PresetNameAt(0), "Renamed");
    plugin.ModifyCurrentPreset("");
    EXPECT_STREQ(plugin.PresetNameAt(0), "Renamed");

    // With every slot initialised, filling does nothing.
    plugin.FillDefaultPresets("More", 3);
    EXPECT_STREQ(plugin.PresetNameAt(1), "Empty");
}

TEST(IPlugBase, StateEqualsToleratesTinyDifferencesOnly)
{
    TestPlugin plugin;
    plugin.SetAll(0.5);
    std::vector<double> values(30, 0.5);
    values[2 + 2] = 5.0; // parameter 2 clamps to 5
    values[2 + 27] = 0.5;
    EXPECT_TRUE(plugin.StateEquals(values.data(), 30, 2));
    values[2 + 9] = 0.5 + 0.000009;
    EXPECT_TRUE(plugin.StateEquals(values.data(), 30, 2));
    values[2 + 9] = 0.5 + 0.00002;
    EXPECT_FALSE(plugin.StateEquals(values.data(), 30, 2));
    EXPECT_FALSE(plugin.StateEquals(values.data(), 30, 3)); // would read past the array
    EXPECT_FALSE(plugin.StateEquals(values.data(), 30, -1));
}

TEST(IPlugBase, TheLockIsRecursiveAndExcludesOtherThreads)
{
    TestPlugin plugin;
    PlugLockGuard outer(plugin.PluginLock());
    PlugLockGuard inner(plugin.PluginLock());
    ChunkBuffer chunk;
    plugin.SaveState(chunk);
    EXPECT_EQ(plugin.LoadState(chunk, 0), 224); // locks again through OnParameterChange

    bool otherThreadGotIt = true;
    std::thread other(
        [&]
        {
            otherThreadGotIt = plugin.PluginLock().try_lock();
            if (otherThreadGotIt)
                plugin.PluginLock().unlock();
        });
    other.join();
    EXPECT_FALSE(otherThreadGotIt);
}

TEST(IPlugBase, DefaultHooksAreNeutral)
{
    TestPlugin plugin;
    char name[8] = "x";
    EXPECT_FALSE(plugin.GetMidiNoteName(60, name, sizeof name));
    EXPECT_STREQ(name, "");
    EXPECT_FALSE(plugin.SendMidiMessage(MidiMessage{}));
    EXPECT_FALSE(plugin.ReservedHook16());
    TimeInfo info;
    info.tempoBpm = 93.0;
    plugin.GetTimeInfo(info);
    EXPECT_EQ(info.tempoBpm, 93.0);
}
