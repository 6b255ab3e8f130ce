#include "tools/render/RenderJob.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "tools/render/ErrorText.h"
#include "tools/render/OfflineRenderer.h"
#include "tools/render/RenderInterrupt.h"

namespace
{

constexpr uint8_t kNoteOnChannel1 = 0x90;
constexpr uint8_t kNoteOffChannel1 = 0x80;

const char kUsage[] =
    "Usage:\n"
    "  kestrum-render [--bits 32|64] SCENARIO.json OUT\n"
    "  kestrum-render [--note N] [--velocity V] [--seconds S] [--gate S] [--set NAME=VALUE]...\n"
    "                 [--rate HZ] [--block N] [--tempo BPM] [--bits 32|64] OUT\n"
    "  kestrum-render --help\n"
    "\n"
    "Renders the Kestrum snare instrument offline. OUT ending in .wav is a stereo IEEE-float\n"
    "WAV file (32-bit samples, 64-bit with --bits 64); OUT ending in .f64 is raw interleaved\n"
    "little-endian float64 (L0 R0 L1 R1 ...). No dithering, no normalisation.\n"
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
    if (text.size() < length) return false;
    for (size_t i = 0; i < length; ++i)
    {
        const char c = text[text.size() - length + i];
        if (std::tolower(static_cast<unsigned char>(c)) != suffix[i]) return false;
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

// Reads the whole file, refusing it as soon as it grows past what a scenario may hold:
// a device such as /dev/zero or a named pipe never ends.
bool ReadScenarioText(const std::string& path, std::string& text, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
    {
        error = "cannot read the scenario file";
        return false;
    }
    text.clear();
    char chunk[1 << 16];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0)
    {
        text.append(chunk, static_cast<size_t>(file.gcount()));
        if (text.size() > RenderScenario::kMaxScenarioBytes)
        {
            error = "the scenario file is larger than " + std::to_string(RenderScenario::kMaxScenarioBytes) +
                    " bytes";
            return false;
        }
    }
    if (file.bad())
    {
        error = "cannot read the scenario file";
        return false;
    }
    return true;
}

} // namespace

const char* RenderUsageText()
{
    return kUsage;
}

bool ParseRenderCommandLine(int argc, const char* const* argv, RenderJob& job, std::string& error)
{
    job = RenderJob();
    OneShot shot;
    int bits = 0;
    std::vector<std::string> positional;
    for (int i = 0; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h")
        {
            job.showHelp = true;
            return true;
        }
        if (argument.size() < 2 || argument.compare(0, 2, "--") != 0)
        {
            positional.push_back(argument);
            continue;
        }
        if (i + 1 >= argc)
        {
            error = QuotedExcerpt(argument) + " needs a value (see --help)";
            return false;
        }
        const std::string value = argv[++i];
        long long integer = 0;
        if (argument == "--bits")
        {
            if (!ParseInteger(value, argument, 32, 64, integer, error) || (integer != 32 && integer != 64))
            {
                error = "--bits must be 32 or 64, not " + QuotedExcerpt(value);
                return false;
            }
            bits = static_cast<int>(integer);
            continue;
        }
        shot.used = true;
        if (argument == "--note")
        {
            if (!ParseInteger(value, argument, 0, 127, shot.note, error)) return false;
        }
        else if (argument == "--velocity")
        {
            if (!ParseInteger(value, argument, 1, 127, shot.velocity, error)) return false;
        }
        else if (argument == "--seconds")
        {
            if (!ParseDouble(value, argument, shot.seconds, error)) return false;
        }
        else if (argument == "--gate")
        {
            if (!ParseDouble(value, argument, shot.gateSeconds, error)) return false;
            if (shot.gateSeconds < 0.0)
            {
                error = "--gate must not be negative";
                return false;
            }
        }
        else if (argument == "--set")
        {
            const size_t equals = value.find('=');
            double paramValue = 0.0;
            if (equals == std::string::npos || equals == 0)
            {
                error = "--set needs NAME=VALUE, not " + QuotedExcerpt(value);
                return false;
            }
            if (!ParseDouble(value.substr(equals + 1), "--set " + QuotedExcerpt(value.substr(0, equals)), paramValue,
                             error))
                return false;
            job.scenario.params.emplace_back(value.substr(0, equals), paramValue);
        }
        else if (argument == "--rate")
        {
            if (!ParseDouble(value, argument, job.scenario.sampleRate, error)) return false;
        }
        else if (argument == "--block")
        {
            if (!ParseInteger(value, argument, 1, RenderScenario::kMaxBlockFrames, integer, error))
                return false;
            job.scenario.blockFrames = static_cast<int32_t>(integer);
        }
        else if (argument == "--tempo")
        {
            if (!ParseDouble(value, argument, job.scenario.tempoBpm, error)) return false;
        }
        else
        {
            error = "unknown option " + QuotedExcerpt(argument) + " (see --help)";
            return false;
        }
    }

    if (positional.size() == 2)
    {
        if (shot.used)
        {
            error = "one-shot options cannot be combined with a scenario file";
            return false;
        }
        job.scenarioPath = positional[0];
        job.outputPath = positional[1];
    }
    else if (positional.size() == 1)
    {
        job.outputPath = positional[0];
    }
    else
    {
        error = positional.empty() ? "no output file given (see --help)" : "too many arguments (see --help)";
        return false;
    }
    if (!ChooseFormat(job.outputPath, bits, job.format, error)) return false;
    if (job.scenarioPath.empty())
    {
        return BuildOneShotScenario(shot, job.scenario, error) && job.scenario.Validate(error);
    }
    return true;
}

bool LoadRenderScenarioFile(RenderJob& job, std::string& error)
{
    const std::string quotedPath = QuotedExcerpt(job.scenarioPath, kPathExcerptBytes);
    std::error_code ignored;
    if (std::filesystem::is_directory(job.scenarioPath, ignored))
    {
        error = "the scenario " + quotedPath + " is a folder, not a readable file";
        return false;
    }
    std::string text;
    if (!ReadScenarioText(job.scenarioPath, text, error))
    {
        error = quotedPath + ": " + error;
        return false;
    }
    if (!ParseRenderScenario(text, job.scenario, error))
    {
        error = quotedPath + ": " + error;
        return false;
    }
    return true;
}

bool RunRenderJob(const RenderJob& job, std::string& error)
{
    AudioFileWriter writer;
    if (!writer.Open(job.outputPath, job.format, job.scenario.sampleRate, job.scenario.frames, error))
        return false;
    const bool rendered = OfflineRenderer::Render(
        job.scenario,
        [&writer](const double* left, const double* right, int frames, std::string& sinkError)
        {
            if (RenderInterruptSignal() != 0)
            {
                sinkError = "interrupted by signal " + std::to_string(RenderInterruptSignal()) +
                            "; no output written";
                return false;
            }
            return writer.WriteFrames(left, right, frames, sinkError);
        },
        error);
    return rendered && writer.Commit(error);
}
