// What the instance declares to its host: buses, parameters and their texts, units and the
// program list, and how it answers set-up calls in any legal order.

#include "tests/vst3/Vst3Instance.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

std::string Narrow(const TChar* text)
{
    std::string out;
    for (; *text; ++text)
        out += static_cast<char>(*text);
    return out;
}

std::basic_string<TChar> Wide(const std::string& text)
{
    return std::basic_string<TChar>(text.begin(), text.end());
}

std::string BusName(IComponent* component, MediaType type, BusDirection dir, int32 index)
{
    BusInfo info{};
    if (component->getBusInfo(type, dir, index, info) != kResultOk)
        return "<none>";
    return Narrow(info.name);
}

} // namespace

TEST(Vst3Controller, DeclaresStereoBusesAndMidiInput)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    IComponent* c = instance.component;
    EXPECT_EQ(c->getBusCount(kAudio, kInput), 1);
    EXPECT_EQ(c->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(c->getBusCount(kEvent, kInput), 1);
    EXPECT_EQ(c->getBusCount(kEvent, kOutput), 0);
    EXPECT_EQ(BusName(c, kAudio, kInput, 0), "Main Input");
    EXPECT_EQ(BusName(c, kAudio, kOutput, 0), "Output 1");
    EXPECT_EQ(BusName(c, kEvent, kInput, 0), "MIDI Input");

    BusInfo info{};
    ASSERT_EQ(c->getBusInfo(kAudio, kOutput, 0, info), kResultOk);
    EXPECT_EQ(info.channelCount, 2);
    EXPECT_EQ(info.busType, kMain);
    EXPECT_EQ(info.flags & BusInfo::kDefaultActive, static_cast<uint32>(BusInfo::kDefaultActive));
    ASSERT_EQ(c->getBusInfo(kEvent, kInput, 0, info), kResultOk);
    EXPECT_EQ(info.channelCount, 1);

    EXPECT_NE(c->getBusInfo(kAudio, kOutput, 1, info), kResultOk);
    EXPECT_NE(c->getBusInfo(kAudio, kInput, -1, info), kResultOk);
    EXPECT_NE(c->activateBus(kEvent, kOutput, 0, true), kResultOk);
    EXPECT_EQ(c->activateBus(kAudio, kOutput, 0, true), kResultOk);

    SpeakerArrangement arr = 0;
    EXPECT_EQ(instance.processor->getBusArrangement(kOutput, 0, arr), kResultOk);
    EXPECT_EQ(arr, SpeakerArr::kStereo);
    EXPECT_NE(instance.processor->getBusArrangement(kOutput, 3, arr), kResultOk);
    EXPECT_EQ(instance.processor->getLatencySamples(), 0u);
    EXPECT_EQ(instance.processor->getTailSamples(), 0u);
}

TEST(Vst3Controller, RefusesUnsupportedArrangementsAndKeepsTheBuses)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    SpeakerArrangement mono = SpeakerArr::kMono;
    SpeakerArrangement stereo = SpeakerArr::kStereo;
    EXPECT_EQ(instance.processor->setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);
    EXPECT_EQ(instance.processor->setBusArrangements(&stereo, 1, &mono, 1), kResultFalse);
    EXPECT_EQ(BusName(instance.component, kAudio, kInput, 0), "Main Input");
    SpeakerArrangement arr = 0;
    EXPECT_EQ(instance.processor->getBusArrangement(kInput, 0, arr), kResultOk);
    EXPECT_EQ(arr, SpeakerArr::kStereo);

    EXPECT_EQ(instance.processor->setBusArrangements(&stereo, 1, &stereo, 1), kResultOk);
    EXPECT_EQ(BusName(instance.component, kAudio, kOutput, 0), "Output 1");
    EXPECT_NE(instance.processor->setBusArrangements(nullptr, 1, &stereo, 1), kResultOk);
    EXPECT_NE(instance.processor->setBusArrangements(&stereo, -1, &stereo, 1), kResultOk);
}

TEST(Vst3Controller, RefusesSampleSizesOtherThan32And64Bit)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    EXPECT_EQ(instance.processor->canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(instance.processor->canProcessSampleSize(kSample64), kResultTrue);
    EXPECT_EQ(instance.processor->canProcessSampleSize(2), kResultFalse);
    ProcessSetup setup{kRealtime, 2, 256, 48000.0};
    EXPECT_EQ(instance.processor->setupProcessing(setup), kResultFalse);
    setup.symbolicSampleSize = kSample64;
    EXPECT_EQ(instance.processor->setupProcessing(setup), kResultOk);
}

