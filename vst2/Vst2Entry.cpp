// The module's entry points: a VST2 host calls VSTPluginMain (older hosts: main) once per
// instance with its callback and receives the instance's descriptor. These two are the only
// symbols the module exports.

#include "instrument/Kestrum.h"

#include <cstdint>
#include <mutex>
#include <new>

#ifdef _WIN32
#define KESTRUM_EXPORT extern "C"
#else
#define KESTRUM_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace
{

// Serialises instance creation: two host threads creating instances at once build them one
// after the other. Created on first use, gone when the module is unloaded.
std::mutex& CreationLock()
{
    static std::mutex lock;
    return lock;
}

} // namespace

// [main thread, takes the module-wide creation lock]
KESTRUM_EXPORT Vst2Descriptor* VSTPluginMain(Vst2HostCallback hostCallback)
{
    std::lock_guard<std::mutex> guard(CreationLock());
    IPlugVST::HostContext host;
    host.callback = hostCallback;
    Kestrum* instance = new (std::nothrow) Kestrum(host);
    if (!instance)
        return nullptr;
    // Every slot the instrument left unused becomes an "Empty" program.
    instance->FillDefaultPresets("Empty", instance->NumPresets());
    return instance->Descriptor();
}

// The older entry point, whose callback arrives as a 32-bit integer; it is sign-extended. The
// symbol is exported as "main" (see Kestrum.def and the asm label below), so the module never
// defines a C++ main.
#ifdef _WIN32
KESTRUM_EXPORT Vst2Descriptor* VstMainEntry(int32_t hostCallback)
#else
KESTRUM_EXPORT Vst2Descriptor* VstMainEntry(int32_t hostCallback) __asm__("main");
KESTRUM_EXPORT Vst2Descriptor* VstMainEntry(int32_t hostCallback)
#endif
{
    return VSTPluginMain(reinterpret_cast<Vst2HostCallback>(static_cast<intptr_t>(hostCallback)));
}
