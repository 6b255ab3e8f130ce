#include "tools/render/RenderJob.h"

#include "tools/render/ErrorText.h"
#include "tools/render/OfflineRenderer.h"
#include "tools/render/RenderFiles.h"
#include "tools/render/RenderInterrupt.h"

bool CheckRenderOutput(const RenderJob& job, const std::vector<std::string>& inputs, std::string& error)
{
    const std::string quotedPath = QuotedExcerpt(job.outputPath, kPathExcerptBytes);
    const std::string folder = RenderFiles::FolderOf(job.outputPath);
    if (RenderFiles::KindOf(folder) != RenderFiles::PathKind::Folder)
    {
        error = "cannot write " + quotedPath + ": its folder " + QuotedExcerpt(folder, kPathExcerptBytes) +
                " does not exist";
        return false;
    }
    const RenderFiles::PathKind kind = RenderFiles::KindOf(job.outputPath);
    if (kind == RenderFiles::PathKind::Folder || kind == RenderFiles::PathKind::Other)
    {
        error = "cannot write " + quotedPath +
                (kind == RenderFiles::PathKind::Folder ? ": it is a folder" : ": it is not a regular file");
        return false;
    }
    for (const std::string& input : inputs)
    {
        if (!input.empty() && RenderFiles::SameFile(input, job.outputPath))
        {
            error = "the output " + quotedPath + " is the input " + QuotedExcerpt(input, kPathExcerptBytes) +
                    ", which the render would replace";
            return false;
        }
    }
    return true;
}

bool LoadRenderScenarioFile(RenderJob& job, std::string& error)
{
    const std::string quotedPath = QuotedExcerpt(job.scenarioPath, kPathExcerptBytes);
    std::string text;
    if (!RenderFiles::ReadRegularFile(job.scenarioPath, RenderScenario::kMaxScenarioBytes, text, error))
    {
        error = "the scenario " + quotedPath + " " + error;
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
                sinkError = RenderInterruptText();
                return false;
            }
            return writer.WriteFrames(left, right, frames, sinkError);
        },
        error);
    return rendered && writer.Commit(error);
}