TEST(Vst3Controller, DeclaresTheCoreParametersAndTheProgramChange)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    IEditController* ec = instance.controller;
    ASSERT_EQ(ec->getParameterCount(), 29);

    bool seen[28] = {};
    for (int32 i = 0; i < 29; ++i)
    {
        ParameterInfo info{};
        ASSERT_EQ(ec->getParameterInfo(i, info), kResultOk);
        if (info.id == kPreset)
        {
            EXPECT_EQ(Narrow(info.title), "Preset");
            EXPECT_EQ(Narrow(info.units), "");
            EXPECT_EQ(info.stepCount, 1);
            EXPECT_EQ(info.flags, ParameterInfo::kIsProgramChange);
            EXPECT_EQ(info.unitId, kRootUnitId);
            continue;
        }
        ASSERT_LT(info.id, 28u);
        seen[info.id] = true;
        EXPECT_EQ(info.stepCount, 0);
        EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate);
        EXPECT_EQ(info.unitId, kRootUnitId);
    }
    for (bool s : seen)
        EXPECT_TRUE(s);

    ParameterInfo info{};
    ASSERT_EQ(ec->getParameterInfo(instance.IndexOfParameter(kMainVolume), info), kResultOk);
    EXPECT_EQ(Narrow(info.title), "MainVolume");
    EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, 0.8);

    // An instrument has no bypass parameter; the bad indices a scanning host may try fail cleanly.
    EXPECT_EQ(instance.IndexOfParameter(kBypass), -1);
    EXPECT_NE(ec->getParameterInfo(29, info), kResultOk);
    EXPECT_NE(ec->getParameterInfo(-1, info), kResultOk);
}

TEST(Vst3Controller, ParameterTextsAndConversions)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    IEditController* ec = instance.controller;
    String128 text{};

    ASSERT_EQ(ec->getParamStringByValue(kMainVolume, 0.25, text), kResultOk);
    EXPECT_EQ(Narrow(text), "0.25000");
    // HostTempoBpm ranges 0 to 1000.
    ASSERT_EQ(ec->getParamStringByValue(1, 0.1205, text), kResultOk);
    EXPECT_EQ(Narrow(text), "120.50000");
    EXPECT_EQ(ec->getParamStringByValue(kPreset, 0.0, text), kResultFalse);
    EXPECT_EQ(ec->getParamStringByValue(999, 0.0, text), kResultFalse);

    ParamValue normalized = -1.0;
    std::basic_string<TChar> typed = Wide("500");
    ASSERT_EQ(ec->getParamValueByString(1, typed.data(), normalized), kResultOk);
    EXPECT_DOUBLE_EQ(normalized, 0.5);
    EXPECT_DOUBLE_EQ(ec->normalizedParamToPlain(1, 0.5), 500.0);

    EXPECT_DOUBLE_EQ(ec->plainParamToNormalized(1, 250.0), 0.25);
    EXPECT_DOUBLE_EQ(ec->plainParamToNormalized(1, 5000.0), 1.0);
    EXPECT_DOUBLE_EQ(ec->plainParamToNormalized(1, -3.0), 0.0);
    EXPECT_DOUBLE_EQ(ec->plainParamToNormalized(999, 42.0), 42.0);

    EXPECT_DOUBLE_EQ(ec->getParamNormalized(kMainVolume), 0.8);
    EXPECT_EQ(ec->setParamNormalized(kMainVolume, 0.3), kResultOk);
    EXPECT_DOUBLE_EQ(ec->getParamNormalized(kMainVolume), 0.3);
    EXPECT_EQ(ec->setParamNormalized(999, 0.3), kResultFalse);
    EXPECT_EQ(ec->getParamNormalized(999), 0.0);
    EXPECT_EQ(ec->getParamNormalized(kBypass), 0.0);
    // Setting a value tells nobody: the host gets no edit back for its own change.
    EXPECT_TRUE(instance.handler.edits.empty());
}

