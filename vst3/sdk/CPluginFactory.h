#pragma once
// The module's plug-in factory, as the VST 3 SDK's factory class works (the installed
// SDK subset lacks it): it announces the registered classes in their plain, extended
// and Unicode forms and creates an instance only for a registered class id.
//
// Lifetime: reference counted; the module creates it once (its count of 1 belongs to the
// first caller) and remembers it in gPluginFactory, which the destructor clears so that
// a later request creates a new factory instead of returning a dead one.

#include "pluginterfaces/base/ipluginbase.h"

#include <atomic>
#include <vector>

namespace Steinberg
{

class CPluginFactory : public IPluginFactory3
{
public:
    // Creates one instance of a registered class; returns its basic interface with one
    // reference, or nothing when it could not be made.
    using CreateFunction = FUnknown* (*)(void* context);

    explicit CPluginFactory(const PFactoryInfo& info);
    virtual ~CPluginFactory();

    CPluginFactory(const CPluginFactory&) = delete;
    CPluginFactory& operator=(const CPluginFactory&) = delete;

    // [module load, one thread] The Unicode form is derived from the extended record.
    bool registerClass(const PClassInfo2& info, CreateFunction create, void* context = nullptr);
    // [module load, one thread] The extended form is derived from the Unicode record.
    bool registerClass(const PClassInfoW& info, CreateFunction create, void* context = nullptr);
    bool isClassRegistered(const FUID& cid) const;

    // --- FUnknown ([any thread])
    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;
    uint32 PLUGIN_API addRef() SMTG_OVERRIDE;
    uint32 PLUGIN_API release() SMTG_OVERRIDE;

    // --- IPluginFactory ([main thread])
    tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) SMTG_OVERRIDE;
    int32 PLUGIN_API countClasses() SMTG_OVERRIDE;
    tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) SMTG_OVERRIDE;
    // [any thread: instance creators serialise themselves]
    tresult PLUGIN_API createInstance(FIDString cid, FIDString iid, void** obj) SMTG_OVERRIDE;
    // --- IPluginFactory2 ([main thread])
    tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) SMTG_OVERRIDE;
    // --- IPluginFactory3 ([main thread])
    tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) SMTG_OVERRIDE;
    tresult PLUGIN_API setHostContext(FUnknown* context) SMTG_OVERRIDE;

private:
    struct ClassEntry
    {
        PClassInfo2 info8;
        PClassInfoW info16;
        CreateFunction create;
        void* context;
    };

    bool validIndex(int32 index) const;

    std::atomic<uint32> referenceCount{1};
    PFactoryInfo factoryInfo;
    std::vector<ClassEntry> classes;
};

// The module's factory while it exists, else none.
extern IPluginFactory* gPluginFactory;

} // namespace Steinberg
