#include "framework/IPlugBase.h"

// The state chunk: one little-endian double per parameter, in index order.
//
// Loading is all or nothing: a chunk too short to hold every value is a damaged one, and a
// damaged chunk must not leave the instance half in the old state and half in the new one.

bool IPlugBase::SerializeParams(ChunkBuffer& chunk)
{
    PlugLockGuard guard(mLock);
    bool ok = true;
    for (const auto& param : mParams)
        ok = chunk.PutDouble(param->Value()) && ok;
    return ok;
}

int32_t IPlugBase::UnserializeParams(const ChunkBuffer& chunk, int32_t startPos)
{
    PlugLockGuard guard(mLock);
    const int64_t end = static_cast<int64_t>(startPos) + 8 * static_cast<int64_t>(NumParams());
    if (startPos < 0 || end > chunk.Size())
        return -1;
    int32_t pos = startPos;
    for (int i = 0; i < NumParams(); ++i)
    {
        double value = 0.0;
        pos = chunk.GetDouble(value, pos);
        mParams[i]->SetPlainValue(value);
    }
    for (int i = 0; i < NumParams(); ++i)
        OnParameterChange(i);
    return pos;
}

int32_t IPlugBase::StateBytes()
{
    ChunkBuffer probe;
    SaveState(probe);
    return probe.Size();
}
