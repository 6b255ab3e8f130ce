#pragma once
// Small conversions the VST3 adapter's files share: host strings and the speaker
// arrangements announced for a channel count (normalised values are limited by the
// framework's LimitNormalized).

#include "framework/NormalizedValue.h"
#include "pluginterfaces/vst/vsttypes.h"

namespace Vst3Conversions
{

// Widens an 8-bit text character by character into a host string (at most 127 characters).
inline void Widen(const char* text, Steinberg::Vst::String128 out)
{
    int i = 0;
    for (; text && text[i] != 0 && i < 127; ++i)
        out[i] = static_cast<Steinberg::Vst::TChar>(static_cast<unsigned char>(text[i]));
    out[i] = 0;
}

// The speaker arrangement announced for a main bus of `channels` channels; 0 when there is
// no standard one.
inline Steinberg::Vst::SpeakerArrangement ArrangementForChannels(int channels)
{
    switch (channels)
    {
        case 1: return 0x80000;
        case 2: return 0x3;
        case 3: return 0x103;
        case 4: return 0xF00000;
        case 5: return 0x37;
        case 6: return 0x3F;
        default: return 0;
    }
}

} // namespace Vst3Conversions
