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

#ifndef _WIN32
// Keeps the module that holds `address` mapped until the process ends, whatever closes it.
// The editor's font engine and glyph cache are module-wide and live as long as the module
// (the process, in a host); once an unloaded module is unmapped, LeakSanitizer can no longer
// see the module's own pointers to them and reports them as leaks.
inline bool KeepModuleLoaded(const void* address)
{
    Dl_info info{};
    if (!address || dladdr(address, &info) == 0 || !info.dli_fname)
        return false;
    return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
}
#endif

inline void CloseSharedLibrary(void* handle)
{
#ifdef _WIN32
    FreeLibrary(reinterpret_cast<HMODULE>(handle));
#else
    dlclose(handle);
#endif
}
