#pragma once
// Loads a VST3 module from disk as a host does: maps the library, calls its module entry
// (ModuleEntry on Linux, InitDll on Windows), asks for the factory, and undoes all of it
// when destroyed.

#include "pluginterfaces/base/ipluginbase.h"

#include <string>

class VstModule
{
public:
    explicit VstModule(const std::string& path);
    ~VstModule();

    VstModule(const VstModule&) = delete;
    VstModule& operator=(const VstModule&) = delete;

    bool Loaded() const { return factory != nullptr; }
    const std::string& Error() const { return error; }
    // The factory; the module keeps one reference until it is unloaded.
    Steinberg::IPluginFactory* Factory() const { return factory; }
    // Looks up an exported symbol (nullptr when absent).
    void* Symbol(const char* name) const;

    // A path as the platform's loader wants it (Wine maps the Unix root to drive Z:).
    static std::string NativePath(const std::string& path);

private:
    void* handle = nullptr;
    Steinberg::IPluginFactory* factory = nullptr;
    std::string error;
};
