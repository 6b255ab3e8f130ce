// Feeds arbitrary bytes to every reader of host-supplied chunks: the state reader, the preset
// bank reader, the "header, then state or bank" path, and the VST2 adapter's set-chunk
// through its dispatcher as a host calls it. Besides the sanitizers' checks, every loaded
// value must lie in its parameter's range, every name must stay a terminated text of at most
// 255 characters, and a refused chunk must change nothing.

#include "framework/ChunkHeader.h"
#include "framework/IPlugBase.h"
#include "vst2/IPlugVST.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace
{
PluginConfig Config(int numPresets)
{
    PluginConfig config;
    config.numParams = 28;
    config.numPresets = numPresets;
    config.channelIoString = "2-2";
    config.effectName = "Kestrum";
    return config;
}

template <typename Base>
void DefineParameters(Base& plugin)
{
    for (int i = 0; i < plugin.NumParams(); ++i)
        plugin.GetParam(i)->DefineContinuous("P", i == 2 ? 7.0 : 0.5, i == 2 ? 5.0 : 0.0,
                                             i == 27 ? 1000.0 : 10.0, 0.00001);
    plugin.FillDefaultPresets("Init", 1);
}

class FuzzPlugin : public IPlugBase
{
public:
    explicit FuzzPlugin(int numPresets) : IPlugBase(Config(numPresets)) { DefineParameters(*this); }
};

class FuzzVstPlugin : public IPlugVST
{
public:
    FuzzVstPlugin() : IPlugVST(HostContext{}, Config(1)) { DefineParameters(*this); }
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
    for (int32_t singleProgram : {0, 1})
    {
        // As a VST2 host hands a chunk over: through the dispatcher, then read back.
        auto* plugin = new FuzzVstPlugin();
        Vst2Descriptor* descriptor = plugin->Descriptor();
        void* before = nullptr;
        const intptr_t beforeSize = descriptor->dispatcher(descriptor, kVst2GetChunk, 0, 0, &before, 0.0f);
        const ChunkBuffer bankBefore = [&]
        {
            ChunkBuffer copy;
            copy.PutBytes(before, beforeSize);
            return copy;
        }();
        const intptr_t loaded =
            descriptor->dispatcher(descriptor, kVst2SetChunk, singleProgram, static_cast<intptr_t>(size),
                                   const_cast<uint8_t*>(data), 0.0f);
        CheckValues(*plugin);
        CheckPresets(*plugin);
        void* after = nullptr;
        const intptr_t afterSize = descriptor->dispatcher(descriptor, kVst2GetChunk, 0, 0, &after, 0.0f);
        Check(afterSize > 0);
        if (!loaded)
            Check(afterSize == beforeSize &&
                  std::memcmp(after, bankBefore.Data(), static_cast<size_t>(afterSize)) == 0);
        descriptor->dispatcher(descriptor, kVst2Close, 0, 0, nullptr, 0.0f);
    }
    return 0;
}
