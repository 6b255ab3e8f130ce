// The module's entry points: the host maps the module, calls its entry (InitDll on Windows,
// ModuleEntry on Linux), asks GetPluginFactory for the factory, creates instances through
// it, and finally calls the exit entry before unmapping the module.

#include "instrument/Kestrum.h"
#include "vst3/sdk/CPluginFactory.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <mutex>
#include <new>

#ifdef _WIN32
#include <windows.h>
#define KESTRUM_EXPORT extern "C"
#else
#define KESTRUM_EXPORT extern "C" __attribute__((visibility("default")))
#endif

using namespace Steinberg;

namespace {

// The module's handle, stored when the module is attached to the process.
void* gModuleHandle = nullptr;

// The class id: the words 0xF2AEE70D, 0x00DE4F4E, then the manufacturer code "Qvrx" and
// the unique code "Kmq8", each read big-endian.
constexpr uint32 kClassIdWord1 = 0xF2AEE70D;
constexpr uint32 kClassIdWord2 = 0x00DE4F4E;
constexpr uint32 kManufacturerCode = 0x51767278;  // "Qvrx"
constexpr uint32 kUniqueCode = 0x4B6D7138;        // "Kmq8"

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
  static PFactoryInfo info("QuorvexAudio", "https://www.quorvexaudio.com", "mailto:info@quorvexaudio.com",
                           PFactoryInfo::kUnicode);
  return info;
}

PClassInfo2& ClassInfo()
{
  static const TUID cid = INLINE_UID(kClassIdWord1, kClassIdWord2, kManufacturerCode, kUniqueCode);
  static PClassInfo2 info(cid, PClassInfo::kManyInstances, kVstAudioEffectClass, "Kestrum",
                          Vst::kSimpleModeSupported, "Instrument|Synth", "", "1.0.2", "VST 3.6.0");
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

// The place where the editor framework receives this module's handle (it loads its images
// from this module's resources, not the host executable's); the editor attaches here.
KESTRUM_EXPORT bool PLUGIN_API InitDll()
{
  return true;
}

KESTRUM_EXPORT bool PLUGIN_API ExitDll()
{
  return true;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
  if (reason == DLL_PROCESS_ATTACH)
    gModuleHandle = instance;
  return TRUE;
}

#else

KESTRUM_EXPORT bool ModuleEntry(void* sharedLibraryHandle)
{
  gModuleHandle = sharedLibraryHandle;
  return true;
}

KESTRUM_EXPORT bool ModuleExit()
{
  return true;
}

#endif
