#include "tools/presets/PresetSet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "instrument/PresetCatalogue.h"

namespace
{

constexpr int kLastFactoryNumber = 54;

std::string FamilyOf(const std::string& name)
{
    // "EDM - Electro A" belongs to "EDM - Electro"; a name without a final letter is its own.
    if (name.size() > 2 && name[name.size() - 2] == ' ' && name.back() >= 'A' && name.back() <= 'Z')
        return name.substr(0, name.size() - 2);
    return name;
}

std::vector<double> FeatureVector(const PresetFeatures& f)
{
    return {f.onsetPitchHz, f.pitchAt50msHz, f.tonalFallMs, f.noiseFallMs,
            f.noiseCentroidHz, f.noiseShare, f.peakDbfs, f.loudnessLufs};
}

bool Within(double a, double b, double ratio)
{
    const double scale = std::max(std::fabs(a), std::fabs(b));
    return scale == 0.0 || std::fabs(a - b) <= ratio * scale;
}

double LengthMs(const PresetFeatures& f)
{
    return std::max(f.tonalFallMs, f.noiseFallMs);
}

struct FamilyMeans
{
    int count = 0;
    double onsetPitchHz = 0.0, noiseShare = 0.0, lengthMs = 0.0;
};

std::map<std::string, FamilyMeans> MeansByFamily(const std::vector<MeasuredPreset>& set)
{
    std::map<std::string, FamilyMeans> means;
    for (const MeasuredPreset& p : set)
    {
        FamilyMeans& m = means[p.family];
        ++m.count;
        m.onsetPitchHz += p.features.onsetPitchHz;
        m.noiseShare += p.features.noiseShare;
        m.lengthMs += LengthMs(p.features);
    }
    for (auto& [family, m] : means)
    {
        m.onsetPitchHz /= m.count;
        m.noiseShare /= m.count;
        m.lengthMs /= m.count;
    }
    return means;
}

// The family whose mean is lowest (or highest) by the given measure.
template <typename Measure>
std::string ExtremeFamily(const std::map<std::string, FamilyMeans>& means, Measure measure, bool highest)
{
    std::string best;
    double bestValue = highest ? -HUGE_VAL : HUGE_VAL;
    for (const auto& [family, m] : means)
    {
        const double value = measure(m);
        if (highest ? value > bestValue : value < bestValue)
        {
            bestValue = value;
            best = family;
        }
    }
    return best;
}

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

} // namespace

bool MeasureFactorySet(const std::string& library, std::vector<MeasuredPreset>& set, std::string& error)
{
    set.clear();
    for (int number = 1; number <= kLastFactoryNumber; ++number)
    {
        const PresetCatalogueEntry* entry = PresetCatalogue::EntryForNumber(number);
        MeasuredPreset preset;
        if (!LoadPresetSound(library + entry->file, entry->name, preset.sound))
        {
            error = "cannot load " + library + entry->file;
            return false;
        }
        if (!MeasurePreset(preset.sound, preset.features, error)) return false;
        preset.family = FamilyOf(entry->name);
        set.push_back(preset);
    }
    return true;
}

double MedianLoudness(const std::vector<MeasuredPreset>& set)
{
    std::vector<double> loudness;
    for (const MeasuredPreset& p : set) loudness.push_back(p.features.loudnessLufs);
    if (loudness.empty()) return 0.0;
    std::sort(loudness.begin(), loudness.end());
    const size_t n = loudness.size();
    return n % 2 ? loudness[n / 2] : 0.5 * (loudness[n / 2 - 1] + loudness[n / 2]);
}

