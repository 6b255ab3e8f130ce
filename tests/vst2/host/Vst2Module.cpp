#include "tests/vst2/host/Vst2Module.h"

#include "tests/support/LoaderPath.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

Vst2Module::Vst2Module(const std::string& path) : mNativePath(LoaderPath(path))
{
#ifdef _WIN32
    mHandle = reinterpret_cast<void*>(LoadLibraryA(mNativePath.c_str()));
#else
    mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
    if (!mHandle)
    {
        mError = "cannot load " + mNativePath;
        return;
    }
    mEntry = reinterpret_cast<Vst2Descriptor* (*)(Vst2HostCallback)>(Symbol("VSTPluginMain"));
    if (!mEntry)
        mError = "VSTPluginMain missing";
}

Vst2Module::~Vst2Module()
{
    if (!mHandle)
        return;
#ifdef _WIN32
    FreeLibrary(reinterpret_cast<HMODULE>(mHandle));
#else
    dlclose(mHandle);
#endif
}

Vst2Descriptor* Vst2Module::Create(Vst2HostCallback callback) const
{
    return mEntry ? mEntry(callback) : nullptr;
}

void* Vst2Module::Symbol(const char* name) const
{
    if (!mHandle)
        return nullptr;
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(mHandle), name));
#else
    return dlsym(mHandle, name);
#endif
}

Vst2Module& TheVst2Module()
{
    static Vst2Module module(KESTRUM_VST2_MODULE_PATH);
    return module;
}
