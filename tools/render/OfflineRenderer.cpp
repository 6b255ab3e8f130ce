#include "tools/render/OfflineRenderer.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "instrument/Kestrum.h"
#include "tools/render/ErrorText.h"
#include "tools/render/NearestName.h"

namespace
{

struct ResolvedParameter
{
    int index;
    double value;
};

std::vector<std::string> NamesOf(const IPlugOffline& plug)
{
    std::vector<std::string> names;
    for (int i = 0; i < plug.NumParams(); ++i)
        names.push_back(plug.GetParam(i)->Name());
    return names;
}

bool ResolveParameters(const IPlugOffline& plug, const std::vector<std::pair<std::string, double>>& params,
                       std::vector<ResolvedParameter>& resolved, std::string& error)
{
    resolved.clear();
    for (const auto& [name, value] : params)
    {
        const int index = plug.FindParameter(name.c_str());
        if (index < 0)
        {
            const std::string nearest = NearestName(name, NamesOf(plug));
            error = "unknown parameter name " + QuotedExcerpt(name) +
                    (nearest.empty() ? " (kestrum-render --help lists them)"
                                     : " (did you mean " + nearest + "?)");
            return false;
        }
        resolved.push_back({index, value});
    }
    return true;
}

std::string FormatNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Event indices ordered by the block that holds them, file order kept within a block.
std::vector<size_t> EventsInBlockOrder(const RenderScenario& scenario)
{
    std::vector<size_t> order;
    for (size_t i = 0; i < scenario.events.size(); ++i)
    {
        if (scenario.events[i].frame < scenario.frames)
            order.push_back(i);
    }
    const int64_t block = scenario.blockFrames;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b)
                     { return scenario.events[a].frame / block < scenario.events[b].frame / block; });
    return order;
}

} // namespace

bool OfflineRenderer::Render(const RenderScenario& scenario, const BlockSink& sink, std::string& error)
{
    if (!scenario.Validate(error))
        return false;
    auto instrument = std::make_unique<Kestrum>();
    std::vector<ResolvedParameter> parameters;
    if (!ResolveParameters(*instrument, scenario.params, parameters, error))
        return false;

    instrument->SetHostTempo(scenario.tempoBpm);
    instrument->SetUpProcessing(scenario.sampleRate, scenario.blockFrames);
    for (const ResolvedParameter& parameter : parameters)
        instrument->RestoreParameterValue(parameter.index, parameter.value);

    const size_t blockFrames = static_cast<size_t>(scenario.blockFrames);
    std::vector<double> silentLeft(blockFrames, 0.0), silentRight(blockFrames, 0.0);
    std::vector<double> left(blockFrames, 0.0), right(blockFrames, 0.0);
    double* inputs[2] = {silentLeft.data(), silentRight.data()};
    double* outputs[2] = {left.data(), right.data()};

    const std::vector<size_t> eventOrder = EventsInBlockOrder(scenario);
    size_t nextEvent = 0;
    std::vector<MidiMessage> messages;
    for (int64_t blockStart = 0; blockStart < scenario.frames; blockStart += scenario.blockFrames)
    {
        const int frames =
            static_cast<int>(std::min<int64_t>(scenario.blockFrames, scenario.frames - blockStart));
        messages.clear();
        while (nextEvent < eventOrder.size() &&
               scenario.events[eventOrder[nextEvent]].frame < blockStart + frames)
        {
            const ScenarioEvent& event = scenario.events[eventOrder[nextEvent++]];
            MidiMessage message;
            message.sampleOffset = static_cast<int32_t>(event.frame - blockStart);
            message.status = event.status;
            message.data1 = event.data1;
            message.data2 = event.data2;
            messages.push_back(message);
        }
        instrument->ProcessDoubleBlock(messages.data(), static_cast<int>(messages.size()), inputs, outputs,
                                       frames);
        if (!sink(left.data(), right.data(), frames, error))
            return false;
    }
    return true;
}

bool OfflineRenderer::RenderToBuffers(const RenderScenario& scenario, std::vector<double>& left,
                                      std::vector<double>& right, std::string& error)
{
    left.clear();
    right.clear();
    return Render(
        scenario,
        [&](const double* l, const double* r, int frames, std::string&)
        {
            left.insert(left.end(), l, l + frames);
            right.insert(right.end(), r, r + frames);
            return true;
        },
        error);
}

bool OfflineRenderer::CheckParameterNames(const std::vector<std::pair<std::string, double>>& params,
                                          std::string& error)
{
    if (params.empty())
        return true;
    const auto instrument = std::make_unique<Kestrum>();
    std::vector<ResolvedParameter> resolved;
    return ResolveParameters(*instrument, params, resolved, error);
}

std::string OfflineRenderer::ParameterListText()
{
    const auto instrument = std::make_unique<Kestrum>();
    std::string text;
    for (int i = 0; i < instrument->NumParams(); ++i)
    {
        const PluginParameter& parameter = *instrument->GetParam(i);
        std::string line = std::string("  ") + parameter.Name();
        line.resize(std::max<size_t>(line.size() + 1, 26), ' ');
        text += line + FormatNumber(parameter.Min()) + " to " + FormatNumber(parameter.Max()) + " (default " +
                FormatNumber(parameter.DefaultValue()) + ")\n";
    }
    return text;
}
