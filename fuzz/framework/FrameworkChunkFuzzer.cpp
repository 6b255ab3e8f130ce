// Feeds arbitrary bytes to every reader of host-supplied chunks: the state reader, the preset
// bank reader and the VST2-style "header, then state or bank" path. Besides the sanitizers'
// checks, every loaded value must lie in its parameter's range and every name must stay a
// terminated text of at most 255 characters.

#include "framework/ChunkHeader.h"
#include "framework/IPlugBase.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace
{
class FuzzPlugin : public IPlugBase
{
public:
    explicit FuzzPlugin(int numPresets) : IPlugBase(Config(numPresets))
    {
        for (int i = 0; i < NumParams(); ++i)
            GetParam(i)->DefineContinuous("P", i == 2 ? 7.0 : 0.5, i == 2 ? 5.0 : 0.0, i == 27 ? 1000.0 : 10.0, 0.00001);
        FillDefaultPresets("Init", 1);
    }

private:
    static PluginConfig Config(int numPresets)
    {
        PluginConfig config;
        config.numParams = 28;
        config.numPresets = numPresets;
        config.channelIoString = "2-2";
        config.effectName = "Kestrum";
        return config;
    }
};

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckValues(const IPlugBase& plugin)
{
    for (int i = 0; i < plugin.NumParams(); ++i)
    {
        const PluginParameter* param = plugin.GetParam(i);
        Check(param->Value() >= param->Min() && param->Value() <= param->Max());
    }
}

void CheckPresets(IPlugBase& plugin)
{
    for (int i = 0; i < plugin.NumPresets(); ++i)
    {
        Check(std::memchr(plugin.PresetNameAt(i), 0, Preset::kNameBytes) != nullptr);
        const Preset* slot = plugin.GetPresetSlot(i);
        Check(!slot->initialized || slot->state.Size() <= 28 * 8);
    }
}

void CheckPosition(int32_t pos, const ChunkBuffer& chunk)
{
    Check(pos == -1 || (pos >= 0 && pos <= chunk.Size()));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    ChunkBuffer chunk;
    chunk.PutBytes(data, static_cast<int64_t>(size));

    {
        FuzzPlugin plugin(1);
        const int32_t pos = plugin.LoadState(chunk, 0);
        CheckPosition(pos, chunk);
        CheckValues(plugin);
        // Whatever was loaded survives a save and a load exactly.
        ChunkBuffer saved;
        plugin.SaveState(saved);
        FuzzPlugin copy(1);
        Check(copy.LoadState(saved, 0) == saved.Size());
        for (int i = 0; i < plugin.NumParams(); ++i)
            Check(copy.GetParam(i)->Value() == plugin.GetParam(i)->Value());
    }
    {
        FuzzPlugin plugin(3);
        CheckPosition(plugin.UnserializePresets(chunk, 0), chunk);
        CheckValues(plugin);
        CheckPresets(plugin);
    }
    {
        // As a VST2 host's "set chunk": a header decides between a bank and a single state.
        FuzzPlugin plugin(3);
        int32_t pos = 0;
        const int32_t version = ReadChunkHeader(chunk, pos);
        CheckPosition(pos, chunk);
        if (version >= kChunkHeaderVersion)
            CheckPosition(plugin.UnserializePresets(chunk, pos), chunk);
        else
        {
            CheckPosition(plugin.LoadState(chunk, pos), chunk);
            plugin.ModifyCurrentPreset();
        }
        CheckValues(plugin);
        CheckPresets(plugin);
    }
    return 0;
}
