#include "tests/vst3/host/VstModule.h"

#include "tests/support/LoaderPath.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {
using GetFactoryFunction = Steinberg::IPluginFactory* (PLUGIN_API*)();
#ifdef _WIN32
using InitFunction = bool (PLUGIN_API*)();
using ExitFunction = bool (PLUGIN_API*)();
#else
using InitFunction = bool (PLUGIN_API*)(void*);
using ExitFunction = bool (PLUGIN_API*)();
#endif
}

std::string VstModule::NativePath(const std::string& path)
{
  return LoaderPath(path);
}

VstModule::VstModule(const std::string& path)
{
#ifdef _WIN32
  handle = reinterpret_cast<void*>(LoadLibraryA(NativePath(path).c_str()));
  if (handle == nullptr)
  {
    error = "LoadLibrary failed for " + NativePath(path);
    return;
  }
  auto init = reinterpret_cast<InitFunction>(Symbol("InitDll"));
  if (init == nullptr || !init())
  {
    error = "InitDll missing or failed";
    return;
  }
#else
  handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr)
  {
    const char* why = dlerror();
    error = why ? why : "dlopen failed";
    return;
  }
  auto init = reinterpret_cast<InitFunction>(Symbol("ModuleEntry"));
  if (init == nullptr || !init(handle))
  {
    error = "ModuleEntry missing or failed";
    return;
  }
#endif
  auto getFactory = reinterpret_cast<GetFactoryFunction>(Symbol("GetPluginFactory"));
  factory = getFactory ? getFactory() : nullptr;
  if (factory == nullptr)
    error = "GetPluginFactory missing or returned nothing";
}

VstModule::~VstModule()
{
  if (factory)
    factory->release();
  if (handle == nullptr)
    return;
#ifdef _WIN32
  if (auto exit = reinterpret_cast<ExitFunction>(Symbol("ExitDll")))
    exit();
  FreeLibrary(reinterpret_cast<HMODULE>(handle));
#else
  if (auto exit = reinterpret_cast<ExitFunction>(Symbol("ModuleExit")))
    exit();
  dlclose(handle);
#endif
}

void* VstModule::Symbol(const char* name) const
{
  if (handle == nullptr)
    return nullptr;
#ifdef _WIN32
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle), name));
#else
  return dlsym(handle, name);
#endif
}
