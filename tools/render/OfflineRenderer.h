#pragma once
// Renders a scenario through a Kestrum instance hosted by the offline adapter:
//   1. construct the instrument; set the sample rate and block size and reset it, as a
//      host's set-up does;
//   2. restore each scenario parameter by name, in file order (plain value, then the
//      instrument's change notification);
//   3. render the frames in blocks of the scenario's block size (the last one shorter);
//      each event goes, in file order, to the block that holds its frame, with the offset
//      from that block's start. Events at or beyond the end of the render are never sent.
// The inputs the instrument receives are silent.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tools/render/RenderScenario.h"

class OfflineRenderer
{
public:
    // Receives each rendered block: left and right samples, frames of them.
    using BlockSink =
        std::function<bool(const double* left, const double* right, int frames, std::string& error)>;

    // Renders block by block into the sink; stops at the first sink failure.
    static bool Render(const RenderScenario& scenario, const BlockSink& sink, std::string& error);
    // Checks that every name is a parameter's; the error names the nearest one.
    static bool CheckParameterNames(const std::vector<std::pair<std::string, double>>& params,
                                    std::string& error);
    // One line per parameter: its name, range and default, for --help.
    static std::string ParameterListText();
    // Renders into two whole-length buffers.
    static bool RenderToBuffers(const RenderScenario& scenario, std::vector<double>& left,
                                std::vector<double>& right, std::string& error);
};
