// kestrum-preset-features: measures the factory sound set and renders it as a sample pack.
//
//   kestrum-preset-features [--library DIR] [--out DIR] [--wav] [--check] [--match-lufs L]
//
// Reads catalogue entries 1 to 54 from the library (default: the platform's library folder),
// writes DIR/features.md, with --wav also DIR/<preset name>.wav (one hit each), with --check
// exits 1 when the set breaks one of its rules, and with --match-lufs prints the MainVolume
// that would bring each preset to the given loudness.

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "instrument/PresetLibrary.h"
#include "tools/presets/PresetSet.h"
#include "tools/render/AudioFileWriter.h"

namespace
{

bool WriteSamplePack(const std::vector<MeasuredPreset>& set, const std::string& out, std::string& error)
{
    for (const MeasuredPreset& p : set)
    {
        std::vector<double> left, right;
        AudioFileWriter writer;
        const std::string path = out + p.sound.name + ".wav";
        if (!RenderHit(p.sound, {}, left, right, error) ||
            !writer.Open(path, AudioFileFormat::WavFloat32, kFeatureSampleRate, static_cast<int64_t>(left.size()),
                         error) ||
            !writer.WriteFrames(left.data(), right.data(), static_cast<int32_t>(left.size()), error) ||
            !writer.Commit(error))
            return false;
    }
    return true;
}

double CurrentVolume(const PresetSound& sound)
{
    for (const auto& [name, value] : sound.values)
        if (name == "MainVolume") return value;
    return 0.8;
}

} // namespace

int main(int argc, char** argv)
{
    std::string library = PresetLibrary::PresetLibraryFolder();
    std::string out;
    bool wav = false, check = false, match = false;
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
            wav = true;
        else if (argument == "--check")
            check = true;
        else if (argument == "--match-lufs" && hasValue)
        {
            match = true;
            matchLufs = std::atof(argv[++i]);
        }
        else
        {
            std::fprintf(stderr, "kestrum-preset-features: unknown or incomplete option %s\n", argument.c_str());
            return 2;
        }
    }
    if (!library.empty() && library.back() != '/' && library.back() != '\\') library += '/';
    if (!out.empty() && out.back() != '/' && out.back() != '\\') out += '/';

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
        std::ofstream(out + "features.md") << FeatureTableMarkdown(set, failures);
        if (wav && !WriteSamplePack(set, out, error))
        {
            std::fprintf(stderr, "kestrum-preset-features: %s\n", error.c_str());
            return 1;
        }
    }
    for (const MeasuredPreset& p : set)
    {
        const PresetFeatures& f = p.features;
        std::printf("%-24s pitch %6.1f/%6.1f Hz  fall %4.0f/%4.0f ms  centroid %5.0f Hz  noise %.2f  peak %6.2f  "
                    "%6.2f LUFS",
                    p.sound.name.c_str(), f.onsetPitchHz, f.pitchAt50msHz, f.tonalFallMs, f.noiseFallMs,
                    f.noiseCentroidHz, f.noiseShare, f.peakDbfs, f.loudnessLufs);
        if (match) std::printf("  -> MainVolume %.4f", CurrentVolume(p.sound) * std::pow(10.0, (matchLufs - f.loudnessLufs) / 20.0));
        std::printf("\n");
    }
    std::printf("median loudness %.2f LUFS\n", MedianLoudness(set));
    for (const std::string& failure : failures) std::printf("FAILED: %s\n", failure.c_str());
    return check && !failures.empty() ? 1 : 0;
}
