#pragma once
// Loads a VST2 module from disk as a host does and creates instances through its exported
// entry point, VSTPluginMain, with the scripted host's callback.

#include "vst2/Vst2Abi.h"

#include <string>

class Vst2Module
{
public:
    explicit Vst2Module(const std::string& path);
    ~Vst2Module();
    Vst2Module(const Vst2Module&) = delete;
    Vst2Module& operator=(const Vst2Module&) = delete;

    bool Loaded() const { return mEntry != nullptr; }
    const std::string& Error() const { return mError; }
    // The path the module was loaded from, as the platform's loader took it.
    const std::string& NativePath() const { return mNativePath; }
    // A new instance's descriptor, or none.
    Vst2Descriptor* Create(Vst2HostCallback callback) const;
    // Looks up an exported symbol (nullptr when absent).
    void* Symbol(const char* name) const;

private:
    void* mHandle = nullptr;
    Vst2Descriptor* (*mEntry)(Vst2HostCallback) = nullptr;
    std::string mError;
    std::string mNativePath;
};

// The module built with the tests, loaded once for the whole test program.
Vst2Module& TheVst2Module();
