// kestrum-render: renders the instrument offline from a scenario file or a one-shot
// command line. Errors are one line on standard error and a non-zero exit status.

#include <cstdio>
#include <string>
#include <vector>

#include "tools/render/PresetOptions.h"
#include "tools/render/RenderJob.h"

int main(int argc, char** argv)
{
    RenderJob job;
    std::string error;
    PresetOption preset;
    std::vector<const char*> arguments;
    if (!ExtractPresetOptions(argc - 1, argv + 1, arguments, preset, error) ||
        !ParseRenderCommandLine(static_cast<int>(arguments.size()), arguments.data(), job, error))
    {
        std::fprintf(stderr, "kestrum-render: %s\n", error.c_str());
        return 2;
    }
    if (job.showHelp)
    {
        std::fputs(RenderUsageText(), stdout);
        std::fputs(PresetOptionsUsageText(), stdout);
        return 0;
    }
    if (!job.scenarioPath.empty() && !LoadRenderScenarioFile(job, error))
    {
        std::fprintf(stderr, "kestrum-render: %s\n", error.c_str());
        return 1;
    }
    if (!ApplyPresetOption(preset, job.scenario, error))
    {
        std::fprintf(stderr, "kestrum-render: %s\n", error.c_str());
        return 1;
    }
    if (!RunRenderJob(job, error))
    {
        std::fprintf(stderr, "kestrum-render: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
