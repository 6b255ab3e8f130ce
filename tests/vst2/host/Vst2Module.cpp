#include "tests/vst2/host/Vst2Module.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace
{
// A path as the platform's loader wants it (Wine maps the Unix root to drive Z:).
std::string NativePath(const std::string& path)
{
#ifdef _WIN32
    if (path.empty() || path[0] != '/')
        return path;
    std::string native = "Z:" + path;
    for (char& c : native)
        if (c == '/')
            c = '\\';
    return native;
#else
    return path;
#endif
}
} // namespace

Vst2Module::Vst2Module(const std::string& path)
{
#ifdef _WIN32
    mHandle = reinterpret_cast<void*>(LoadLibraryA(NativePath(path).c_str()));
#else
    mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
    if (!mHandle)
    {
        mError = "cannot load " + NativePath(path);
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
