#pragma once
// PNG images into straight-alpha 0xAARRGGBB bitmaps. Every input is treated as
// untrusted: a truncated, corrupt or oversized image gives none, never a crash.

#include "graphics/raster/LICE_MemBitmap.h"

#include <memory>

// Images wider or taller than this, or with more pixels than kPngMaxPixels, are
// refused before any pixel memory is reserved. The editor's largest image is its
// 500 x 480 background; these bounds leave ample room while keeping a hostile
// header from asking for gigabytes (16M pixels are 64 MB).
constexpr int kPngMaxSide = 16384;
constexpr int64_t kPngMaxPixels = int64_t(16) * 1024 * 1024;

// The image with this numeric id among the module's resources of type "PNG"
// (Windows), or among the images compiled into the program (elsewhere).
LICE_MemBitmap* DecodePngResource(LICE_HMODULE module, int id);
// A whole PNG file held in memory.
LICE_MemBitmap* DecodePngMemory(const void* bytes, int length);
// For the fuzz target only: as DecodePngMemory, but a wrong chunk CRC or zlib checksum
// does not stop decoding, so that mutated inputs reach the decoder proper, and libpng
// may not take more than 16 MB in one allocation, so that a mutated chunk length cannot
// trip the fuzzer's memory limit.
LICE_MemBitmap* DecodePngMemoryForFuzzing(const void* bytes, int length);
// A PNG file by UTF-8 path; decodes into target when given (returning it), else
// into a new bitmap owned by the caller.
LICE_MemBitmap* DecodePngFile(const char* path, LICE_MemBitmap* target);
// True when the path's file name ends in ".png" (any case).
bool IsPngExtension(const char* path);
// An editor image: the module's PNG resource when the image's file name is a PNG one, none
// otherwise (or when it cannot be decoded). Owned by the caller.
std::unique_ptr<LICE_MemBitmap> DecodePngImageResource(LICE_HMODULE module, int resourceId,
                                                       const char* fileName);
// As DecodePngFile; with checkExtension the path must end in ".png" (any case).
LICE_MemBitmap* DecodePngByName(const char* path, bool checkExtension, LICE_MemBitmap* target);

// One entry of the module-wide chain of image-file loaders. The PNG loader puts
// itself at the head when the program starts.
struct LICE_ImageLoaderRec
{
    LICE_MemBitmap* (*loadByName)(const char* path, bool checkExtension, LICE_MemBitmap* target);
    const char* (*fileTypeDescription)();
    LICE_ImageLoaderRec* next;
};

// The head of the chain (none before any loader registered).
LICE_ImageLoaderRec* LICE_ImageLoaderChain();
// Puts a loader at the head of the chain. The record must outlive the module.
void LICE_RegisterImageLoader(LICE_ImageLoaderRec* loader);
