#pragma once
// One full cosine period in 16384 entries with a linearly interpolating lookup; the
// tonal oscillator reads it instead of calling cos for every sample.

#include "engine/DataBuffer.h"

#include <cstdint>

class CosineTable
{
public:
    static constexpr int32_t kSizeEntries = 16384;

    // Obtains the memory and fills it. When 16384 entries cannot be had it settles for
    // 512 (one attempt); the table is then incomplete and must not be looked up.
    void build();

    bool isComplete() const { return buffer_.frameCount() == kSizeEntries; }
    int32_t entryCount() const { return buffer_.frameCount(); }
    const double* entries() const { return buffer_.samples(); }

    // Interpolated cosine at phase (in cycles, expected in [0, 1)). Needs a complete table.
    double lookup(double phase) const
    {
        const double scaled = phase * 4294967296.0;
        // Only a phase outside [0, 1) could land outside the 64-bit range; map it to 0
        // rather than let the conversion misbehave.
        const uint32_t index = (scaled >= 0.0 && scaled < 18446744073709551616.0)
                                   ? static_cast<uint32_t>(static_cast<uint64_t>(scaled))
                                   : 0u;
        const uint32_t entry = index >> 18;
        const double fraction = static_cast<double>(index & 0x3FFFFu) * 3.81471181759574e-06;
        const double* table = buffer_.samples();
        const double here = table[entry];
        return here + (table[(entry + 1u) & 16383u] - here) * fraction;
    }

private:
    DataBuffer buffer_;
};
