#include "tools/render/PresetOptions.h"

#include <cerrno>
#include <cstdlib>

#include "instrument/PresetCatalogue.h"
#include "instrument/PresetFile.h"
#include "instrument/PresetLibrary.h"

namespace
{

const char kUsage[] =
    "\n"
    "Presets (with a scenario file or the one-shot options):\n"
    "  --preset FILE        restore a preset file's values before any other parameter\n"
    "  --preset-number N    the same for catalogue entry N (1 to 154) of the preset library\n"
    "  --library DIR        the library folder (default: the platform's preset library)\n";

bool ParseNumber(const char* text, int& number)
{
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (!*text || *end || errno == ERANGE || value < PresetCatalogue::kFirstNumber ||
        value > PresetCatalogue::kLastNumber)
        return false;
    number = static_cast<int>(value);
    return true;
}

} // namespace

const char* PresetOptionsUsageText()
{
    return kUsage;
}

bool ExtractPresetOptions(int argc, const char* const* argv, std::vector<const char*>& rest, PresetOption& option,
                          std::string& error)
{
    option = PresetOption();
    rest.clear();
    for (int i = 0; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if (argument != "--preset" && argument != "--preset-number" && argument != "--library")
        {
            rest.push_back(argv[i]);
            continue;
        }
        if (i + 1 >= argc)
        {
            error = argument + " needs a value (see --help)";
            return false;
        }
        const char* value = argv[++i];
        if (argument == "--preset")
            option.file = value;
        else if (argument == "--library")
            option.library = value;
        else if (!ParseNumber(value, option.number))
        {
            error = "--preset-number needs a catalogue number from 1 to 154, not '" + std::string(value) + "'";
            return false;
        }
    }
    if (!option.file.empty() && option.number != 0)
    {
        error = "--preset and --preset-number cannot be combined";
        return false;
    }
    return true;
}

bool ApplyPresetOption(const PresetOption& option, RenderScenario& scenario, std::string& error)
{
    std::string path = option.file;
    if (option.number != 0)
    {
        std::string library = option.library.empty() ? PresetLibrary::PresetLibraryFolder() : option.library;
        if (!library.empty() && library.back() != '/' && library.back() != '\\') library += '/';
        path = library + PresetCatalogue::EntryForNumber(option.number)->file;
    }
    if (path.empty()) return true;

    PresetFile::ReadValues values;
    if (!PresetFile::ReadFile(path, values))
    {
        error = "cannot read a preset from '" + path + "'";
        return false;
    }
    std::vector<std::pair<std::string, double>> presetParams;
    for (int i = 0; i < PresetFile::kValueCount; ++i)
        if (values[i]) presetParams.emplace_back(PresetFile::Tags()[i].name, *values[i]);
    scenario.params.insert(scenario.params.begin(), presetParams.begin(), presetParams.end());
    return true;
}
