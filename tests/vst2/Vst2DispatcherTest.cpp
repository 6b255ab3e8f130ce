// The VST2 module loaded from disk: its exports, the descriptor, and the dispatcher's
// answers and effects as a host sees them.

#include "tests/vst2/host/ScriptedHost.h"
#include "tests/vst2/host/Vst2Module.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace
{
constexpr int kMainVolume = 3;

std::string Text(Vst2Instance& plugin, int32_t operation, int32_t index = 0)
{
    char text[256];
    std::memset(text, 'x', sizeof text);
    text[255] = '\0';
    plugin.Dispatch(operation, index, 0, text);
    return text;
}
} // namespace

TEST(Vst2Module, ExportsBothEntriesAndFillsTheDescriptor)
{
    ASSERT_TRUE(TheVst2Module().Loaded()) << TheVst2Module().Error();
    ScriptedHost host;
    Vst2Instance plugin(host);
    ASSERT_TRUE(plugin.Created());
    const Vst2Descriptor& d = *plugin.descriptor;
    EXPECT_EQ(d.magic, 0x56737450);
    EXPECT_EQ(d.numPrograms, 1);
    EXPECT_EQ(d.numParams, 28);
    EXPECT_EQ(d.numInputs, 2);
    EXPECT_EQ(d.numOutputs, 2);
    // Editor, replacing, double replacing, instrument.
    EXPECT_EQ(d.flags, 0x1111);
    EXPECT_EQ(d.initialDelay, 0);
    EXPECT_EQ(d.ioRatio, 1.0f);
    EXPECT_NE(d.object, nullptr);
    EXPECT_EQ(d.uniqueId, ('K' << 24) | ('m' << 16) | ('q' << 8) | '8');
    EXPECT_EQ(d.version, 10002);
    EXPECT_TRUE(d.dispatcher && d.processAccumulating && d.processReplacing && d.processDoubleReplacing &&
                d.setParameter && d.getParameter);

    // The older entry takes the callback as a 32-bit integer; none is a valid callback.
    auto legacyMain = reinterpret_cast<Vst2Descriptor* (*)(int32_t)>(TheVst2Module().Symbol("main"));
    ASSERT_NE(legacyMain, nullptr);
    Vst2Descriptor* legacy = legacyMain(0);
    ASSERT_NE(legacy, nullptr);
    EXPECT_EQ(legacy->magic, 0x56737450);
    legacy->dispatcher(legacy, kVst2Close, 0, 0, nullptr, 0.0f);
    // Nothing but the two entries leaves the module.
    EXPECT_EQ(TheVst2Module().Symbol("VstMainEntry"), nullptr);
    EXPECT_EQ(TheVst2Module().Symbol("GetPluginFactory"), nullptr);
}

#ifdef _WIN32
TEST(Vst2Module, WindowsVersionRecordCarriesTheProductVersion)
{
    const std::string& path = TheVst2Module().NativePath();
    DWORD ignored = 0;
    std::string record(GetFileVersionInfoSizeA(path.c_str(), &ignored), '\0');
    ASSERT_FALSE(record.empty());
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(record.size()), &record[0]));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, (1u << 16) | 0u);
    EXPECT_EQ(fixed->dwFileVersionLS, 2u << 16);
}
#endif

