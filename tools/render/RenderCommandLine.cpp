#include "tools/render/RenderCommandLine.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "framework/MidiMessage.h"
#include "framework/ProductIdentity.h"
#include "tools/render/ErrorText.h"

namespace
{

constexpr uint8_t kNoteOnChannel1 = MidiStatus(kMidiNoteOn, 0);
constexpr uint8_t kNoteOffChannel1 = MidiStatus(kMidiNoteOff, 0);

const char kUsage[] =
    "Usage:\n"
    "  kestrum-render [--bits 32|64] SCENARIO.json OUT\n"
    "  kestrum-render [--note N] [--velocity V] [--seconds S] [--gate S] [--set NAME=VALUE]...\n"
    "                 [--rate HZ] [--block N] [--tempo BPM] [--bits 32|64] OUT\n"
    "  kestrum-render --help | --version\n"
    "\n"
    "Renders the Kestrum snare instrument offline. OUT ending in .wav is a stereo IEEE-float\n"
    "WAV file (32-bit samples, 64-bit with --bits 64); OUT ending in .f64 is raw interleaved\n"
    "little-endian float64 (L0 R0 L1 R1 ...). No dithering, no normalisation. OUT appears only\n"
    "once the render is complete; its folder must exist, and OUT must not be a folder or one of\n"
    "the files the render reads.\n"
    "\n"
    "Scenario file (JSON; every key optional):\n"
    "  {\"sample_rate\": 44100, \"block\": 512, \"frames\": 88200, \"tempo\": 120,\n"
    "   \"params\": {\"TonalPitchAmt\": 0.3},\n"
    "   \"events\": [{\"frame\": 0, \"status\": 144, \"d1\": 60, \"d2\": 100}]}\n"
    "  Defaults: 44100 Hz, blocks of 512 frames, 2 seconds, 120 BPM, no parameters, no events.\n"
    "  params are plain values by parameter name, restored in file order before rendering.\n"
    "  Events are MIDI messages at absolute frames; each goes, in file order, to the block\n"
    "  that holds its frame. status, d1 and d2 are 0 to 255 (d1, d2 default 0; status bytes\n"
    "  below 128 are passed on and ignored by the instrument). Events at or beyond the end\n"
    "  of the render are not sent.\n"
    "  Limits: the file is a regular file (no pipe or device) of at most 8 MiB (8388608\n"
    "  bytes), nested at most 16 levels deep; no object has more than 256 keys and no array\n"
    "  more than 1048576 elements, so at most 256 params and 1048576 events.\n"
    "\n"
    "One-shot options (a single hit, note-on at frame 0):\n"
    "  --note N          MIDI note 0 to 127 (default 60; the pitch does not follow it)\n"
    "  --velocity V      1 to 127 (default 100)\n"
    "  --seconds S       length of the render (default 1)\n"
    "  --gate S          send the note-off after S seconds; by default the key stays down for\n"
    "                    the whole render and the hit decays on its own\n"
    "  --set NAME=VALUE  a parameter's plain value, e.g. --set TonalEnvDecay=0.7 (repeatable)\n"
    "  --rate HZ         sample rate (default 44100)\n"
    "  --block N         frames per block (default 512)\n"
    "  --tempo BPM       host tempo (default 120)\n";

bool ParseDouble(const std::string& text, const std::string& what, double& out, std::string& error)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    out = std::strtod(begin, &end);
    if (text.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(out))
    {
        error = what + " needs a number, not " + QuotedExcerpt(text);
        return false;
    }
    return true;
}

bool ParseInteger(const std::string& text, const std::string& what, long long minimum, long long maximum,
                  long long& out, std::string& error)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    out = std::strtoll(begin, &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || out < minimum || out > maximum)
    {
        error = what + " needs an integer from " + std::to_string(minimum) + " to " +
                std::to_string(maximum) + ", not " + QuotedExcerpt(text);
        return false;
    }
    return true;
}

