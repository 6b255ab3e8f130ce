#pragma once
// The factory sound set as a whole: the welcome preset and the 53 factory presets, each
// measured, and the rules the set must keep:
//   - on the beat: no channel starts more than 3 ms after the note;
//   - mono-safe: the fold-down (L + R) / 2 at most 3 LU quieter than the stereo hit;
//   - no near-twins: every two presets at least 8 dB apart on the spectrogram grid;
//   - true to their names: the 808s, SDS and acoustic snares keep their families' pitch tracks;
//   - loudness within 2 LU of the set's median at 44.1, 48 and 96 kHz (matched with MainVolume);
//   - no peak above -0.3 dBFS (velocity 127) at any of those rates;
//   - the families differ as their names say: the bass djembes lowest in pitch, the noisy
//     snares highest in noise share, the bongos shortest.

#include <string>
#include <vector>

#include "tools/presets/PresetFeatures.h"

struct MeasuredPreset
{
    PresetSound sound;
    PresetFeatures features;
    std::string family;
    double nearestDb = 0.0; // spectrogram distance to the closest other preset
    std::string nearest;
};

constexpr double kLoudnessToleranceLu = 2.0;
constexpr double kPeakLimitDbfs = -0.3;
constexpr double kLatestOnsetMs = 3.0;
constexpr double kMonoLossLimitLu = 3.0;
constexpr double kMinDistanceDb = 8.0;

// Reads and measures catalogue entries 1 to 54 from the library folder (ending with "/"),
// and finds each one's nearest neighbour.
bool MeasureFactorySet(const std::string& library, std::vector<MeasuredPreset>& set, std::string& error);

double MedianLoudness(const std::vector<MeasuredPreset>& set, int rateIndex);

// One line per broken rule; empty when the set keeps them all.
std::vector<std::string> CheckFactorySet(const std::vector<MeasuredPreset>& set);
