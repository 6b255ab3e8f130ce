// The module's entry points, factory and class information, as a host scanning it sees them.

#include "tests/vst3/Vst3Instance.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

std::string Narrow(const char16* text)
{
    std::string out;
    for (; *text; ++text)
        out += static_cast<char>(*text);
    return out;
}

} // namespace

TEST(Vst3Factory, ModuleExportsOnlyTheEntryPoints)
{
    VstModule& module = TheModule();
    ASSERT_TRUE(module.Loaded()) << module.Error();
    EXPECT_NE(module.Symbol("GetPluginFactory"), nullptr);
#ifdef _WIN32
    EXPECT_NE(module.Symbol("InitDll"), nullptr);
    EXPECT_NE(module.Symbol("ExitDll"), nullptr);
#else
    EXPECT_NE(module.Symbol("ModuleEntry"), nullptr);
    EXPECT_NE(module.Symbol("ModuleExit"), nullptr);
#endif
    // Code of the framework and the SDK stays private to the module.
    EXPECT_EQ(module.Symbol("_Z12IdentifyHostPKc"), nullptr);
    EXPECT_EQ(module.Symbol("_ZN9Steinberg7FObject7releaseEv"), nullptr);
}

TEST(Vst3Factory, RepeatedRequestsShareOneCountedFactory)
{
    using GetFactory = IPluginFactory*(PLUGIN_API*)();
    auto get = reinterpret_cast<GetFactory>(TheModule().Symbol("GetPluginFactory"));
    ASSERT_NE(get, nullptr);
    IPluginFactory* first = get();
    IPluginFactory* second = get();
    EXPECT_EQ(first, TheModule().Factory());
    EXPECT_EQ(first, second);
    // The module keeps one reference, the two calls above hold one each.
    EXPECT_EQ(first->addRef(), 4u);
    EXPECT_EQ(first->release(), 3u);
    EXPECT_EQ(second->release(), 2u);
    EXPECT_EQ(first->release(), 1u);
}

TEST(Vst3Factory, FactoryAndClassInformation)
{
    IPluginFactory* factory = TheModule().Factory();
    ASSERT_NE(factory, nullptr) << TheModule().Error();

    PFactoryInfo info{};
    ASSERT_EQ(factory->getFactoryInfo(&info), kResultOk);
    EXPECT_STREQ(info.vendor, "QuorvexAudio");
    EXPECT_EQ(info.flags, 16);
    EXPECT_NE(info.url[0], 0);
    EXPECT_NE(info.email[0], 0);

    ASSERT_EQ(factory->countClasses(), 1);
    FUnknownPtr<IPluginFactory2> factory2(factory);
    ASSERT_TRUE(factory2);
    PClassInfo2 ci{};
    ASSERT_EQ(factory2->getClassInfo2(0, &ci), kResultOk);
    EXPECT_EQ(ci.cardinality, 0x7FFFFFFF);
    EXPECT_STREQ(ci.category, "Audio Module Class");
    EXPECT_STREQ(ci.name, "Kestrum");
    EXPECT_EQ(ci.classFlags, 2u);
    EXPECT_STREQ(ci.subCategories, "Instrument|Synth");
    EXPECT_STREQ(ci.vendor, "");
    EXPECT_STREQ(ci.version, "1.0.2");
    EXPECT_STREQ(ci.sdkVersion, "VST 3.6.0");

    // The four words in the SDK's layout of the platform: Windows keeps the first three
    // words' bytes in COM order, other platforms big-endian throughout.
#ifdef _WIN32
    const uint8 expected[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                0x51, 0x76, 0x72, 0x78, 0x4B, 0x6D, 0x71, 0x38};
#else
    const uint8 expected[16] = {0xF2, 0xAE, 0xE7, 0x0D, 0x00, 0xDE, 0x4F, 0x4E,
                                0x51, 0x76, 0x72, 0x78, 0x4B, 0x6D, 0x71, 0x38};
#endif
    EXPECT_EQ(std::memcmp(ci.cid, expected, 16), 0);
    char text[33] = {};
    FUID::fromTUID(ci.cid).toString(text);
    EXPECT_STREQ(text, "F2AEE70D00DE4F4E517672784B6D7138");

    PClassInfo plain{};
    ASSERT_EQ(factory->getClassInfo(0, &plain), kResultOk);
    EXPECT_EQ(std::memcmp(plain.cid, ci.cid, 16), 0);
    EXPECT_STREQ(plain.name, "Kestrum");

    FUnknownPtr<IPluginFactory3> factory3(factory);
    ASSERT_TRUE(factory3);
    PClassInfoW wide{};
    ASSERT_EQ(factory3->getClassInfoUnicode(0, &wide), kResultOk);
    EXPECT_EQ(std::memcmp(wide.cid, ci.cid, 16), 0);
    EXPECT_EQ(Narrow(wide.name), "Kestrum");
    EXPECT_EQ(Narrow(wide.vendor), "");
    EXPECT_EQ(Narrow(wide.version), "1.0.2");
    EXPECT_EQ(Narrow(wide.sdkVersion), "VST 3.6.0");
    EXPECT_STREQ(wide.category, "Audio Module Class");
    EXPECT_STREQ(wide.subCategories, "Instrument|Synth");
    EXPECT_EQ(wide.classFlags, 2u);

    EXPECT_NE(factory->getClassInfo(1, &plain), kResultOk);
    EXPECT_NE(factory2->getClassInfo2(-1, &ci), kResultOk);
    EXPECT_NE(factory3->getClassInfoUnicode(1, &wide), kResultOk);
}

