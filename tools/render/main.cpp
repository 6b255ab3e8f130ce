// kestrum-render: renders the instrument offline from a scenario file or a one-shot
// command line. Errors are one line on standard error and a non-zero exit status.

#include <cstdio>
#include <string>

#include "tools/render/RenderJob.h"

int main(int argc, char** argv)
{
    RenderJob job;
    std::string error;
    if (!ParseRenderCommandLine(argc - 1, argv + 1, job, error))
    {
        std::fprintf(stderr, "kestrum-render: %s\n", error.c_str());
        return 2;
    }
    if (job.showHelp)
    {
        std::fputs(RenderUsageText(), stdout);
        return 0;
    }
    if (!job.scenarioPath.empty() && !LoadRenderScenarioFile(job, error))
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
