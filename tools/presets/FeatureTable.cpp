#include "tools/presets/FeatureTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace
{

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

std::string Row(const std::vector<std::string>& cells)
{
    std::string row = "|";
    for (const std::string& cell : cells)
        row += " " + cell + " |";
    return row + "\n";
}

std::string Header(const std::vector<std::string>& cells)
{
    return Row(cells) + Row(std::vector<std::string>(cells.size(), "---"));
}

struct FamilySummary
{
    int count = 0;
    double pitch2 = 0.0, pitch20 = 0.0, pitch50 = 0.0, tonalFall = 0.0, noiseFall = 0.0, noiseShare = 0.0;
    double latestOnset = 0.0, worstMonoLoss = -HUGE_VAL, nearestDb = HUGE_VAL;
    std::string nearest;
};

std::map<std::string, FamilySummary> Summaries(const std::vector<MeasuredPreset>& set)
{
    std::map<std::string, FamilySummary> summaries;
    for (const MeasuredPreset& p : set)
    {
        const PresetFeatures& f = p.features;
        FamilySummary& s = summaries[p.family];
        ++s.count;
        s.pitch2 += f.pitchAt2msHz;
        s.pitch20 += f.pitchAt20msHz;
        s.pitch50 += f.pitchAt50msHz;
        s.tonalFall += f.tonalFallMs;
        s.noiseFall += f.noiseFallMs;
        s.noiseShare += f.noiseShare;
        s.latestOnset = std::max({s.latestOnset, f.onsetLeftMs, f.onsetRightMs});
        s.worstMonoLoss = std::max(s.worstMonoLoss, f.monoLossLu);
        if (p.nearestDb < s.nearestDb)
            s.nearestDb = p.nearestDb, s.nearest = p.sound.name + " / " + p.nearest;
    }
    for (auto& [family, s] : summaries)
        for (double* mean : {&s.pitch2, &s.pitch20, &s.pitch50, &s.tonalFall, &s.noiseFall, &s.noiseShare})
            *mean /= s.count;
    return summaries;
}

std::string PresetTable(const std::vector<MeasuredPreset>& set)
{
    std::string md = Header({"#", "preset", "pitch 2/20/50 ms (Hz)", "tonal fall (ms)", "noise fall (ms)",
                             "noise centroid (Hz)", "noise share", "onset L/R (ms)", "mono loss (LU)",
                             "nearest (dB)", "peak (dBFS)", "loudness 44.1/48/96 (LUFS)"});
    int number = 1;
    for (const MeasuredPreset& p : set)
    {
        const PresetFeatures& f = p.features;
        md += Row({std::to_string(number++), p.sound.name,
                   Format("%.0f", f.pitchAt2msHz) + " / " + Format("%.0f", f.pitchAt20msHz) + " / " +
                       Format("%.0f", f.pitchAt50msHz),
                   Format("%.0f", f.tonalFallMs), Format("%.0f", f.noiseFallMs),
                   Format("%.0f", f.noiseCentroidHz), Format("%.2f", f.noiseShare),
                   Format("%.1f", f.onsetLeftMs) + " / " + Format("%.1f", f.onsetRightMs),
                   Format("%.1f", f.monoLossLu), Format("%.1f", p.nearestDb) + " " + p.nearest,
                   Format("%.2f", *std::max_element(std::begin(f.peakDbfs), std::end(f.peakDbfs))),
                   Format("%.1f", f.loudnessLufs[0]) + " / " + Format("%.1f", f.loudnessLufs[1]) + " / " +
                       Format("%.1f", f.loudnessLufs[2])});
    }
    return md;
}

std::string FamilyTable(const std::vector<MeasuredPreset>& set)
{
    std::string md =
        Header({"family", "presets", "pitch 2/20/50 ms (Hz)", "tonal/noise fall (ms)", "noise share",
                "latest onset (ms)", "worst mono loss (LU)", "closest pair (dB)"});
    for (const auto& [family, s] : Summaries(set))
        md += Row(
            {family, std::to_string(s.count),
             Format("%.0f", s.pitch2) + " / " + Format("%.0f", s.pitch20) + " / " + Format("%.0f", s.pitch50),
             Format("%.0f", s.tonalFall) + " / " + Format("%.0f", s.noiseFall), Format("%.2f", s.noiseShare),
             Format("%.1f", s.latestOnset), Format("%.1f", s.worstMonoLoss),
             Format("%.1f", s.nearestDb) + " " + s.nearest});
    return md;
}

std::string PackTable(const std::vector<MeasuredPreset>& set, const std::vector<PackedHit>& pack)
{
    std::vector<std::string> header = {"file", "note", "velocity", "length (s)", "gain (dB)"};
    for (const auto& [name, value] : set.front().sound.values)
        header.push_back(name);
    std::string md = Header(header);
    for (size_t i = 0; i < pack.size() && i < set.size(); ++i)
    {
        std::vector<std::string> row = {pack[i].file, std::to_string(kFeatureNote),
                                        std::to_string(kFeatureVelocity), Format("%.3f", pack[i].seconds),
                                        Format("%+.1f", pack[i].gainDb)};
        for (const auto& [name, value] : set[i].sound.values)
            row.push_back(Format("%g", value));
        md += Row(row);
    }
    return md;
}

} // namespace

std::string FeatureTableMarkdown(const std::vector<MeasuredPreset>& set,
                                 const std::vector<std::string>& failures, const std::vector<PackedHit>& pack)
{
    std::string md =
        "# Factory presets measured\n\n"
        "One hit per preset: note 38, velocity 127, rendered through the instrument at 48 kHz (loudness and "
        "peak "
        "also at 44.1 and 96 kHz). Pitch from whole cycles of the tonal part around 2, 20 and 50 ms after "
        "the "
        "note; fall times from each part's peak until it stays 60 dB below; centroid of the noise part's "
        "spectrum; noise share of the energy; onset as the first sample of each channel above -40 dB of the "
        "peak; mono loss as the loudness lost by (L + R) / 2; nearest as the RMS difference in dB over a "
        "third-octave by 5 ms spectrogram grid to the closest other preset; peak (the highest of the three "
        "rates) and EBU R128 integrated loudness (libebur128) of the whole sound.\n\n" +
        PresetTable(set) +
        "\n## Families\n\nMeans, except the latest onset, the worst mono loss and the closest "
        "pair within or from the family.\n\n" +
        FamilyTable(set) + "\nMedian loudness " + Format("%.2f", MedianLoudness(set, 0)) + " / " +
        Format("%.2f", MedianLoudness(set, 1)) + " / " + Format("%.2f", MedianLoudness(set, 2)) +
        " LUFS at 44.1 / 48 / 96 kHz.\n\n## Checks\n\n";
    if (failures.empty())
        md += "All rules kept: onsets within 3 ms, mono loss at most 3 LU, every two presets at least 8 dB "
              "apart, "
              "the 808, SDS and acoustic snare pitch tracks, loudness within 2 LU of the median and peaks at "
              "or "
              "below -0.3 dBFS at every rate, families ordered as named.\n";
    for (const std::string& failure : failures)
        md += "- FAILED: " + failure + "\n";
    if (!pack.empty())
        md += "\n## The sample pack\n\nEach file is one hit as 24-bit PCM at 48 kHz, from its first sample "
              "to 5 ms "
              "past the point where it stays 60 dB below its peak (faded over those 5 ms), normalised to a "
              "true "
              "peak of -1 dBFS by the gain shown. The settings are the preset's values.\n\n" +
              PackTable(set, pack);
    return md;
}
