#pragma once
// kestrum-render's preset options: play a preset file, or a catalogue entry from a library.
//
//   --preset FILE        the preset file's values are restored before the scenario's own
//   --preset-number N    catalogue entry N (1 to 154) from the library folder
//   --library DIR        the library folder for --preset-number (default: the platform's)
//
// They combine with both a scenario file and the one-shot options; values given with --set
// or in the scenario's "params" are restored after the preset's, so they win.

#include <string>
#include <vector>

#include "tools/render/RenderScenario.h"

struct PresetOption
{
    std::string file;   // --preset
    int number = 0;     // --preset-number; 0 when not given
    std::string library; // --library; empty for the platform's folder
};

// The usage lines for --help.
const char* PresetOptionsUsageText();

// Takes the preset options out of the arguments; everything else is left in `rest`, in order.
bool ExtractPresetOptions(int argc, const char* const* argv, std::vector<const char*>& rest, PresetOption& option,
                          std::string& error);

// Reads the preset the option names and puts its values before the scenario's parameters.
// Nothing to do without preset options.
bool ApplyPresetOption(const PresetOption& option, RenderScenario& scenario, std::string& error);
