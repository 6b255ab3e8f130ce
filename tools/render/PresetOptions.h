#pragma once
// kestrum-render's preset options: play a preset file, or a catalogue entry from a library.
//
//   --preset FILE        the preset file's values are restored before the scenario's own
//   --preset-number N    catalogue entry N (1 to 154) from the library folder
//   --library DIR        the library folder for --preset-number (default: the platform's)
//
// They combine with both a scenario file and the one-shot options; values given with --set
// or in the scenario's "params" are restored after the preset's, so they win. A preset that
// gives no value at all is refused rather than rendered as the default sound.

#include <string>
#include <vector>

#include "tools/render/RenderScenario.h"

struct PresetOption
{
    std::string file;    // --preset
    int number = 0;      // --preset-number; 0 when not given
    std::string library; // --library; empty for the platform's folder
};

// The usage lines for --help, with the platform's library folder.
std::string PresetOptionsUsageText();

// Takes the preset options out of the arguments; everything else is left in `rest`, in order.
bool ExtractPresetOptions(int argc, const char* const* argv, std::vector<const char*>& rest,
                          PresetOption& option, std::string& error);

// The preset file the option names, empty without preset options.
std::string PresetOptionPath(const PresetOption& option);

// Reads the preset the option names and puts its values before the scenario's parameters.
// Nothing to do without preset options. Values that read, but probably not as their writer
// meant (a decimal comma), add one line each to warnings.
bool ApplyPresetOption(const PresetOption& option, RenderScenario& scenario,
                       std::vector<std::string>& warnings, std::string& error);