TEST(Vst3Factory, CreatesOnlyTheRegisteredClass)
{
    IPluginFactory* factory = TheModule().Factory();
    ASSERT_NE(factory, nullptr);

    TUID other;
    std::memcpy(other, KestrumClassId(), sizeof(TUID));
    other[15] ^= 1;
    void* obj = reinterpret_cast<void*>(0x1);
    EXPECT_NE(factory->createInstance(other, IComponent::iid, &obj), kResultOk);
    EXPECT_EQ(obj, nullptr);

    // The right class asked for an interface it does not have.
    obj = reinterpret_cast<void*>(0x1);
    EXPECT_NE(factory->createInstance(KestrumClassId(), IPluginFactory::iid, &obj), kResultOk);
    EXPECT_EQ(obj, nullptr);

    ASSERT_EQ(factory->createInstance(KestrumClassId(), IAudioProcessor::iid, &obj), kResultOk);
    ASSERT_NE(obj, nullptr);
    auto* processor = static_cast<IAudioProcessor*>(obj);
    // The creator's own reference has gone: the caller's is the only one left.
    processor->addRef();
    EXPECT_EQ(processor->release(), 1u);
    EXPECT_EQ(processor->release(), 0u);
}

TEST(Vst3Factory, InstanceAnswersTheCombinedInterfaces)
{
    Vst3Instance instance;
    ASSERT_TRUE(instance.Created());
    EXPECT_NE(instance.processor, nullptr);
    EXPECT_NE(instance.controller, nullptr);
    EXPECT_NE(instance.units, nullptr);

    void* obj = nullptr;
    EXPECT_EQ(instance.component->queryInterface(IEditController2::iid, &obj), kResultOk);
    static_cast<FUnknown*>(obj)->release();
    obj = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(instance.component->queryInterface(IConnectionPoint::iid, &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);

    TUID controllerId{};
    EXPECT_EQ(instance.component->getControllerClassId(controllerId), kNotImplemented);
}

TEST(Vst3Factory, MissingArgumentsAndRepeatedModuleEntriesAreHarmless)
{
    IPluginFactory* factory = TheModule().Factory();
    ASSERT_NE(factory, nullptr);
    EXPECT_NE(factory->getFactoryInfo(nullptr), kResultOk);
    EXPECT_NE(factory->getClassInfo(0, nullptr), kResultOk);
    FUnknownPtr<IPluginFactory3> factory3(factory);
    ASSERT_TRUE(factory3);
    EXPECT_NE(factory3->getClassInfo2(0, nullptr), kResultOk);
    EXPECT_NE(factory3->getClassInfoUnicode(0, nullptr), kResultOk);
    PClassInfoW wide{};
    EXPECT_NE(factory3->getClassInfoUnicode(-1, &wide), kResultOk);
    EXPECT_NE(factory3->getClassInfoUnicode(0x7FFFFFFF, &wide), kResultOk);

    void* obj = reinterpret_cast<void*>(0x1);
    EXPECT_NE(factory->createInstance(nullptr, IComponent::iid, &obj), kResultOk);
    EXPECT_EQ(obj, nullptr);
    obj = reinterpret_cast<void*>(0x1);
    EXPECT_NE(factory->createInstance(KestrumClassId(), nullptr, &obj), kResultOk);
    EXPECT_EQ(obj, nullptr);
    EXPECT_NE(factory->createInstance(KestrumClassId(), IComponent::iid, nullptr), kResultOk);

    // Hosts that scan twice enter and leave the module more than once.
    using Exit = bool(PLUGIN_API*)();
#ifdef _WIN32
    auto enter = reinterpret_cast<bool(PLUGIN_API*)()>(TheModule().Symbol("InitDll"));
    auto leave = reinterpret_cast<Exit>(TheModule().Symbol("ExitDll"));
    ASSERT_TRUE(enter && leave);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(enter());
#else
    using Entry = bool(PLUGIN_API*)(void*);
    auto enter = reinterpret_cast<Entry>(TheModule().Symbol("ModuleEntry"));
    auto leave = reinterpret_cast<Exit>(TheModule().Symbol("ModuleExit"));
    ASSERT_TRUE(enter && leave);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(enter(nullptr));
#endif
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(leave());
    Vst3Instance instance;
    EXPECT_TRUE(instance.Created());
}
