#pragma once
// The job kestrum-render was asked to do (RenderCommandLine.h parses it from the command
// line). OUT ending in .wav is a stereo IEEE-float WAV file (32-bit, or 64-bit with
// --bits 64); OUT ending in .f64 is raw interleaved little-endian float64.

#include <string>
#include <vector>

#include "tools/render/AudioFileWriter.h"
#include "tools/render/RenderScenario.h"

struct RenderJob
{
    bool showHelp = false;
    bool showVersion = false;
    std::string scenarioPath; // empty in one-shot mode
    RenderScenario scenario;  // the one-shot scenario, or the file's once loaded
    std::string outputPath;
    AudioFileFormat format = AudioFileFormat::WavFloat32;
};

// Checks what can be checked of the output before anything is read or rendered: its folder
// exists, it is not a folder (or a device), and it is none of the files the job reads
// (the scenario, the preset), which writing would replace.
bool CheckRenderOutput(const RenderJob& job, const std::vector<std::string>& inputs, std::string& error);

// Reads and parses the job's scenario file.
bool LoadRenderScenarioFile(RenderJob& job, std::string& error);

// Renders the job's scenario into its output file; on failure nothing is left at the
// output path that was not there before.
bool RunRenderJob(const RenderJob& job, std::string& error);
