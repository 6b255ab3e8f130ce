#pragma once
// The fixed description a plug-in gives of itself when its core is constructed: how many
// parameters and preset slots it has, which channel layouts it accepts, its names, version
// and ids, and which plug-in interface the module speaks. Every module builds the same
// record; only the plug-in API value differs.

#include <cstdint>

// Packs a version as hosts expect it: major in the upper 16 bits, minor in bits 8 to 15,
// bug-fix in bits 0 to 7.
constexpr int32_t PackVersion(int major, int minor, int bugFix)
{
    return static_cast<int32_t>((static_cast<uint32_t>(major) << 16) |
                                ((static_cast<uint32_t>(minor) & 0xFFu) << 8) |
                                (static_cast<uint32_t>(bugFix) & 0xFFu));
}

// Packs a four-character code with the first character in the most significant byte.
constexpr int32_t FourCharCode(char a, char b, char c, char d)
{
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                static_cast<uint32_t>(static_cast<unsigned char>(d)));
}

// Which host interface the adapter speaks; stored in the core and answered by GetPluginApi.
enum PluginApi : int32_t
{
    kApiVst2 = 0,
    kApiVst3 = 1,
};

struct PluginConfig
{
    int numParams = 0;
    int numPresets = 0;
    // Legal {inputs, outputs} pairs such as "2-2" or "1-1 2-2" (pairs separated by one space).
    const char* channelIoString = "";
    const char* effectName = "";
    const char* productName = "";
    const char* manufacturerName = "";
    int32_t version = 0;        // packed with PackVersion
    int32_t uniqueId = 0;       // packed with FourCharCode
    int32_t manufacturerId = 0; // packed with FourCharCode
    int latencySamples = 0;
    bool isInstrument = false;
    bool doesMidi = false;
    int32_t pluginApi = kApiVst2;
};
