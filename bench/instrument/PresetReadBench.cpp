// What a preset change costs on the audio thread when a host automates the preset selector:
// the whole reaction (voice reset, catalogue path, reading the file's last line through the
// instance's buffer, applying the eleven values) for a factory preset as shipped, and the
// file read alone. The file lies in a temporary library folder, so it comes from the
// system's file cache, as a preset the user has just been browsing does.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "instrument/Kestrum.h"
#include "instrument/PresetFile.h"

namespace
{

namespace fs = std::filesystem;

constexpr const char* kWelcomeFile = "Factory/WLCM - Beating Heart.kestrumpreset";

// A library folder with the welcome preset in it, removed again when the benchmark ends.
class TemporaryLibrary
{
public:
    TemporaryLibrary()
    {
        fs::create_directories(mFolder + "Factory");
        PresetFile::Values values{};
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = 0.123456 + 0.05 * static_cast<double>(i);
        std::ofstream(mFolder + kWelcomeFile, std::ios::binary) << PresetFile::Format(values);
    }
    ~TemporaryLibrary() { fs::remove_all(mFolder); }
    const std::string& Folder() const { return mFolder; }

private:
    std::string mFolder = (fs::temp_directory_path() / "kestrum-preset-bench/").string();
};

void BM_PresetSelectorChange(benchmark::State& state)
{
    const TemporaryLibrary library;
    auto plug = std::make_unique<Kestrum>();
    plug->SetPresetLibraryFolder(library.Folder());
    for (auto _ : state)
        plug->SetParameterFromHost(kPresetSelector, 1.0, false); // catalogue number 1
    if (plug->Presets().Name() != "WLCM - Beating Heart")
        state.SkipWithError("the preset was not read");
}
BENCHMARK(BM_PresetSelectorChange);

void BM_PresetFileRead(benchmark::State& state)
{
    const TemporaryLibrary library;
    const std::string path = library.Folder() + kWelcomeFile;
    const std::unique_ptr<char[]> buffer(new char[PresetFile::kMaxLineBytes]);
    PresetFile::ReadValues values;
    for (auto _ : state)
    {
        const bool read = PresetFile::ReadFile(path.c_str(), buffer.get(), PresetFile::kMaxLineBytes, values);
        benchmark::DoNotOptimize(read);
    }
}
BENCHMARK(BM_PresetFileRead);

} // namespace
