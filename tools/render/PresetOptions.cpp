#include "tools/render/PresetOptions.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "instrument/PresetCatalogue.h"
#include "instrument/PresetFile.h"
#include "instrument/PresetLibrary.h"
#include "tools/render/ErrorText.h"
#include "tools/render/RenderFiles.h"

namespace
{

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

std::string Quoted(const std::string& path) { return QuotedExcerpt(path, kPathExcerptBytes); }

bool CheckLibraryFolder(const std::string& library, std::string& error)
{
    const RenderFiles::PathKind kind = RenderFiles::KindOf(library);
    if (kind == RenderFiles::PathKind::Folder)
        return true;
    error = "the library folder " + Quoted(library) +
            (kind == RenderFiles::PathKind::Missing ? " does not exist" : " is not a folder");
    return false;
}

// Why a preset's last line could not be read.
std::string WhyUnreadable(const std::string& path)
{
    switch (RenderFiles::KindOf(path))
    {
        case RenderFiles::PathKind::Missing: return "it does not exist";
        case RenderFiles::PathKind::Folder: return "it is a folder";
        case RenderFiles::PathKind::Other: return "it is not a regular file";
        case RenderFiles::PathKind::RegularFile: break;
    }
    return "it cannot be read, or its last line is longer than " + std::to_string(PresetFile::kMaxLineBytes) +
           " bytes";
}

bool IsEmptyFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::file_size(path, error) == 0 && !error;
}

// A value such as "0,5" reads as 0: the file's reader knows only the decimal point.
bool StartsWithDecimalComma(const std::string& line, size_t start)
{
    size_t i = start;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    if (i < line.size() && (line[i] == '+' || line[i] == '-'))
        ++i;
    const size_t digits = i;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9')
        ++i;
    return i > digits && i + 1 < line.size() && line[i] == ',' && line[i + 1] >= '0' && line[i + 1] <= '9';
}

void WarnAboutDecimalCommas(const std::string& path, const std::string& line,
                            const PresetFile::ReadValues& values, std::vector<std::string>& warnings)
{
    for (int i = 0; i < PresetFile::kValueCount; ++i)
    {
        if (!values[i])
            continue;
        const std::string opening = std::string("<") + PresetFile::Tags()[i].name + ">";
        const size_t start = line.find(opening) + opening.size();
        if (!StartsWithDecimalComma(line, start))
            continue;
        const std::string text = line.substr(start, line.find('<', start) - start);
        warnings.push_back(opening + " in " + Quoted(path) + " holds " + QuotedExcerpt(text) +
                           ", which reads as " + PresetFile::FormatValue(*values[i]) +
                           ": write the decimal point as \".\"");
    }
}

bool ReadPresetValues(const std::string& path, PresetFile::ReadValues& values,
                      std::vector<std::string>& warnings, std::string& error)
{
    std::string line;
    if (!PresetFile::ReadLastLine(path, line))
    {
        error = "cannot read a preset from " + Quoted(path) + ": " + WhyUnreadable(path);
        return false;
    }
    if (line.empty())
    {
        error = "cannot read a preset from " + Quoted(path) + ": " +
                (IsEmptyFile(path) ? "the file is empty"
                                   : "its last line is empty: the file ends with a line break");
        return false;
    }
    values = PresetFile::ParseLine(line);
    bool any = false;
    for (const auto& value : values)
        any = any || value.has_value();
    if (!any)
    {
        error = "no preset values in " + Quoted(path) +
                " (a preset holds values such as <MainVolume>0.8</MainVolume>)";
        return false;
    }
    WarnAboutDecimalCommas(path, line, values, warnings);
    return true;
}

} // namespace

std::string PresetOptionsUsageText()
{
    const std::string library = PresetLibrary::PresetLibraryFolder();
    return "\n"
           "Presets (with a scenario file or the one-shot options):\n"
           "  --preset FILE        restore a preset file's values before any other parameter\n"
           "  --preset-number N    the same for catalogue entry N (1 to 154) of the preset library\n"
           "  --library DIR        the library folder for --preset-number, instead of the default:\n"
           "                       " +
           (library.empty() ? std::string("(none: the system names no shared documents folder)") : library) +
           "\n";
}

bool ExtractPresetOptions(int argc, const char* const* argv, std::vector<const char*>& rest,
                          PresetOption& option, std::string& error)
{
    option = PresetOption();
    rest.clear();
    bool libraryGiven = false;
    for (int i = 0; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if (argument != "--preset" && argument != "--preset-number" && argument != "--library")
        {
            rest.push_back(argv[i]);
            continue;
        }
        if (i + 1 >= argc || !*argv[i + 1])
        {
            error = argument + " needs a value (see --help)";
            return false;
        }
        const char* value = argv[++i];
        if (argument == "--preset")
        {
            option.file = value;
        }
        else if (argument == "--library")
        {
            option.library = value;
            libraryGiven = true;
        }
        else if (!ParseNumber(value, option.number))
        {
            error = "--preset-number needs a catalogue number from 1 to 154, not " + QuotedExcerpt(value);
            return false;
        }
    }
    if (!option.file.empty() && option.number != 0)
    {
        error = "--preset and --preset-number cannot be combined";
        return false;
    }
    if (libraryGiven && option.number == 0)
    {
        error = "--library applies only with --preset-number (see --help)";
        return false;
    }
    return true;
}

std::string PresetOptionPath(const PresetOption& option)
{
    if (option.number == 0)
        return option.file;
    std::string library = option.library.empty() ? PresetLibrary::PresetLibraryFolder() : option.library;
    if (!library.empty() && library.back() != '/' && library.back() != '\\')
        library += '/';
    return library + PresetCatalogue::EntryForNumber(option.number)->file;
}

bool ApplyPresetOption(const PresetOption& option, RenderScenario& scenario,
                       std::vector<std::string>& warnings, std::string& error)
{
    if (!option.library.empty() && !CheckLibraryFolder(option.library, error))
        return false;
    const std::string path = PresetOptionPath(option);
    if (path.empty())
        return true;

    PresetFile::ReadValues values;
    if (!ReadPresetValues(path, values, warnings, error))
        return false;
    std::vector<std::pair<std::string, double>> presetParams;
    for (int i = 0; i < PresetFile::kValueCount; ++i)
        if (values[i])
            presetParams.emplace_back(PresetFile::Tags()[i].name, *values[i]);
    scenario.params.insert(scenario.params.begin(), presetParams.begin(), presetParams.end());
    return true;
}