bool EndsWithIgnoringCase(const std::string& text, const char* suffix)
{
    const size_t length = std::strlen(suffix);
    if (text.size() < length)
        return false;
    for (size_t i = 0; i < length; ++i)
    {
        const char c = text[text.size() - length + i];
        if (std::tolower(static_cast<unsigned char>(c)) != suffix[i])
            return false;
    }
    return true;
}

bool ChooseFormat(const std::string& outputPath, int bits, AudioFileFormat& format, std::string& error)
{
    if (EndsWithIgnoringCase(outputPath, ".wav"))
    {
        format = bits == 64 ? AudioFileFormat::WavFloat64 : AudioFileFormat::WavFloat32;
        return true;
    }
    if (EndsWithIgnoringCase(outputPath, ".f64"))
    {
        if (bits == 32)
        {
            error = "--bits 32 does not apply to .f64 output, which is always 64-bit";
            return false;
        }
        format = AudioFileFormat::RawFloat64;
        return true;
    }
    error = "the output file name must end in .wav or .f64: " + QuotedExcerpt(outputPath, kPathExcerptBytes);
    return false;
}

struct OneShot
{
    bool used = false;
    long long note = 60;
    long long velocity = 100;
    double seconds = 1.0;
    double gateSeconds = -1.0; // below 0: no note-off
};

bool BuildOneShotScenario(const OneShot& shot, RenderScenario& scenario, std::string& error)
{
    if (!RenderScenario::IsValidSampleRate(scenario.sampleRate))
        return scenario.Validate(error); // names the bad rate
    if (!(shot.seconds > 0.0))
    {
        error = "--seconds must be above 0";
        return false;
    }
    const double frames = std::round(shot.seconds * scenario.sampleRate);
    if (!(frames >= 1.0 && frames < 9e18))
    {
        error = "--seconds gives no frames to render at this rate";
        return false;
    }
    scenario.frames = static_cast<int64_t>(frames);
    ScenarioEvent noteOn;
    noteOn.status = kNoteOnChannel1;
    noteOn.data1 = static_cast<uint8_t>(shot.note);
    noteOn.data2 = static_cast<uint8_t>(shot.velocity);
    scenario.events.push_back(noteOn);
    if (shot.gateSeconds >= 0.0)
    {
        ScenarioEvent noteOff = noteOn;
        noteOff.status = kNoteOffChannel1;
        noteOff.data2 = 0;
        noteOff.frame =
            static_cast<int64_t>(std::min(std::round(shot.gateSeconds * scenario.sampleRate), frames));
        scenario.events.push_back(noteOff);
    }
    return true;
}

// What the arguments have said so far.
struct CommandLine
{
    explicit CommandLine(RenderJob& jobToFill) : job(jobToFill) {}

    RenderJob& job;
    OneShot shot;
    int bits = 0;
    std::vector<std::string> positional;
};

// One option that takes a value: its handler checks the value and records it.
using OptionHandler = bool (*)(const std::string& value, CommandLine& line, std::string& error);

struct ValueOption
{
    const char* name;
    bool oneShot; // only for a one-shot render, not with a scenario file
    OptionHandler handle;
};

bool HandleBits(const std::string& value, CommandLine& line, std::string& error)
{
    long long bits = 0;
    if (!ParseInteger(value, "--bits", 32, 64, bits, error) || (bits != 32 && bits != 64))
    {
        error = "--bits must be 32 or 64, not " + QuotedExcerpt(value);
        return false;
    }
    line.bits = static_cast<int>(bits);
    return true;
}

bool HandleNote(const std::string& value, CommandLine& line, std::string& error)
{
    return ParseInteger(value, "--note", 0, 127, line.shot.note, error);
}

bool HandleVelocity(const std::string& value, CommandLine& line, std::string& error)
{
    return ParseInteger(value, "--velocity", 1, 127, line.shot.velocity, error);
}

bool HandleSeconds(const std::string& value, CommandLine& line, std::string& error)
{
    return ParseDouble(value, "--seconds", line.shot.seconds, error);
}

bool HandleGate(const std::string& value, CommandLine& line, std::string& error)
{
    if (!ParseDouble(value, "--gate", line.shot.gateSeconds, error))
        return false;
    if (line.shot.gateSeconds < 0.0)
    {
        error = "--gate must not be negative";
        return false;
    }
    return true;
}

