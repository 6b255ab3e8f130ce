// Feeds arbitrary text to the scenario reader. An accepted scenario must pass its own
// checks; a refusal must be one short line, whatever the input held.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/render/RenderScenario.h"

namespace
{

constexpr size_t kMaxErrorBytes = 1024;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    RenderScenario scenario;
    std::string error;
    if (ParseRenderScenario(text, scenario, error))
    {
        if (!scenario.Validate(error))
            __builtin_trap();
        return 0;
    }
    if (error.empty() || error.size() > kMaxErrorBytes || error.find('\n') != std::string::npos)
        __builtin_trap();
    return 0;
}
