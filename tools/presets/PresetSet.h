#pragma once
// The factory sound set as a whole: the welcome preset and the 53 factory presets, each
// measured, and the rules the set must keep:
//   - loudness within 2 LU of the set's median (levels are matched with MainVolume);
//   - no peak above -0.3 dBFS (velocity 127);
//   - within a family (the name without its final letter), no two presets within 5 % of
//     each other on every feature;
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
};

constexpr double kLoudnessToleranceLu = 2.0;
constexpr double kPeakLimitDbfs = -0.3;
constexpr double kDistinctRatio = 0.05;

// Reads and measures catalogue entries 1 to 54 from the library folder (ending with "/").
bool MeasureFactorySet(const std::string& library, std::vector<MeasuredPreset>& set, std::string& error);

double MedianLoudness(const std::vector<MeasuredPreset>& set);

// One line per broken rule; empty when the set keeps them all.
std::vector<std::string> CheckFactorySet(const std::vector<MeasuredPreset>& set);

// The feature table, a per-family summary and the check's verdict, as Markdown.
std::string FeatureTableMarkdown(const std::vector<MeasuredPreset>& set, const std::vector<std::string>& failures);
