#include "vst2/IPlugVST.h"

#include "framework/ChunkHeader.h"

// Chunks as VST2 hosts store them: a header, then the state (a single program) or the bank
// of preset slots. Hosts that wrote raw parameter values without a header are still read.
// What a host hands back is never trusted, and a chunk that does not read whole changes
// nothing.

intptr_t IPlugVST::GetChunk(bool singleProgram, void** data)
{
    if (!data)
        return 0;
    ChunkBuffer& chunk = singleProgram ? mProgramChunk : mBankChunk;
    bool ok = WriteChunkHeader(chunk);
    if (singleProgram)
    {
        ok = ok && SaveState(chunk);
    }
    else
    {
        ModifyCurrentPreset();
        ok = ok && SerializePresets(chunk);
    }
    if (!ok || chunk.IsEmpty())
        return 0;
    // The buffer keeps its content until the next get-chunk of the same kind.
    *data = chunk.Data();
    return chunk.Size();
}

intptr_t IPlugVST::SetChunk(bool singleProgram, intptr_t size, const void* data)
{
    if (!data || size <= 0 || size > kMaxChunkBytes)
        return 0;
    ChunkBuffer& chunk = singleProgram ? mProgramChunk : mBankChunk;
    chunk.Clear();
    if (!chunk.PutBytes(data, static_cast<int64_t>(size)))
        return 0;
    int32_t pos = 0;
    const int32_t version = ReadChunkHeader(chunk, pos);
    if (!singleProgram && version >= kChunkHeaderVersion)
    {
        pos = UnserializePresets(chunk, pos);
    }
    else
    {
        pos = LoadState(chunk, pos);
        if (pos >= 0)
            ModifyCurrentPreset();
    }
    if (pos < 0)
        return 0;
    RefreshParameterControls();
    return 1;
}