std::vector<std::string> CheckFactorySet(const std::vector<MeasuredPreset>& set)
{
    std::vector<std::string> failures;
    const double median = MedianLoudness(set);
    for (const MeasuredPreset& p : set)
    {
        if (!(std::fabs(p.features.loudnessLufs - median) <= kLoudnessToleranceLu))
            failures.push_back(p.sound.name + ": loudness " + Format("%.2f", p.features.loudnessLufs) +
                               " LUFS, median " + Format("%.2f", median));
        if (!(p.features.peakDbfs <= kPeakLimitDbfs))
            failures.push_back(p.sound.name + ": peak " + Format("%.2f", p.features.peakDbfs) + " dBFS");
    }
    for (size_t a = 0; a < set.size(); ++a)
    {
        for (size_t b = a + 1; b < set.size(); ++b)
        {
            if (set[a].family != set[b].family) continue;
            const std::vector<double> fa = FeatureVector(set[a].features), fb = FeatureVector(set[b].features);
            bool allWithin = true;
            for (size_t i = 0; i < fa.size(); ++i) allWithin = allWithin && Within(fa[i], fb[i], kDistinctRatio);
            if (allWithin) failures.push_back(set[a].sound.name + " and " + set[b].sound.name + " are within 5 %");
        }
    }
    const auto means = MeansByFamily(set);
    const auto expect = [&](const std::string& found, const std::string& wanted, const char* what)
    {
        if (found != wanted) failures.push_back(std::string(what) + ": " + found + ", not " + wanted);
    };
    expect(ExtremeFamily(means, [](const FamilyMeans& m) { return m.onsetPitchHz; }, false),
           "ACST - Bass Djembe", "lowest pitch");
    expect(ExtremeFamily(means, [](const FamilyMeans& m) { return m.noiseShare; }, true), "EDM - Noisy",
           "highest noise share");
    expect(ExtremeFamily(means, [](const FamilyMeans& m) { return m.lengthMs; }, false), "ACST - Bongo",
           "shortest");
    return failures;
}

std::string FeatureTableMarkdown(const std::vector<MeasuredPreset>& set, const std::vector<std::string>& failures)
{
    std::string md = "# Factory presets measured\n\n"
                     "One hit per preset: note 38, velocity 127, 48 kHz, rendered through the instrument. "
                     "Pitch from the tonal part's half cycles; fall times from each part's peak until it stays "
                     "60 dB below; centroid of the noise part's spectrum; noise share of the energy; peak and "
                     "EBU R128 integrated loudness (libebur128) of the whole sound.\n\n"
                     "| # | preset | pitch onset (Hz) | pitch 50 ms (Hz) | tonal fall (ms) | noise fall (ms) | "
                     "noise centroid (Hz) | noise share | peak (dBFS) | loudness (LUFS) |\n"
                     "|---|---|---|---|---|---|---|---|---|---|\n";
    int number = 1;
    for (const MeasuredPreset& p : set)
    {
        const PresetFeatures& f = p.features;
        md += "| " + std::to_string(number++) + " | " + p.sound.name + " | " + Format("%.1f", f.onsetPitchHz) +
              " | " + Format("%.1f", f.pitchAt50msHz) + " | " + Format("%.0f", f.tonalFallMs) + " | " +
              Format("%.0f", f.noiseFallMs) + " | " + Format("%.0f", f.noiseCentroidHz) + " | " +
              Format("%.2f", f.noiseShare) + " | " + Format("%.2f", f.peakDbfs) + " | " +
              Format("%.2f", f.loudnessLufs) + " |\n";
    }
    md += "\n## Families (means)\n\n| family | presets | pitch onset (Hz) | noise share | length (ms) |\n"
          "|---|---|---|---|---|\n";
    for (const auto& [family, m] : MeansByFamily(set))
        md += "| " + family + " | " + std::to_string(m.count) + " | " + Format("%.1f", m.onsetPitchHz) + " | " +
              Format("%.2f", m.noiseShare) + " | " + Format("%.0f", m.lengthMs) + " |\n";
    md += "\nMedian loudness " + Format("%.2f", MedianLoudness(set)) + " LUFS.\n\n## Checks\n\n";
    if (failures.empty()) md += "All rules kept: loudness within 2 LU of the median, peaks at or below -0.3 dBFS, "
                                "every pair in a family apart by more than 5 % on some feature, families ordered "
                                "as named.\n";
    for (const std::string& failure : failures) md += "- FAILED: " + failure + "\n";
    return md;
}
