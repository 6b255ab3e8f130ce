#pragma once
// features.md: the measured set, a summary per family, the check's verdict and, when the
// pack was written, one row per sample file with the note, velocity and settings it holds.

#include <string>
#include <vector>

#include "tools/presets/PresetSet.h"
#include "tools/presets/SamplePack.h"

std::string FeatureTableMarkdown(const std::vector<MeasuredPreset>& set,
                                 const std::vector<std::string>& failures,
                                 const std::vector<PackedHit>& pack);
