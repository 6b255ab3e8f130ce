#include "framework/HostId.h"

#include <cstring>

namespace
{
struct HostNameMatch
{
    const char* text;
    HostId id;
};

// Order matters: a name that contains two of these texts is the earlier one's host.
constexpr HostNameMatch kHostNames[] = {
    {"cubase", 3},      {"reaper", 1},      {"nuendo", 4},
    {"cakewalk", 5},    {"samplitude", 8},  {"fruity", 7},
    {"live", 9},        {"melodyne", 12},   {"vstmanlib", 13},
    {"aulab", 14},      {"garageband", 22}, {"forte", 15},
    {"chainer", 16},    {"audition", 17},   {"orion", 18},
    {"sawstudio", 20},  {"logic", 21},      {"digital", 23},
    {"audiomulch", 25}, {"presonus", 26},   {"vst3plugintesthost", 27},
    {"protools", 2},    {"ardour", 28},     {"standalone", 24},
};

constexpr int kNameBytes = 256;

// ASCII only, whatever locale the host has set.
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
} // namespace

HostId IdentifyHost(const char* hostName)
{
    if (!hostName)
        return kHostUnknown;
    char lowered[kNameBytes];
    int length = 0;
    for (; length < kNameBytes - 1 && hostName[length] != '\0'; ++length)
        lowered[length] = LowerAscii(hostName[length]);
    lowered[length] = '\0';
    for (const HostNameMatch& match : kHostNames)
        if (std::strstr(lowered, match.text))
            return match.id;
    return kHostUnknown;
}
