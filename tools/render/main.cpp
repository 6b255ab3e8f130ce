// kestrum-render: renders the instrument offline from a scenario file or a one-shot
// command line. Errors are one line on standard error and a non-zero exit status
// (RenderExitStatus; an interrupted render ends by its signal).

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "tools/render/OfflineRenderer.h"
#include "tools/render/PresetOptions.h"
#include "tools/render/RenderCommandLine.h"
#include "tools/render/RenderInterrupt.h"
#include "tools/render/RenderJob.h"

namespace
{

const char kExitStatusText[] =
    "\n"
    "Exit status:\n"
    "  0    the render is complete in OUT\n"
    "  1    bad input: a file cannot be read or written (OUT's folder is missing, OUT is a\n"
    "       folder or a file the render reads), or it holds something wrong (a scenario beyond\n"
    "       the limits, a preset with no values, an unknown parameter name in a scenario),\n"
    "       or memory ran out\n"
    "  2    bad usage: an unknown option, an unknown parameter name in --set, a bad value, a\n"
    "       missing or extra argument\n"
    "  129, 130, 131, 143  stopped by SIGHUP, SIGINT (Ctrl-C), SIGQUIT or SIGTERM\n"
    "       (on Windows 130 for Ctrl-C and Ctrl-Break)\n"
    "  Whatever the failure, OUT is left as it was and no partial file remains.\n";

void PrintHelp()
{
    std::fputs(RenderUsageText(), stdout);
    std::fputs(PresetOptionsUsageText().c_str(), stdout);
    std::fputs("\nParameters (plain values, for --set NAME=VALUE and a scenario's params):\n", stdout);
    std::fputs(OfflineRenderer::ParameterListText().c_str(), stdout);
    std::fputs(kExitStatusText, stdout);
}

int Fail(const std::string& error, int status)
{
    // A failure that a signal caused (an interrupted wait) is reported as the interruption.
    const std::string& text = RenderInterruptSignal() != 0 ? RenderInterruptText() : error;
    std::fprintf(stderr, "kestrum-render: %s\n", text.c_str());
    return status;
}

int RunTool(int argc, char** argv)
{
    RenderJob job;
    std::string error;
    PresetOption preset;
    std::vector<const char*> arguments;
    if (!ExtractPresetOptions(argc - 1, argv + 1, arguments, preset, error) ||
        !ParseRenderCommandLine(static_cast<int>(arguments.size()), arguments.data(), job, error) ||
        !OfflineRenderer::CheckParameterNames(job.scenario.params, error))
        return Fail(error, kExitBadUsage);
    if (job.showHelp || job.showVersion)
    {
        if (job.showHelp)
            PrintHelp();
        else
            std::printf("%s\n", RenderVersionText().c_str());
        return kExitRendered;
    }
    if (!CheckRenderOutput(job, {job.scenarioPath, PresetOptionPath(preset)}, error))
        return Fail(error, kExitBadInput);
    if (!job.scenarioPath.empty() && !LoadRenderScenarioFile(job, error))
        return Fail(error, kExitBadInput);
    std::vector<std::string> warnings;
    const bool presetApplied = ApplyPresetOption(preset, job.scenario, warnings, error);
    for (const std::string& warning : warnings)
        std::fprintf(stderr, "kestrum-render: warning: %s\n", warning.c_str());
    if (!presetApplied)
        return Fail(error, kExitBadInput);
    if (!RunRenderJob(job, error))
        return Fail(error, kExitBadInput);
    return kExitRendered;
}

} // namespace

int main(int argc, char** argv)
{
    InstallRenderInterruptHandlers();
    int status = kExitBadInput;
    // The standard containers and the JSON library report exhausted memory only by
    // throwing; the one catch turns that into the usual one-line error, after the writer
    // has removed its partial file on the way out.
    try
    {
        status = RunTool(argc, argv);
    }
    catch (const std::bad_alloc&)
    {
        status = Fail("out of memory", kExitBadInput);
    }
    EndByRenderInterrupt();
    return status;
}
