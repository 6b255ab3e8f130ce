// Preset files are untrusted: whatever bytes a file holds, loading it through the load button
// must not crash, and every parameter must stay a finite value within its range.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "instrument/Kestrum.h"
#include "instrument/PresetFile.h"

namespace
{

void CheckParameters(const Kestrum& plug)
{
    for (int i = 0; i < plug.NumParams(); ++i)
    {
        const PluginParameter* param = plug.GetParam(i);
        const double value = param->Value();
        if (!std::isfinite(value) || value < param->Min() || value > param->Max())
            std::abort();
    }
    for (const PresetValueTag& tag : PresetFile::Tags())
        if (EngineParameterValue(&plug.Engine(), tag.paramIndex) != plug.GetParam(tag.paramIndex)->Value())
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string content(reinterpret_cast<const char*>(data), size);
    for (const auto& value : PresetFile::ParseLine(content))
        if (value && !std::isfinite(*value))
            std::abort();

    static const std::string path = "/tmp/kestrum-preset-fuzz-" + std::to_string(getpid()) + ".kestrumpreset";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    static Kestrum plug;
    plug.Presets().SetLoadFile(path);
    plug.SetParameterFromEditor(kPresetLoad, 1.0 - plug.GetParam(kPresetLoad)->Value());
    CheckParameters(plug);
    return 0;
}
