#include "tests/vst2/host/Vst2Module.h"

#include "tests/support/SharedLibrary.h"

Vst2Module::Vst2Module(const std::string& path) : mNativePath(LoaderPath(path))
{
    mHandle = OpenSharedLibrary(path);
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
    if (mHandle)
        CloseSharedLibrary(mHandle);
}

Vst2Descriptor* Vst2Module::Create(Vst2HostCallback callback) const
{
    return mEntry ? mEntry(callback) : nullptr;
}

void* Vst2Module::Symbol(const char* name) const { return SharedLibrarySymbol(mHandle, name); }

Vst2Module& TheVst2Module()
{
    static Vst2Module module(KESTRUM_VST2_MODULE_PATH);
    return module;
}
