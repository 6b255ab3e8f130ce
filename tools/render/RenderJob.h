#pragma once
// The command line of kestrum-render and the job it describes.
//
//   kestrum-render [--bits 32|64] SCENARIO.json OUT
//   kestrum-render [one-shot options] OUT
//   kestrum-render --help
//
// OUT ending in .wav is a stereo IEEE-float WAV file (32-bit, or 64-bit with --bits 64);
// OUT ending in .f64 is raw interleaved little-endian float64.

#include <string>

#include "tools/render/AudioFileWriter.h"
#include "tools/render/RenderScenario.h"

struct RenderJob
{
    bool showHelp = false;
    std::string scenarioPath; // empty in one-shot mode
    RenderScenario scenario;  // the one-shot scenario, or the file's once loaded
    std::string outputPath;
    AudioFileFormat format = AudioFileFormat::WavFloat32;
};

// The usage text printed by --help.
const char* RenderUsageText();

// Parses the arguments (without the program name). One-shot options build the scenario
// directly; a scenario file is only named here and read by LoadRenderScenarioFile.
bool ParseRenderCommandLine(int argc, const char* const* argv, RenderJob& job, std::string& error);

// Reads and parses the job's scenario file.
bool LoadRenderScenarioFile(RenderJob& job, std::string& error);

// Renders the job's scenario into its output file; on failure nothing is left at the
// output path that was not there before.
bool RunRenderJob(const RenderJob& job, std::string& error);
