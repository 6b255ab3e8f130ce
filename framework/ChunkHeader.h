#pragma once
// The small header that the VST2 module puts before a state chunk or a preset bank body:
// the magic 0x70666674 (bytes "t", "f", "f", "p" in file order) and a format version.
// Older hosts stored raw parameter values without it, so reading must tell both apart.

#include "framework/ChunkBuffer.h"

#include <cstdint>

constexpr int32_t kChunkHeaderMagic = 0x70666674;
constexpr int32_t kChunkHeaderVersion = 0x00010000;

// Empties the chunk and writes the magic and the current format version.
bool WriteChunkHeader(ChunkBuffer& chunk);

// Reads a header at pos. Returns its version and advances pos by 8; returns 0 and leaves pos
// unchanged when there is no magic (fewer than 4 bytes, or other bytes); returns 0 and sets
// pos to -1 when the magic is there but the version is cut off.
int32_t ReadChunkHeader(const ChunkBuffer& chunk, int32_t& pos);
