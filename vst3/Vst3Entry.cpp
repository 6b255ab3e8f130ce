// The module's entry points: the host maps the module, calls its entry (InitDll on Windows,
// ModuleEntry on Linux), asks GetPluginFactory for the factory, creates instances through
// it, and finally calls the exit entry before unmapping the module.

#include "framework/ProductIdentity.h"
#include "instrument/Kestrum.h"
#include "vst3/sdk/CPluginFactory.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <mutex>
#include <new>

#ifdef _WIN32
#define KESTRUM_EXPORT extern "C"
#else
#define KESTRUM_EXPORT extern "C" __attribute__((visibility("default")))
#endif

using namespace Steinberg;

namespace
{

// Serialises instance construction: two host threads creating instances at once build them
// one after the other. Created on first use, gone when the module is unloaded.
std::mutex& CreationLock()
{
    static std::mutex lock;
    return lock;
}

FUnknown* CreateKestrum(void* /*context*/)
{
    std::lock_guard<std::mutex> guard(CreationLock());
    Kestrum* instance = new (std::nothrow) Kestrum();
    if (instance == nullptr)
        return nullptr;
    return static_cast<Vst::IAudioProcessor*>(instance);
}

PFactoryInfo& FactoryInfo()
{
    static PFactoryInfo info(ProductIdentity::kVendor, ProductIdentity::kVendorUrl,
                             ProductIdentity::kVendorEmail, PFactoryInfo::kUnicode);
    return info;
}

PClassInfo2& ClassInfo()
{
    using ProductIdentity::kVst3ClassIdWords;
    static const TUID cid =
        INLINE_UID(kVst3ClassIdWords[0], kVst3ClassIdWords[1], kVst3ClassIdWords[2], kVst3ClassIdWords[3]);
    static PClassInfo2 info(cid, PClassInfo::kManyInstances, kVstAudioEffectClass,
                            ProductIdentity::kEffectName, Vst::kSimpleModeSupported, "Instrument|Synth", "",
                            ProductIdentity::kVersionText, "VST 3.6.0");
    return info;
}

} // namespace

// Each call hands the caller one reference; the module makes one factory per process and
// makes a new one only after the host has released the previous one.
KESTRUM_EXPORT IPluginFactory* PLUGIN_API GetPluginFactory()
{
    if (gPluginFactory != nullptr)
    {
        gPluginFactory->addRef();
        return gPluginFactory;
    }
    auto* factory = new (std::nothrow) CPluginFactory(FactoryInfo());
    if (factory == nullptr)
        return nullptr;
    factory->registerClass(ClassInfo(), CreateKestrum);
    gPluginFactory = factory;
    return factory;
}

#ifdef _WIN32

// Hosts call these around loading the module. Nothing is set up here: the editor finds its
// module's images itself when it is built (EditorWindowLayer).
KESTRUM_EXPORT bool PLUGIN_API InitDll() { return true; }

KESTRUM_EXPORT bool PLUGIN_API ExitDll() { return true; }

#else

KESTRUM_EXPORT bool ModuleEntry(void* /*sharedLibraryHandle*/) { return true; }

KESTRUM_EXPORT bool ModuleExit() { return true; }

#endif
