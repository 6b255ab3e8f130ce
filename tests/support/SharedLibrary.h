#pragma once
// The platform's library loader as the test hosts use it: open a module by path, look up an
// export, close it. Paths go through LoaderPath, so a Unix path also works under Wine.

#include "tests/support/LoaderPath.h"

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

// The module's handle, or nullptr when it cannot be loaded.
inline void* OpenSharedLibrary(const std::string& path)
{
#ifdef _WIN32
    return reinterpret_cast<void*>(LoadLibraryA(LoaderPath(path).c_str()));
#else
    return dlopen(LoaderPath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}

// An exported symbol, or nullptr when absent (or without a handle).
inline void* SharedLibrarySymbol(void* handle, const char* name)
{
    if (!handle)
        return nullptr;
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle), name));
#else
    return dlsym(handle, name);
#endif
}

inline void CloseSharedLibrary(void* handle)
{
#ifdef _WIN32
    FreeLibrary(reinterpret_cast<HMODULE>(handle));
#else
    dlclose(handle);
#endif
}
