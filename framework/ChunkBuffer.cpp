#include "framework/ChunkBuffer.h"

#include <cstring>

bool ChunkBuffer::Resize(int64_t sizeBytes)
{
    if (sizeBytes < 0 || sizeBytes > kMaxSizeBytes)
        return false;
    mBytes.resize(static_cast<size_t>(sizeBytes), 0);
    return true;
}

bool ChunkBuffer::PutBytes(const void* bytes, int64_t count)
{
    if (count < 0 || static_cast<int64_t>(mBytes.size()) + count > kMaxSizeBytes)
        return false;
    if (count == 0)
        return true;
    const uint8_t* first = static_cast<const uint8_t*>(bytes);
    mBytes.insert(mBytes.end(), first, first + count);
    return true;
}

bool ChunkBuffer::PutByte(uint8_t value) { return PutBytes(&value, 1); }

bool ChunkBuffer::PutInt32(int32_t value)
{
    const uint32_t bits = static_cast<uint32_t>(value);
    const uint8_t bytes[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                              static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
    return PutBytes(bytes, 4);
}

bool ChunkBuffer::PutDouble(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    uint8_t bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    return PutBytes(bytes, 8);
}

bool ChunkBuffer::PutString(const char* text)
{
    const size_t length = text ? std::strlen(text) : 0;
    if (length > static_cast<size_t>(INT32_MAX) ||
        static_cast<int64_t>(mBytes.size()) + 4 + static_cast<int64_t>(length) > kMaxSizeBytes)
        return false;
    return PutInt32(static_cast<int32_t>(length)) && PutBytes(text, static_cast<int64_t>(length));
}

bool ChunkBuffer::CanRead(int32_t pos, int64_t count) const
{
    // 64-bit sums: a position near INT32_MAX plus a hostile length must not wrap around.
    return pos >= 0 && count >= 0 && static_cast<int64_t>(pos) + count <= static_cast<int64_t>(mBytes.size());
}

int32_t ChunkBuffer::GetBytes(void* bytes, int32_t count, int32_t pos) const
{
    if (!CanRead(pos, count))
        return -1;
    if (count > 0)
        std::memcpy(bytes, mBytes.data() + pos, static_cast<size_t>(count));
    return pos + count;
}

int32_t ChunkBuffer::GetByte(uint8_t& value, int32_t pos) const
{
    if (!CanRead(pos, 1))
        return -1;
    value = mBytes[static_cast<size_t>(pos)];
    return pos + 1;
}

int32_t ChunkBuffer::GetInt32(int32_t& value, int32_t pos) const
{
    if (!CanRead(pos, 4))
        return -1;
    const uint8_t* p = mBytes.data() + pos;
    const uint32_t bits = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                          (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    value = static_cast<int32_t>(bits);
    return pos + 4;
}

int32_t ChunkBuffer::GetDouble(double& value, int32_t pos) const
{
    if (!CanRead(pos, 8))
        return -1;
    const uint8_t* p = mBytes.data() + pos;
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<uint64_t>(p[i]) << (8 * i);
    std::memcpy(&value, &bits, sizeof value);
    return pos + 8;
}
