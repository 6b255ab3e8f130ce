#include "framework/ChunkHeader.h"

bool WriteChunkHeader(ChunkBuffer& chunk)
{
    chunk.Clear();
    return chunk.PutInt32(kChunkHeaderMagic) && chunk.PutInt32(kChunkHeaderVersion);
}

int32_t ReadChunkHeader(const ChunkBuffer& chunk, int32_t& pos)
{
    int32_t magic = 0;
    const int32_t afterMagic = chunk.GetInt32(magic, pos);
    if (afterMagic < 0 || magic != kChunkHeaderMagic)
        return 0;
    int32_t version = 0;
    const int32_t afterVersion = chunk.GetInt32(version, afterMagic);
    if (afterVersion < 0)
    {
        pos = -1;
        return 0;
    }
    pos = afterVersion;
    return version;
}