TEST(Vst3Controller, UnitsAndProgramList)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    IUnitInfo* u = instance.units;
    ASSERT_EQ(u->getUnitCount(), 1);
    UnitInfo unit{};
    ASSERT_EQ(u->getUnitInfo(0, unit), kResultOk);
    EXPECT_EQ(unit.id, kRootUnitId);
    EXPECT_EQ(unit.parentUnitId, kNoParentUnitId);
    EXPECT_EQ(unit.programListId, kNoProgramListId);
    EXPECT_EQ(Narrow(unit.name), "Root Unit");
    EXPECT_NE(u->getUnitInfo(1, unit), kResultOk);
    EXPECT_NE(u->getUnitInfo(-1, unit), kResultOk);

    // The list is described although none is counted.
    EXPECT_EQ(u->getProgramListCount(), 0);
    ProgramListInfo list{};
    ASSERT_EQ(u->getProgramListInfo(0, list), kResultOk);
    EXPECT_EQ(list.id, static_cast<ProgramListID>(kPreset));
    EXPECT_EQ(Narrow(list.name), "Factory Presets");
    EXPECT_EQ(list.programCount, 1);
    EXPECT_NE(u->getProgramListInfo(1, list), kResultOk);

    String128 name{};
    ASSERT_EQ(u->getProgramName(kPreset, 0, name), kResultOk);
    EXPECT_EQ(Narrow(name), "Init");
    ASSERT_EQ(u->getProgramName(kPreset, 7, name), kResultOk);
    EXPECT_EQ(Narrow(name), "");
    EXPECT_NE(u->getProgramName(1234, 0, name), kResultOk);
    EXPECT_EQ(u->getSelectedUnit(), kRootUnitId);
}

TEST(Vst3Controller, InitializeTwiceAndAgainAfterTerminate)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    TestHostApplication other(u"Another Host");
    EXPECT_EQ(instance.component->initialize(&other), kResultFalse);
    EXPECT_EQ(instance.controller->getParameterCount(), 29);
    EXPECT_EQ(instance.component->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(other.ReferencesHeld(), 0u);

    ASSERT_EQ(instance.component->terminate(), kResultOk);
    EXPECT_EQ(instance.controller->getParameterCount(), 0);
    EXPECT_EQ(instance.component->getBusCount(kAudio, kInput), 0);
    EXPECT_EQ(instance.component->getBusCount(kEvent, kInput), 0);
    EXPECT_EQ(instance.host.ReferencesHeld(), 0u);
    EXPECT_EQ(instance.component->terminate(), kResultOk);

    ASSERT_EQ(instance.component->initialize(&instance.host), kResultOk);
    EXPECT_EQ(instance.controller->getParameterCount(), 29);
    EXPECT_EQ(instance.component->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(instance.component->getBusCount(kEvent, kInput), 1);
}

TEST(Vst3Controller, EveryInterfaceIsTheSameObjectAndReferencesBalance)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    FUnknown* entries[] = {instance.component, instance.processor, instance.controller, instance.units};
    const FUID iids[] = {FUnknown::iid,        IPluginBase::iid,      IComponent::iid, IAudioProcessor::iid,
                         IEditController::iid, IEditController2::iid, IUnitInfo::iid};

    FUnknown* identity = nullptr;
    ASSERT_EQ(instance.component->queryInterface(FUnknown::iid, reinterpret_cast<void**>(&identity)),
              kResultOk);
    const uint32 before = identity->release();

    for (FUnknown* entry : entries)
    {
        ASSERT_NE(entry, nullptr);
        for (const FUID& iid : iids)
        {
            FUnknown* answer = nullptr;
            ASSERT_EQ(entry->queryInterface(iid, reinterpret_cast<void**>(&answer)), kResultOk);
            ASSERT_NE(answer, nullptr);
            // Whatever interface a host went through, asking it for the basic one finds the same object.
            FUnknown* base = nullptr;
            ASSERT_EQ(answer->queryInterface(FUnknown::iid, reinterpret_cast<void**>(&base)), kResultOk);
            EXPECT_EQ(base, identity);
            base->release();
            answer->release();
        }
        void* none = reinterpret_cast<void*>(0x1);
        EXPECT_EQ(entry->queryInterface(IConnectionPoint::iid, &none), kNoInterface);
        EXPECT_EQ(none, nullptr);
        EXPECT_NE(entry->queryInterface(IComponent::iid, nullptr), kResultOk);
    }
    EXPECT_EQ(identity->addRef(), before + 1);
    EXPECT_EQ(identity->release(), before);
}

