#include "tools/render/RenderScenario.h"

#include <cmath>

#include "tools/render/ErrorText.h"
#include "tools/render/JsonShapeCheck.h"
#include "tools/render/ScenarioJsonReader.h"

int64_t RenderScenario::DefaultFrames(double sampleRate)
{
    if (!IsValidSampleRate(sampleRate))
        return 0; // Validate reports the rate
    return static_cast<int64_t>(std::llround(kDefaultSeconds * sampleRate));
}

bool RenderScenario::Validate(std::string& error) const
{
    if (!IsValidSampleRate(sampleRate))
    {
        error = "sample_rate must be from " + std::to_string(static_cast<int64_t>(kMinSampleRate)) + " to " +
                std::to_string(static_cast<int64_t>(kMaxSampleRate)) + " Hz";
        return false;
    }
    if (blockFrames <= 0 || blockFrames > kMaxBlockFrames)
    {
        error = "block must be 1 to " + std::to_string(kMaxBlockFrames);
        return false;
    }
    if (frames <= 0)
    {
        error = "frames must be above 0";
        return false;
    }
    if (!std::isfinite(tempoBpm))
    {
        error = "tempo must be a finite number";
        return false;
    }
    if (params.size() > kMaxParams || events.size() > kMaxEvents)
    {
        error = "at most " + std::to_string(kMaxParams) + " params and " + std::to_string(kMaxEvents) +
                " events are accepted";
        return false;
    }
    for (const auto& param : params)
    {
        // The instrument looks names up as C strings; a NUL would cut the name short.
        if (param.first.find('\0') != std::string::npos)
        {
            error = "parameter name " + QuotedExcerpt(param.first) + " holds a NUL character";
            return false;
        }
    }
    for (const ScenarioEvent& event : events)
    {
        if (event.frame < 0)
        {
            error = "event frame must not be negative";
            return false;
        }
    }
    return true;
}

bool ParseRenderScenario(const std::string& jsonText, RenderScenario& scenario, std::string& error)
{
    if (jsonText.size() > RenderScenario::kMaxScenarioBytes)
    {
        error = "a scenario may hold at most " + std::to_string(RenderScenario::kMaxScenarioBytes) + " bytes";
        return false;
    }
    const JsonShapeLimits limits{RenderScenario::kMaxJsonDepth, RenderScenario::kMaxParams,
                                 RenderScenario::kMaxEvents};
    if (!CheckJsonShape(jsonText, limits, error))
        return false;
    RenderScenario parsed;
    bool framesGiven = false;
    if (!ReadScenarioJson(jsonText, parsed, framesGiven, error))
        return false;
    if (!framesGiven)
        parsed.frames = RenderScenario::DefaultFrames(parsed.sampleRate);
    if (!parsed.Validate(error))
        return false;
    scenario = std::move(parsed);
    return true;
}
