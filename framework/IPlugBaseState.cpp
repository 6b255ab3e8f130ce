#include "framework/IPlugBase.h"

// The state chunk: one little-endian double per parameter, in index order.

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
    int32_t pos = startPos;
    for (int i = 0; i < NumParams() && pos >= 0; ++i)
    {
        double value = 0.0;
        pos = chunk.GetDouble(value, pos);  // -1 and value 0 when the chunk runs out
        mParams[i]->SetPlainValue(value);
    }
    for (int i = 0; i < NumParams(); ++i)
        OnParameterChange(i);
    return pos;
}