TEST(Vst3Controller, EveryParameterIsDescribedValidlyAndItsTextsRoundTrip)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    IEditController* ec = instance.controller;
    for (int32 i = 0; i < ec->getParameterCount(); ++i)
    {
        ParameterInfo info{};
        ASSERT_EQ(ec->getParameterInfo(i, info), kResultOk);
        SCOPED_TRACE(Narrow(info.title));
        EXPECT_GE(info.stepCount, 0);
        EXPECT_GE(info.defaultNormalizedValue, 0.0);
        EXPECT_LE(info.defaultNormalizedValue, 1.0);
        EXPECT_NE(info.title[0], 0);
        EXPECT_FALSE((info.flags & ParameterInfo::kIsReadOnly) && (info.flags & ParameterInfo::kCanAutomate));
        if (info.id == kPreset)
            continue;
        const double range =
            ec->normalizedParamToPlain(info.id, 1.0) - ec->normalizedParamToPlain(info.id, 0.0);
        ASSERT_GT(range, 0.0);
        for (double normalized : {0.0, 0.37, 1.0})
        {
            String128 text{};
            ASSERT_EQ(ec->getParamStringByValue(info.id, normalized, text), kResultOk);
            // The text is exact to half its last printed digit.
            const std::string printed = Narrow(text);
            const size_t point = printed.find('.');
            const int decimals =
                point == std::string::npos ? 0 : static_cast<int>(printed.size() - point - 1);
            const double tolerance = 0.5 * std::pow(10.0, -decimals) / range + 1e-12;
            ParamValue back = -1.0;
            ASSERT_EQ(ec->getParamValueByString(info.id, text, back), kResultOk) << printed;
            EXPECT_NEAR(back, normalized, tolerance) << printed;
            const ParamValue plain = ec->normalizedParamToPlain(info.id, normalized);
            EXPECT_NEAR(ec->plainParamToNormalized(info.id, plain), normalized, 1e-9);
        }
    }

    // Texts a host cannot have got from us, and no text at all, are refused without harm.
    ParamValue value = 0.5;
    EXPECT_NE(ec->getParamValueByString(kMainVolume, nullptr, value), kResultOk);
    EXPECT_NE(ec->getParamValueByString(kPreset, nullptr, value), kResultOk);
    EXPECT_NE(ec->getParamValueByString(999, nullptr, value), kResultOk);
    std::basic_string<TChar> typed = Wide("7");
    ASSERT_EQ(ec->getParamValueByString(kPreset, typed.data(), value), kResultOk);
    EXPECT_LE(value, 1.0);
    EXPECT_EQ(ec->getParamStringByValue(kMainVolume, 0.5, nullptr), kResultFalse);
    EXPECT_DOUBLE_EQ(ec->normalizedParamToPlain(999, 0.25), 0.25);
}

TEST(Vst3Controller, ControllerCallsWithoutHandlerOrEditor)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    IEditController* ec = instance.controller;
    EXPECT_EQ(ec->setComponentHandler(nullptr), kResultOk);
    EXPECT_EQ(instance.handler.ReferencesHeld(), 0u);
    EXPECT_EQ(ec->setParamNormalized(kMainVolume, 0.6), kResultOk);
    EXPECT_EQ(ec->createView(nullptr), nullptr);
    EXPECT_EQ(ec->createView("nothing"), nullptr);
    EXPECT_NE(ec->setComponentState(nullptr), kResultOk);
    FUnknownPtr<IEditController2> ec2(ec);
    ASSERT_TRUE(ec2);
    EXPECT_NE(ec2->openHelp(false), kResultOk);
    EXPECT_NE(ec2->openAboutBox(false), kResultOk);
}

TEST(Vst3Controller, OddBusQueriesAndArrangementsAreRefusedCleanly)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    IComponent* c = instance.component;
    IAudioProcessor* p = instance.processor;
    BusInfo info{};
    EXPECT_EQ(c->getBusCount(7, kInput), 0);
    EXPECT_EQ(c->getBusCount(kAudio, 5), 0);
    EXPECT_EQ(c->getBusInfo(7, kInput, 0, info), kInvalidArgument);
    EXPECT_EQ(c->getBusInfo(kAudio, 5, 0, info), kInvalidArgument);
    EXPECT_EQ(c->getBusInfo(kEvent, kInput, 1, info), kInvalidArgument);
    EXPECT_EQ(c->activateBus(kAudio, kInput, 99, true), kInvalidArgument);
    EXPECT_EQ(c->activateBus(7, kInput, 0, true), kInvalidArgument);
    SpeakerArrangement arr = 0;
    EXPECT_NE(p->getBusArrangement(5, 0, arr), kResultOk);
    EXPECT_NE(p->getBusArrangement(kInput, -1, arr), kResultOk);

    EXPECT_EQ(p->setBusArrangements(nullptr, 0, nullptr, 0), kResultFalse);
    SpeakerArrangement many[3] = {SpeakerArr::kStereo, SpeakerArr::kStereo, SpeakerArr::kStereo};
    p->setBusArrangements(many, 3, many, 3);
    EXPECT_EQ(c->getBusCount(kAudio, kInput), 1);
    EXPECT_EQ(c->getBusCount(kAudio, kOutput), 1);
    SpeakerArrangement none = 0;
    EXPECT_EQ(p->setBusArrangements(&none, 1, &none, 1), kResultFalse);
    EXPECT_EQ(p->getBusArrangement(kOutput, 0, arr), kResultOk);
    EXPECT_EQ(arr, SpeakerArr::kStereo);
}
