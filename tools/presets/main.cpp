// kestrum-preset-features: measures the factory sound set and renders it as a sample pack.
//
//   kestrum-preset-features [--library DIR] [--out DIR] [--wav | --wav-float32] [--check]
//                           [--match-lufs L]
//
// Reads catalogue entries 1 to 54 from the library (default: the platform's library folder),
// writes DIR/features.md, with --wav also the sample pack DIR/<preset name>.wav (one hit each,
// 24-bit, trimmed and normalised), with --wav-float32 instead the instrument's exact output
// (two seconds of 32-bit float, as it plays), with --check exits 1 when the set breaks one of
// its rules, and with --match-lufs prints the MainVolume that would bring each preset to the
// given loudness at 48 kHz.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "instrument/PresetLibrary.h"
#include "tools/presets/FeatureTable.h"

namespace
{

enum class PackForm
{
    None,
    Pcm24,
    Float32,
};

bool WriteSamplePack(const std::vector<MeasuredPreset>& set, const std::string& out, PackForm form,
                     std::vector<PackedHit>& pack, std::string& error)
{
    for (const MeasuredPreset& p : set)
    {
        PackedHit hit;
        if (form == PackForm::Float32 ? !WriteFloatHit(p.sound, out, error)
                                      : !WritePackedHit(p.sound, out, hit, error))
            return false;
        if (form == PackForm::Pcm24)
            pack.push_back(hit);
    }
    return true;
}

double CurrentVolume(const PresetSound& sound)
{
    for (const auto& [name, value] : sound.values)
        if (name == "MainVolume")
            return value;
    return 0.8;
}

void PrintSet(const std::vector<MeasuredPreset>& set, bool match, double matchLufs)
{
    for (const MeasuredPreset& p : set)
    {
        const PresetFeatures& f = p.features;
        const double lufs = f.loudnessLufs[kFeatureRateIndex];
        std::printf("%-24s pitch %4.0f/%4.0f/%4.0f Hz  fall %4.0f/%4.0f ms  centroid %5.0f Hz  noise %.2f  "
                    "onset %.1f/%.1f ms  mono -%.1f LU  nearest %4.1f dB (%s)  peak %6.2f  %6.2f LUFS",
                    p.sound.name.c_str(), f.pitchAt2msHz, f.pitchAt20msHz, f.pitchAt50msHz, f.tonalFallMs,
                    f.noiseFallMs, f.noiseCentroidHz, f.noiseShare, f.onsetLeftMs, f.onsetRightMs,
                    f.monoLossLu, p.nearestDb, p.nearest.c_str(), f.peakDbfs[kFeatureRateIndex], lufs);
        if (match)
            std::printf("  -> MainVolume %.4f",
                        CurrentVolume(p.sound) * std::pow(10.0, (matchLufs - lufs) / 20.0));
        std::printf("\n");
    }
    std::printf("median loudness %.2f LUFS\n", MedianLoudness(set, kFeatureRateIndex));
}

} // namespace

int main(int argc, char** argv)
{
    std::string library = PresetLibrary::PresetLibraryFolder();
    std::string out;
    PackForm form = PackForm::None;
    bool check = false, match = false;
    double matchLufs = 0.0;
    for (int i = 1; i < argc; ++i)
    {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--library" && hasValue)
            library = argv[++i];
        else if (argument == "--out" && hasValue)
            out = argv[++i];
        else if (argument == "--wav")
            form = PackForm::Pcm24;
        else if (argument == "--wav-float32")
            form = PackForm::Float32;
        else if (argument == "--check")
            check = true;
        else if (argument == "--match-lufs" && hasValue)
        {
            match = true;
            matchLufs = std::atof(argv[++i]);
        }
        else
        {
            std::fprintf(stderr, "kestrum-preset-features: unknown or incomplete option %s\n",
                         argument.c_str());
            return 2;
        }
    }
    if (!library.empty() && library.back() != '/' && library.back() != '\\')
        library += '/';
    if (!out.empty() && out.back() != '/' && out.back() != '\\')
        out += '/';

    std::vector<MeasuredPreset> set;
    std::string error;
    if (!MeasureFactorySet(library, set, error))
    {
        std::fprintf(stderr, "kestrum-preset-features: %s\n", error.c_str());
        return 1;
    }
    const std::vector<std::string> failures = CheckFactorySet(set);
    if (!out.empty())
    {
        std::vector<PackedHit> pack;
        if (form != PackForm::None && !WriteSamplePack(set, out, form, pack, error))
        {
            std::fprintf(stderr, "kestrum-preset-features: %s\n", error.c_str());
            return 1;
        }
        std::ofstream(out + "features.md") << FeatureTableMarkdown(set, failures, pack);
    }
    PrintSet(set, match, matchLufs);
    for (const std::string& failure : failures)
        std::printf("FAILED: %s\n", failure.c_str());
    return check && !failures.empty() ? 1 : 0;
}
