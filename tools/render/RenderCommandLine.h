#pragma once
// The command line of kestrum-render and the exit statuses it ends with.
//
//   kestrum-render [--bits 32|64] SCENARIO.json OUT
//   kestrum-render [one-shot options] OUT
//   kestrum-render --help | --version
//
// Each option with a value has its own handler; the preset options are taken out first
// (PresetOptions.h).

#include <string>

#include "tools/render/RenderJob.h"

// What the program's exit status says. An interrupted render ends by its signal, which a
// shell reports as 128 + the signal number (143 for SIGTERM).
enum RenderExitStatus : int
{
    kExitRendered = 0,
    kExitBadInput = 1, // a file that cannot be read or written, or holds something wrong
    kExitBadUsage = 2, // the command line itself is wrong
};

// The usage text printed by --help, without the parameter list (RenderHelpDetails).
const char* RenderUsageText();

// "kestrum-render VERSION (build BUILD)", from the product's identity.
std::string RenderVersionText();

// Parses the arguments (without the program name). One-shot options build the scenario
// directly; a scenario file is only named here and read by LoadRenderScenarioFile.
bool ParseRenderCommandLine(int argc, const char* const* argv, RenderJob& job, std::string& error);
