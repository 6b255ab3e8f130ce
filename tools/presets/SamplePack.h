#pragma once
// The factory presets as a sample pack, in the form producers drop into a sampler: one hit
// each as a 24-bit PCM WAV at 48 kHz, starting at its first sample, trimmed where it stays
// 60 dB below its peak and faded to silence over the next 5 ms, normalised to a true peak
// of -1 dBFS. The exact float render of the instrument (two seconds, 32-bit float, as it
// plays) is available beside it for checks that compare samples.

#include <string>

#include "tools/presets/PresetFeatures.h"

struct PackedHit
{
    std::string file; // file name within the pack folder
    double seconds = 0.0;
    double gainDb = 0.0; // the normalisation applied to the instrument's output
};

// Writes out + "<name>.wav"; out ends with "/" or is empty.
bool WritePackedHit(const PresetSound& sound, const std::string& out, PackedHit& hit, std::string& error);
bool WriteFloatHit(const PresetSound& sound, const std::string& out, std::string& error);