bool HandleSet(const std::string& value, CommandLine& line, std::string& error)
{
    const size_t equals = value.find('=');
    if (equals == std::string::npos || equals == 0)
    {
        error = "--set needs NAME=VALUE, not " + QuotedExcerpt(value);
        return false;
    }
    const std::string name = value.substr(0, equals);
    double plainValue = 0.0;
    if (!ParseDouble(value.substr(equals + 1), "--set " + QuotedExcerpt(name), plainValue, error))
        return false;
    line.job.scenario.params.emplace_back(name, plainValue);
    return true;
}

bool HandleRate(const std::string& value, CommandLine& line, std::string& error)
{
    return ParseDouble(value, "--rate", line.job.scenario.sampleRate, error);
}

bool HandleBlock(const std::string& value, CommandLine& line, std::string& error)
{
    long long frames = 0;
    if (!ParseInteger(value, "--block", 1, RenderScenario::kMaxBlockFrames, frames, error))
        return false;
    line.job.scenario.blockFrames = static_cast<int32_t>(frames);
    return true;
}

bool HandleTempo(const std::string& value, CommandLine& line, std::string& error)
{
    return ParseDouble(value, "--tempo", line.job.scenario.tempoBpm, error);
}

const ValueOption kValueOptions[] = {
    {"--bits", false, HandleBits},      {"--note", true, HandleNote},   {"--velocity", true, HandleVelocity},
    {"--seconds", true, HandleSeconds}, {"--gate", true, HandleGate},   {"--set", true, HandleSet},
    {"--rate", true, HandleRate},       {"--block", true, HandleBlock}, {"--tempo", true, HandleTempo},
};

const ValueOption* FindValueOption(const std::string& argument)
{
    for (const ValueOption& option : kValueOptions)
    {
        if (argument == option.name)
            return &option;
    }
    return nullptr;
}

bool IsOption(const std::string& argument)
{
    return argument.size() >= 2 && argument.compare(0, 2, "--") == 0;
}

// The file names: a scenario and an output, or an output alone for a one-shot render.
bool TakeFileNames(CommandLine& line, std::string& error)
{
    RenderJob& job = line.job;
    if (line.positional.size() == 2)
    {
        if (line.shot.used)
        {
            error = "one-shot options cannot be combined with a scenario file";
            return false;
        }
        job.scenarioPath = line.positional[0];
        job.outputPath = line.positional[1];
    }
    else if (line.positional.size() == 1)
    {
        job.outputPath = line.positional[0];
    }
    else
    {
        error =
            line.positional.empty() ? "no output file given (see --help)" : "too many arguments (see --help)";
        return false;
    }
    if (!ChooseFormat(job.outputPath, line.bits, job.format, error))
        return false;
    if (!job.scenarioPath.empty())
        return true;
    return BuildOneShotScenario(line.shot, job.scenario, error) && job.scenario.Validate(error);
}

} // namespace

const char* RenderUsageText() { return kUsage; }

std::string RenderVersionText()
{
    return std::string("kestrum-render ") + ProductIdentity::kVersionText + " (build " +
           ProductIdentity::kBuildText + ")";
}

bool ParseRenderCommandLine(int argc, const char* const* argv, RenderJob& job, std::string& error)
{
    job = RenderJob();
    CommandLine line(job);
    for (int i = 0; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h")
        {
            job.showHelp = true;
            return true;
        }
        if (argument == "--version")
        {
            job.showVersion = true;
            return true;
        }
        if (!IsOption(argument))
        {
            line.positional.push_back(argument);
            continue;
        }
        const ValueOption* option = FindValueOption(argument);
        if (!option)
        {
            error = "unknown option " + QuotedExcerpt(argument) + " (see --help)";
            return false;
        }
        if (i + 1 >= argc)
        {
            error = argument + " needs a value (see --help)";
            return false;
        }
        line.shot.used = line.shot.used || option->oneShot;
        if (!option->handle(argv[++i], line, error))
            return false;
    }
    return TakeFileNames(line, error);
}
