// kestrum-render: renders the instrument offline from a scenario file or a one-shot
// command line. Errors are one line on standard error and a non-zero exit status.

#include <csignal>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "tools/render/PresetOptions.h"
#include "tools/render/RenderInterrupt.h"
#include "tools/render/RenderJob.h"

namespace
{

int Fail(const std::string& error, int status)
{
    std::fprintf(stderr, "kestrum-render: %s\n", error.c_str());
    return status;
}

int RunTool(int argc, char** argv)
{
    RenderJob job;
    std::string error;
    PresetOption preset;
    std::vector<const char*> arguments;
    if (!ExtractPresetOptions(argc - 1, argv + 1, arguments, preset, error) ||
        !ParseRenderCommandLine(static_cast<int>(arguments.size()), arguments.data(), job, error))
        return Fail(error, 2);
    if (job.showHelp)
    {
        std::fputs(RenderUsageText(), stdout);
        std::fputs(PresetOptionsUsageText(), stdout);
        return 0;
    }
    if (!job.scenarioPath.empty() && !LoadRenderScenarioFile(job, error)) return Fail(error, 1);
    if (!ApplyPresetOption(preset, job.scenario, error)) return Fail(error, 1);
    if (!RunRenderJob(job, error)) return Fail(error, 1);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    InstallRenderInterruptHandlers();
    int status = 1;
    // The standard containers and the JSON library report exhausted memory only by
    // throwing; the one catch turns that into the usual one-line error, after the writer
    // has removed its partial file on the way out.
    try
    {
        status = RunTool(argc, argv);
    }
    catch (const std::bad_alloc&)
    {
        status = Fail("out of memory", 1);
    }
    // Interrupted: end the way the signal would have, now that nothing is left behind.
    if (const int signalNumber = RenderInterruptSignal())
    {
        std::signal(signalNumber, SIG_DFL);
        std::raise(signalNumber);
    }
    return status;
}
