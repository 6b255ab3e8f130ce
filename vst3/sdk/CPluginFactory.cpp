#include "vst3/sdk/CPluginFactory.h"

#include "pluginterfaces/base/ustring.h"

#include <cstring>

namespace Steinberg
{

IPluginFactory* gPluginFactory = nullptr;

CPluginFactory::CPluginFactory(const PFactoryInfo& info) : factoryInfo(info) {}

CPluginFactory::~CPluginFactory()
{
    if (gPluginFactory == this)
        gPluginFactory = nullptr;
}

bool CPluginFactory::registerClass(const PClassInfo2& info, CreateFunction create, void* context)
{
    if (create == nullptr)
        return false;
    ClassEntry entry{info, PClassInfoW(), create, context};
    entry.info16.fromAscii(info);
    classes.push_back(entry);
    return true;
}

// Narrows a Unicode text for the 8-bit records, as the SDK's string helpers do.
template <size_t N, size_t M>
static void narrowInto(char8 (&to)[N], const char16 (&from)[M])
{
    static_assert(N <= M, "the narrow field must not outgrow the wide one");
    UString(const_cast<char16*>(from), static_cast<int32>(M)).toAscii(to, static_cast<int32>(N));
}

bool CPluginFactory::registerClass(const PClassInfoW& info, CreateFunction create, void* context)
{
    if (create == nullptr)
        return false;
    ClassEntry entry{PClassInfo2(), info, create, context};
    std::memcpy(entry.info8.cid, info.cid, sizeof(TUID));
    entry.info8.cardinality = info.cardinality;
    std::memcpy(entry.info8.category, info.category, sizeof(entry.info8.category));
    narrowInto(entry.info8.name, info.name);
    entry.info8.classFlags = info.classFlags;
    std::memcpy(entry.info8.subCategories, info.subCategories, sizeof(entry.info8.subCategories));
    narrowInto(entry.info8.vendor, info.vendor);
    narrowInto(entry.info8.version, info.version);
    narrowInto(entry.info8.sdkVersion, info.sdkVersion);
    classes.push_back(entry);
    return true;
}

bool CPluginFactory::isClassRegistered(const FUID& cid) const
{
    for (const ClassEntry& entry : classes)
        if (FUID::fromTUID(entry.info8.cid) == cid)
            return true;
    return false;
}

tresult PLUGIN_API CPluginFactory::queryInterface(const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    if (FUnknownPrivate::iidEqual(iid, IPluginFactory::iid.toTUID()) ||
        FUnknownPrivate::iidEqual(iid, IPluginFactory2::iid.toTUID()) ||
        FUnknownPrivate::iidEqual(iid, IPluginFactory3::iid.toTUID()) ||
        FUnknownPrivate::iidEqual(iid, FUnknown::iid.toTUID()))
    {
        addRef();
        *obj = static_cast<IPluginFactory3*>(this);
        return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
}

uint32 PLUGIN_API CPluginFactory::addRef() { return ++referenceCount; }

uint32 PLUGIN_API CPluginFactory::release()
{
    const uint32 left = --referenceCount;
    if (left == 0)
        delete this;
    return left;
}

tresult PLUGIN_API CPluginFactory::getFactoryInfo(PFactoryInfo* info)
{
    if (info == nullptr)
        return kInvalidArgument;
    *info = factoryInfo;
    return kResultOk;
}

int32 PLUGIN_API CPluginFactory::countClasses() { return static_cast<int32>(classes.size()); }

bool CPluginFactory::validIndex(int32 index) const
{
    return index >= 0 && index < static_cast<int32>(classes.size());
}

tresult PLUGIN_API CPluginFactory::getClassInfo(int32 index, PClassInfo* info)
{
    if (info == nullptr || !validIndex(index))
        return kInvalidArgument;
    const PClassInfo2& from = classes[index].info8;
    *info = PClassInfo();
    std::memcpy(info->cid, from.cid, sizeof(TUID));
    info->cardinality = from.cardinality;
    std::memcpy(info->category, from.category, sizeof(info->category));
    std::memcpy(info->name, from.name, sizeof(info->name));
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfo2(int32 index, PClassInfo2* info)
{
    if (info == nullptr || !validIndex(index))
        return kInvalidArgument;
    *info = classes[index].info8;
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info)
{
    if (info == nullptr || !validIndex(index))
        return kInvalidArgument;
    *info = classes[index].info16;
    return kResultOk;
}

tresult PLUGIN_API CPluginFactory::createInstance(FIDString cid, FIDString iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    *obj = nullptr;
    if (cid == nullptr || iid == nullptr)
        return kInvalidArgument;
    for (const ClassEntry& entry : classes)
    {
        if (std::memcmp(entry.info8.cid, cid, sizeof(TUID)) != 0)
            continue;
        FUnknown* instance = entry.create(entry.context);
        if (instance == nullptr)
            return kOutOfMemory;
        // The caller receives its own reference from the query; the creator's one goes.
        const tresult result = instance->queryInterface(iid, obj);
        instance->release();
        if (result != kResultOk)
            *obj = nullptr;
        return result == kResultOk ? kResultOk : kNoInterface;
    }
    return kNoInterface;
}

tresult PLUGIN_API CPluginFactory::setHostContext(FUnknown* /*context*/) { return kNotImplemented; }

} // namespace Steinberg
