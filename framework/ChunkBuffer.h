#pragma once
// A growable byte buffer for state chunks and preset banks. Everything is stored
// little-endian byte by byte, so a chunk written on one machine reads the same on any other.
// Positions are signed 32-bit byte offsets; a read that does not fit returns -1, and every
// read given a negative position fails too, so a sequence of reads stops at the first
// failure. Chunks come from host projects and preset files and are never trusted: no read
// goes past the end, whatever the position or length asked for.

#include <cstdint>
#include <vector>

class ChunkBuffer
{
public:
    // The largest chunk a 32-bit position can address.
    static constexpr int64_t kMaxSizeBytes = INT32_MAX;

    int32_t Size() const { return static_cast<int32_t>(mBytes.size()); }
    bool IsEmpty() const { return mBytes.empty(); }
    const uint8_t* Data() const { return mBytes.data(); }
    uint8_t* Data() { return mBytes.data(); }

    void Clear() { mBytes.clear(); }
    // Sets the size, keeping the leading bytes and zeroing new ones; false beyond kMaxSizeBytes.
    bool Resize(int64_t sizeBytes);

    // Appending: false (and nothing appended) when the chunk would outgrow kMaxSizeBytes.
    bool PutBytes(const void* bytes, int64_t count);
    bool PutByte(uint8_t value);
    bool PutInt32(int32_t value);
    bool PutDouble(double value);
    // A text as an int32 length followed by its bytes, without terminator.
    bool PutString(const char* text);

    // True when count bytes can be read at pos (pos not negative, count not negative).
    bool CanRead(int32_t pos, int64_t count) const;

    // Reading: each returns the position after the value, or -1 when it cannot be read
    // (then the value is left untouched).
    int32_t GetBytes(void* bytes, int32_t count, int32_t pos) const;
    int32_t GetByte(uint8_t& value, int32_t pos) const;
    int32_t GetInt32(int32_t& value, int32_t pos) const;
    int32_t GetDouble(double& value, int32_t pos) const;

    bool operator==(const ChunkBuffer& other) const { return mBytes == other.mBytes; }
    bool operator!=(const ChunkBuffer& other) const { return !(*this == other); }

private:
    std::vector<uint8_t> mBytes;
};
