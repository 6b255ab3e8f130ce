#include "tests/vst3/host/VstModule.h"

#include "tests/support/SharedLibrary.h"

namespace
{
using GetFactoryFunction = Steinberg::IPluginFactory*(PLUGIN_API*)();
#ifdef _WIN32
using InitFunction = bool(PLUGIN_API*)();
using ExitFunction = bool(PLUGIN_API*)();
#else
using InitFunction = bool(PLUGIN_API*)(void*);
using ExitFunction = bool(PLUGIN_API*)();
#endif
} // namespace

std::string VstModule::NativePath(const std::string& path) { return LoaderPath(path); }

VstModule::VstModule(const std::string& path)
{
    handle = OpenSharedLibrary(path);
#ifdef _WIN32
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
#else
    if (auto exit = reinterpret_cast<ExitFunction>(Symbol("ModuleExit")))
        exit();
#endif
    CloseSharedLibrary(handle);
}

void* VstModule::Symbol(const char* name) const { return SharedLibrarySymbol(handle, name); }
