// The factory class on its own: Unicode registration, a creator that fails, and the module's
// factory pointer, which must not outlive the factory it names.

#include "vst3/sdk/CPluginFactory.h"

#include "pluginterfaces/vst/ivstcomponent.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace Steinberg;

namespace
{

const TUID kClassId = INLINE_UID(0x01020304, 0x05060708, 0x090A0B0C, 0x0D0E0F10);

FUnknown* CreateNothing(void*) { return nullptr; }

void CopyWide(char16* to, const std::u16string& text)
{
    for (size_t i = 0; i < text.size(); ++i)
        to[i] = static_cast<char16>(text[i]);
    to[text.size()] = 0;
}

} // namespace

TEST(CPluginFactory, UnicodeRegistrationAnswersNarrowRecordsToo)
{
    auto* factory = new CPluginFactory(PFactoryInfo("Vendor", "", "", PFactoryInfo::kUnicode));
    PClassInfoW wide{};
    std::memcpy(wide.cid, kClassId, sizeof(TUID));
    wide.cardinality = PClassInfo::kManyInstances;
    std::strcpy(wide.category, "Audio Module Class");
    CopyWide(wide.name, u"Wide Name");
    CopyWide(wide.version, u"2.3.4");
    std::strcpy(wide.subCategories, "Fx");
    ASSERT_TRUE(factory->registerClass(wide, CreateNothing));
    EXPECT_TRUE(factory->isClassRegistered(FUID::fromTUID(kClassId)));

    PClassInfo2 narrow{};
    ASSERT_EQ(factory->getClassInfo2(0, &narrow), kResultOk);
    EXPECT_STREQ(narrow.name, "Wide Name");
    EXPECT_STREQ(narrow.version, "2.3.4");
    EXPECT_STREQ(narrow.subCategories, "Fx");
    EXPECT_EQ(std::memcmp(narrow.cid, kClassId, 16), 0);
    EXPECT_EQ(factory->getClassInfo2(0, nullptr), kInvalidArgument);
    factory->release();
}

TEST(CPluginFactory, FailedCreationGivesNothing)
{
    auto* factory = new CPluginFactory(PFactoryInfo("Vendor", "", "", 0));
    PClassInfo2 info(kClassId, PClassInfo::kManyInstances, "Audio Module Class", "X", 0, "", "", "1",
                     "VST 3.6.0");
    ASSERT_TRUE(factory->registerClass(info, CreateNothing));
    EXPECT_FALSE(factory->registerClass(info, nullptr));
    EXPECT_EQ(factory->countClasses(), 1);
    void* obj = reinterpret_cast<void*>(0x1);
    EXPECT_NE(factory->createInstance(kClassId, Vst::IComponent::iid, &obj), kResultOk);
    EXPECT_EQ(obj, nullptr);
    factory->release();
}

TEST(CPluginFactory, ModulePointerIsClearedWhenTheLastReferenceGoes)
{
    auto* factory = new CPluginFactory(PFactoryInfo("Vendor", "", "", 0));
    gPluginFactory = factory;
    factory->addRef();
    EXPECT_EQ(factory->release(), 1u);
    EXPECT_EQ(gPluginFactory, factory);
    EXPECT_EQ(factory->release(), 0u);
    EXPECT_EQ(gPluginFactory, nullptr);
}
