#include "tools/presets/PresetSet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
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

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

// What a family's name promises of its pitch track, in the units of the measurement.
struct PitchTarget
{
    const char* family;
    const char* promise;
    std::function<bool(const PresetFeatures&)> kept;
};

bool Between(double value, double low, double high) { return value >= low && value <= high; }

const std::vector<PitchTarget>& PitchTargets()
{
    static const std::vector<PitchTarget> targets = {
        // A short, nearly steady shell tone: the pitch has settled by 20 ms and holds.
        {"VNTG - KM 808", "shell at 160-240 Hz from 20 to 50 ms, within 1 semitone",
         [](const PresetFeatures& f)
         {
             return Between(f.pitchAt20msHz, 160.0, 240.0) && Between(f.pitchAt50msHz, 160.0, 240.0) &&
                    std::fabs(Semitones(f.pitchAt20msHz, f.pitchAt50msHz)) <= 1.0;
         }},
        // The strong downward bend: far over the first 50 ms, and still falling after 20 ms.
        {"VNTG - KM SDS", "falls at least 10 semitones from 2 to 50 ms, 3 of them after 20 ms",
         [](const PresetFeatures& f)
         {
             return Semitones(f.pitchAt2msHz, f.pitchAt50msHz) <= -10.0 &&
                    Semitones(f.pitchAt20msHz, f.pitchAt50msHz) <= -3.0;
         }},
        // An acoustic body: 150-250 Hz once the stick's attack is over, then nearly steady.
        {"ACST - Snare", "body at 150-250 Hz at 20 ms, within 2 semitones until 50 ms",
         [](const PresetFeatures& f)
         {
             return Between(f.pitchAt20msHz, 150.0, 250.0) &&
                    std::fabs(Semitones(f.pitchAt20msHz, f.pitchAt50msHz)) <= 2.0;
         }},
    };
    return targets;
}

struct FamilyMeans
{
    int count = 0;
    double pitchHz = 0.0, noiseShare = 0.0, lengthMs = 0.0;
};

std::map<std::string, FamilyMeans> MeansByFamily(const std::vector<MeasuredPreset>& set)
{
    std::map<std::string, FamilyMeans> means;
    for (const MeasuredPreset& p : set)
    {
        FamilyMeans& m = means[p.family];
        ++m.count;
        m.pitchHz += p.features.pitchAt2msHz;
        m.noiseShare += p.features.noiseShare;
        m.lengthMs += std::max(p.features.tonalFallMs, p.features.noiseFallMs);
    }
    for (auto& [family, m] : means)
    {
        m.pitchHz /= m.count;
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

void FindNearestNeighbours(std::vector<MeasuredPreset>& set)
{
    for (MeasuredPreset& p : set)
        p.nearestDb = HUGE_VAL;
    for (size_t a = 0; a < set.size(); ++a)
    {
        for (size_t b = a + 1; b < set.size(); ++b)
        {
            const double d = SpectrogramDistanceDb(set[a].features.spectrogram, set[b].features.spectrogram);
            if (d < set[a].nearestDb)
                set[a].nearestDb = d, set[a].nearest = set[b].sound.name;
            if (d < set[b].nearestDb)
                set[b].nearestDb = d, set[b].nearest = set[a].sound.name;
        }
    }
}

void CheckLevels(const std::vector<MeasuredPreset>& set, std::vector<std::string>& failures)
{
    for (int r = 0; r < kHostRateCount; ++r)
    {
        const double median = MedianLoudness(set, r);
        const std::string at = " at " + Format("%g", kHostRates[r] / 1000.0) + " kHz";
        for (const MeasuredPreset& p : set)
        {
            const PresetFeatures& f = p.features;
            if (!(std::fabs(f.loudnessLufs[r] - median) <= kLoudnessToleranceLu))
                failures.push_back(p.sound.name + ": loudness " + Format("%.2f", f.loudnessLufs[r]) +
                                   " LUFS" + at + ", median " + Format("%.2f", median));
            if (!(f.peakDbfs[r] <= kPeakLimitDbfs))
                failures.push_back(p.sound.name + ": peak " + Format("%.2f", f.peakDbfs[r]) + " dBFS" + at);
        }
    }
}

void CheckPlacement(const MeasuredPreset& p, std::vector<std::string>& failures)
{
    const PresetFeatures& f = p.features;
    if (!(std::max(f.onsetLeftMs, f.onsetRightMs) <= kLatestOnsetMs))
        failures.push_back(p.sound.name + ": starts late, left " + Format("%.1f", f.onsetLeftMs) +
                           " ms, right " + Format("%.1f", f.onsetRightMs) + " ms");
    if (!(f.monoLossLu <= kMonoLossLimitLu))
        failures.push_back(p.sound.name + ": loses " + Format("%.1f", f.monoLossLu) + " LU in mono");
    for (const PitchTarget& target : PitchTargets())
        if (p.family == target.family && !target.kept(f))
            failures.push_back(p.sound.name + ": pitch " + Format("%.0f", f.pitchAt2msHz) + "/" +
                               Format("%.0f", f.pitchAt20msHz) + "/" + Format("%.0f", f.pitchAt50msHz) +
                               " Hz at 2/20/50 ms, not " + target.promise);
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
        if (!MeasurePreset(preset.sound, preset.features, error))
            return false;
        preset.family = FamilyOf(entry->name);
        set.push_back(preset);
    }
    FindNearestNeighbours(set);
    return true;
}

double MedianLoudness(const std::vector<MeasuredPreset>& set, int rateIndex)
{
    std::vector<double> loudness;
    for (const MeasuredPreset& p : set)
        loudness.push_back(p.features.loudnessLufs[rateIndex]);
    if (loudness.empty())
        return 0.0;
    std::sort(loudness.begin(), loudness.end());
    const size_t n = loudness.size();
    return n % 2 ? loudness[n / 2] : 0.5 * (loudness[n / 2 - 1] + loudness[n / 2]);
}

std::vector<std::string> CheckFactorySet(const std::vector<MeasuredPreset>& set)
{
    std::vector<std::string> failures;
    CheckLevels(set, failures);
    for (const MeasuredPreset& p : set)
        CheckPlacement(p, failures);
    for (size_t a = 0; a < set.size(); ++a)
        for (size_t b = a + 1; b < set.size(); ++b)
        {
            const double d = SpectrogramDistanceDb(set[a].features.spectrogram, set[b].features.spectrogram);
            if (!(d >= kMinDistanceDb))
                failures.push_back(set[a].sound.name + " and " + set[b].sound.name + " are only " +
                                   Format("%.1f", d) + " dB apart");
        }
    const auto means = MeansByFamily(set);
    const auto expect = [&](const std::string& found, const std::string& wanted, const char* what)
    {
        if (found != wanted)
            failures.push_back(std::string(what) + ": " + found + ", not " + wanted);
    };
    expect(ExtremeFamily(
               means, [](const FamilyMeans& m) { return m.pitchHz; }, false),
           "ACST - Bass Djembe", "lowest pitch");
    expect(ExtremeFamily(
               means, [](const FamilyMeans& m) { return m.noiseShare; }, true),
           "EDM - Noisy", "highest noise share");
    expect(ExtremeFamily(
               means, [](const FamilyMeans& m) { return m.lengthMs; }, false),
           "ACST - Bongo", "shortest");
    return failures;
}