TEST(Vst2Module, DispatcherAnswers)
{
    ScriptedHost host;
    Vst2Instance plugin(host);
    plugin.Start();
    struct Case
    {
        int32_t operation;
        int32_t index;
        intptr_t value;
        intptr_t answer;
    };
    const Case cases[] = {
        {kVst2IdentifyOp, 0, 0, 0x4E764566},
        {kVst2GetCategory, 0, 0, 2},
        {kVst2GetInterfaceVersion, 0, 0, 2400},
        {kVst2GetVendorVersion, 0, 0, 10002},
        {kVst2GetTailSize, 0, 0, 0},
        {kVst2GetProgram, 0, 0, 0},
        {kVst2CanBeAutomated, 0, 0, 1},
        {kVst2CanBeAutomated, 27, 0, 1},
        {kVst2CanBeAutomated, 28, 0, 0},
        {kVst2CanBeAutomated, -1, 0, 0},
        {kVst2EditGetRect, 0, 0, 0},
        {kVst2EditIdle, 0, 0, 0},
        {kVst2Idle, 0, 0, 0},
        {kVst2GetMidiKeyName, 0, 0, 0},
        {kVst2VendorSpecific, 8, kMainVolume, 0},
        {kVst2VendorSpecific, 8, 28, 0},
        {kVst2VendorSpecific, 3, 0, 0},
        {kVst2ProcessEvents, 0, 0, 0},
        {kVst2GetChunk, 0, 0, 0},
        {kVst2SetChunk, 0, 0, 0},
        {9, 0, 0, 0},
        {1000, 0, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(plugin.Dispatch(c.operation, c.index, c.value), c.answer) << c.operation << " " << c.index;

    // The editor operations answer only for an announced editor.
    const bool hasEditor = (plugin.descriptor->flags & kVst2HasEditor) != 0;
    Vst2Rect* rect = nullptr;
    EXPECT_EQ(plugin.Dispatch(kVst2EditGetRect, 0, 0, &rect), hasEditor ? 1 : 0);
    EXPECT_EQ(rect != nullptr, hasEditor);
    if (!hasEditor)
    {
        EXPECT_EQ(plugin.Dispatch(kVst2EditOpen), 0);
        EXPECT_EQ(plugin.Dispatch(kVst2EditClose), 0);
    }
    Vst2MidiKeyName key{};
    key.thisKeyNumber = 60;
    std::strcpy(key.keyName, "old");
    EXPECT_EQ(plugin.Dispatch(kVst2GetMidiKeyName, 0, 0, &key), 0);
    EXPECT_STREQ(key.keyName, "");
    // The host learned nothing it was not asked for; the host was asked who it is once.
    EXPECT_EQ(host.CallsOf(kVst2HostGetProductString).size(), 1u);
}

TEST(Vst2Module, TextsNamesAndCanDo)
{
    ScriptedHost host;
    Vst2Instance plugin(host);
    plugin.Start();
    EXPECT_EQ(Text(plugin, kVst2GetEffectName), "Kestrum");
    EXPECT_EQ(Text(plugin, kVst2GetVendorString), "QuorvexAudio");
    EXPECT_EQ(Text(plugin, kVst2GetProductString), "");
    EXPECT_EQ(plugin.Dispatch(kVst2GetEffectName), 0);
    EXPECT_EQ(Text(plugin, kVst2GetParamName, kMainVolume), "MainVolume");
    EXPECT_EQ(Text(plugin, kVst2GetParamDisplay, kMainVolume), "0.80000");
    EXPECT_EQ(Text(plugin, kVst2GetProgramName), "Init");
    char name[64] = "old";
    EXPECT_EQ(plugin.Dispatch(kVst2GetProgramNameIndexed, 0, 0, name), 1);
    EXPECT_STREQ(name, "Init");
    EXPECT_EQ(plugin.Dispatch(kVst2GetProgramNameIndexed, 5, 0, name), 0);
    EXPECT_STREQ(name, "");
    // Invalid parameter indices leave the buffer alone.
    EXPECT_EQ(Text(plugin, kVst2GetParamName, 28), std::string(255, 'x'));

    char display[64] = {};
    EXPECT_EQ(plugin.Dispatch(kVst2VendorSpecific, 7, kMainVolume, display, 0.25f), 0xBEEF);
    EXPECT_STREQ(display, "0.25000");

    struct CanDo
    {
        const char* text;
        intptr_t answer;
    };
    const CanDo canDos[] = {{"receiveVstTimeInfo", 1},  {"sendVstEvents", 1},       {"sendVstMidiEvent", 1},
                            {"receiveVstEvents", 1},    {"receiveVstMidiEvent", 1}, {"sendVstTimeInfo", 0},
                            {"ReceiveVstMidiEvent", 0}, {"hasVendorExtensions", 0}, {"", 0}};
    for (const CanDo& c : canDos)
        EXPECT_EQ(plugin.Dispatch(kVst2CanDo, 0, 0, const_cast<char*>(c.text)), c.answer) << c.text;
    EXPECT_EQ(plugin.Dispatch(kVst2CanDo), 0);

    plugin.Dispatch(kVst2SetProgramName, 0, 0, const_cast<char*>("Snappy"));
    EXPECT_EQ(Text(plugin, kVst2GetProgramName), "Snappy");
}

TEST(Vst2Module, PinsAndSpeakerArrangements)
{
    ScriptedHost host;
    Vst2Instance plugin(host);
    plugin.Start();
    struct Pin
    {
        int32_t operation;
        int32_t index;
        intptr_t answer;
        int32_t flags;
        const char* label;
    };
    const Pin pins[] = {
        {kVst2GetInputProperties, 0, 1, 3, "Input 1"},   {kVst2GetInputProperties, 1, 1, 1, "Input 2"},
        {kVst2GetInputProperties, 2, 0, -7, ""},         {kVst2GetOutputProperties, 0, 1, 3, "Output 1"},
        {kVst2GetOutputProperties, 1, 1, 1, "Output 2"}, {kVst2GetOutputProperties, -1, 0, -7, ""}};
    for (const Pin& p : pins)
    {
        Vst2PinProperties pin{};
        pin.flags = -7;
        EXPECT_EQ(plugin.Dispatch(p.operation, p.index, 0, &pin), p.answer) << p.label;
        EXPECT_EQ(pin.flags, p.flags) << p.label;
        EXPECT_STREQ(pin.label, p.label);
    }
    EXPECT_EQ(plugin.Dispatch(kVst2GetInputProperties, 0, 0, nullptr), 0);

    Vst2SpeakerArrangement* in = nullptr;
    Vst2SpeakerArrangement* out = nullptr;
    EXPECT_EQ(plugin.Dispatch(kVst2GetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out), 1);
    ASSERT_TRUE(in && out);
    EXPECT_EQ(in->type, 1);
    EXPECT_EQ(in->numChannels, 2);
    EXPECT_EQ(out->numChannels, 2);

    // Operation 42 connects as many channels as an arrangement names: one output channel
    // takes only the first host buffer; the second stays as the host left it.
    Vst2SpeakerArrangement oneOut{};
    oneOut.numChannels = 1;
    Vst2SpeakerArrangement noIn{};
    EXPECT_EQ(plugin.Dispatch(kVst2SetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&noIn), &oneOut), 1);
    plugin.SendMidi(0, 0x90, 60, 127);
    plugin.ProcessFloat(256, false, false, 7.0f);
    EXPECT_NE(plugin.floatOut[0][100], 7.0f);
    EXPECT_EQ(plugin.floatOut[1][100], 7.0f);
    // The descriptor keeps announcing two outputs.
    EXPECT_EQ(plugin.descriptor->numOutputs, 2);
    Vst2SpeakerArrangement twoOut{};
    twoOut.numChannels = 2;
    plugin.Dispatch(kVst2SetSpeakerArrangement, 0, 0, &twoOut);
    plugin.ProcessFloat(256, false, false, 7.0f);
    EXPECT_NE(plugin.floatOut[1][100], 7.0f);
}
