#include "graphics/raster/LicePng.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#ifndef _WIN32
#include "graphics/raster/LiceEmbeddedImages.h"
#endif

namespace
{

constexpr int kPngSignatureBytes = 8;
constexpr png_alloc_size_t kFuzzingMaxAllocationBytes = 16 << 20;
// The largest single chunk (other than image data) the decoder holds in memory.
constexpr png_alloc_size_t kPngMaxChunkBytes = 8 << 20;

struct MemoryReader
{
    const unsigned char* bytes = nullptr;
    size_t length = 0;
    size_t position = 0;
    size_t zeroBytesPastEnd = 0;
};

// Reading past the end yields zeros, so an image whose last bytes are cut off
// still decodes; libpng then meets an invalid chunk or a broken stream and stops
// through its error exit. A chunk that merely claims to be huge, though, would
// have libpng read zeros for gigabytes: past this many padding bytes the read
// fails instead.
constexpr size_t kMaxZeroBytesPastEnd = 65536;

void ReadFromMemory(png_structp png, png_bytep out, png_size_t requested)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    std::memset(out, 0, requested);
    const size_t available = std::min<size_t>(requested, reader->length - reader->position);
    std::memcpy(out, reader->bytes + reader->position, available);
    reader->position += available;
    reader->zeroBytesPastEnd += requested - available;
    if (reader->zeroBytesPastEnd > kMaxZeroBytesPastEnd)
        png_error(png, "read far past the end of the image data");
}

// Asks libpng to deliver every pixel as the four bytes A, R, G, B.
void RequestArgbBytes(png_structp png, png_infop info, int bitDepth, int colorType)
{
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    bool hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0;
    if (png_get_valid(png, info, PNG_INFO_tRNS))
    {
        png_set_tRNS_to_alpha(png);
        hasAlpha = true;
    }
    if (bitDepth == 16)
        png_set_strip_16(png);
    if (bitDepth < 8)
        png_set_packing(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (hasAlpha)
        png_set_swap_alpha(png);
    else
        png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
}

// Rewrites the decoded bytes A, R, G, B of every pixel as the pixel word.
void BytesToPixelWords(LICE_MemBitmap& bitmap)
{
    for (int y = 0; y < bitmap.GetHeight(); ++y)
    {
        LICE_pixel* row = bitmap.GetBits() + static_cast<int64_t>(y) * bitmap.GetRowSpan();
        for (int x = 0; x < bitmap.GetWidth(); ++x)
        {
            const auto* bytes = reinterpret_cast<const unsigned char*>(row + x);
            row[x] = LICE_RGBA(bytes[1], bytes[2], bytes[3], bytes[0]);
        }
    }
}

// Decodes from the input already installed on png and frees both libpng
// structures whatever happens. Any libpng error, including the size limits
// checked here, returns through setjmp with everything released.
LICE_MemBitmap* ReadImage(png_structp png, png_infop info, LICE_MemBitmap* target)
{
    png_structp volatile pngState = png;
    png_infop volatile infoState = info;
    LICE_MemBitmap* volatile created = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png)))
    {
        png_structp pngToFree = pngState;
        png_infop infoToFree = infoState;
        png_destroy_read_struct(&pngToFree, &infoToFree, nullptr);
        delete created;
        std::free(rows);
        return nullptr;
    }

    png_read_info(png, info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    if (width > static_cast<png_uint_32>(kPngMaxSide) || height > static_cast<png_uint_32>(kPngMaxSide) ||
        static_cast<int64_t>(width) * height > kPngMaxPixels)
        png_error(png, "image too large");

    RequestArgbBytes(png, info, bitDepth, colorType);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    // The rows below are sized for four bytes a pixel; never let libpng write more.
    if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4)
        png_error(png, "unexpected pixel layout");

    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    if (target)
        target->Resize(w, h);
    else
        created = new (std::nothrow) LICE_MemBitmap(w, h);
    LICE_MemBitmap* const bitmap = target ? target : created;
    if (!bitmap || bitmap->GetWidth() != w || bitmap->GetHeight() != h || !bitmap->GetBits())
        png_error(png, "out of memory");

    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * static_cast<size_t>(h)));
    if (!rows)
        png_error(png, "out of memory");
    for (int y = 0; y < h; ++y)
    {
        const int stored = bitmap->IsFlipped() ? h - 1 - y : y;
        rows[y] = reinterpret_cast<png_bytep>(bitmap->GetBits() +
                                              static_cast<int64_t>(stored) * bitmap->GetRowSpan());
    }
    png_read_image(png, rows);

    png_structp pngToFree = pngState;
    png_infop infoToFree = infoState;
    png_destroy_read_struct(&pngToFree, &infoToFree, nullptr);
    std::free(rows);
    BytesToPixelWords(*bitmap);
    return bitmap;
}

// The read structure with the default error handling, the size limits and its
// info structure; false (nothing left allocated) when libpng cannot start.
// For fuzzing: a mutated chunk length makes libpng ask for up to 2 GB at once, which
// trips the fuzzer's memory limit though the decoder would survive it; refusing such
// requests lets libpng fail the image as out of memory instead.
png_voidp CappedMalloc(png_structp, png_alloc_size_t size)
{
    return size > kFuzzingMaxAllocationBytes ? nullptr : std::malloc(size);
}

void CappedFree(png_structp, png_voidp pointer) { std::free(pointer); }

bool CreateDecoder(png_structp& png, png_infop& info, bool forFuzzing = false)
{
    png = forFuzzing ? png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr, nullptr,
                                                CappedMalloc, CappedFree)
                     : png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    info = png_create_info_struct(png);
    if (!info)
    {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    png_set_user_limits(png, kPngMaxSide, kPngMaxSide);
    // A damaged chunk length would otherwise make libpng ask for up to 2 GB in one piece;
    // no image of ours carries ancillary chunks anywhere near this size.
    png_set_chunk_malloc_max(png, kPngMaxChunkBytes);
    if (forFuzzing)
    {
        png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    }
    return true;
}

LICE_MemBitmap* DecodeMemory(const void* bytes, int length, bool forFuzzing)
{
    if (!bytes || length < kPngSignatureBytes ||
        png_sig_cmp(static_cast<png_const_bytep>(bytes), 0, kPngSignatureBytes))
        return nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    if (!CreateDecoder(png, info, forFuzzing))
        return nullptr;
    MemoryReader reader;
    reader.bytes = static_cast<const unsigned char*>(bytes);
    reader.length = static_cast<size_t>(length);
    png_set_read_fn(png, &reader, ReadFromMemory);
    return ReadImage(png, info, nullptr);
}

FILE* OpenForBinaryReading(const char* path)
{
#ifdef _WIN32
    // Paths are UTF-8; the wide open reaches every file name, the narrow one is
    // the fallback for anything that does not convert.
    constexpr int kMaxPathChars = 2048;
    wchar_t widePath[kMaxPathChars];
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, widePath, kMaxPathChars) > 0)
    {
        if (FILE* file = _wfopen(widePath, L"rb"))
            return file;
    }
#endif
    return std::fopen(path, "rb");
}

const char* PngFileTypeDescription() { return "PNG files (*.PNG)"; }

// Reached through a function so registration from a static initialiser finds it.
LICE_ImageLoaderRec*& ChainHead()
{
    static LICE_ImageLoaderRec* head = nullptr;
    return head;
}

LICE_ImageLoaderRec g_pngLoader = {DecodePngByName, PngFileTypeDescription, nullptr};

// The PNG loader heads the chain from start-up on.
struct PngLoaderRegistration
{
    PngLoaderRegistration() { LICE_RegisterImageLoader(&g_pngLoader); }
} g_pngLoaderRegistration;
} // namespace

std::unique_ptr<LICE_MemBitmap> DecodePngImageResource(LICE_HMODULE module, int resourceId,
                                                       const char* fileName)
{
    if (!fileName || !IsPngExtension(fileName))
        return nullptr;
    return std::unique_ptr<LICE_MemBitmap>(DecodePngResource(module, resourceId));
}

bool IsPngExtension(const char* path)
{
    const size_t length = std::strlen(path);
    size_t dot = length;
    while (dot > 0)
    {
        const char c = path[dot - 1];
        if (c == '\\' || c == '/')
            return false;
        if (c == '.')
            break;
        --dot;
    }
    if (dot == 0)
        return false;
    const char* suffix = path + dot - 1;
    static const char kPng[] = ".png";
    for (size_t i = 0; i < sizeof(kPng); ++i) // compares the terminators too
    {
        char c = suffix[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kPng[i])
            return false;
    }
    return true;
}

LICE_ImageLoaderRec* LICE_ImageLoaderChain() { return ChainHead(); }

void LICE_RegisterImageLoader(LICE_ImageLoaderRec* loader)
{
    if (!loader)
        return;
    loader->next = ChainHead();
    ChainHead() = loader;
}

LICE_MemBitmap* DecodePngMemory(const void* bytes, int length) { return DecodeMemory(bytes, length, false); }

LICE_MemBitmap* DecodePngMemoryForFuzzing(const void* bytes, int length)
{
    return DecodeMemory(bytes, length, true);
}

LICE_MemBitmap* DecodePngFile(const char* path, LICE_MemBitmap* target)
{
    if (!path)
        return nullptr;
    FILE* file = OpenForBinaryReading(path);
    if (!file)
        return nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    LICE_MemBitmap* result = nullptr;
    if (CreateDecoder(png, info))
    {
        png_init_io(png, file);
        result = ReadImage(png, info, target);
    }
    std::fclose(file);
    return result;
}

LICE_MemBitmap* DecodePngByName(const char* path, bool checkExtension, LICE_MemBitmap* target)
{
    if (!path || (checkExtension && !IsPngExtension(path)))
        return nullptr;
    return DecodePngFile(path, target);
}

LICE_MemBitmap* DecodePngResource(LICE_HMODULE module, int id)
{
#ifdef _WIN32
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!resource)
        return nullptr;
    const DWORD size = SizeofResource(module, resource);
    if (size < kPngSignatureBytes || size > static_cast<DWORD>(INT32_MAX))
        return nullptr;
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return nullptr;
    return DecodePngMemory(bytes, static_cast<int>(size));
#else
    // Each module carries its own image table, so the module handle adds nothing.
    (void)module;
    const LiceEmbeddedImage* image = LiceFindEmbeddedImage(id);
    if (!image || image->size < static_cast<size_t>(kPngSignatureBytes) ||
        image->size > static_cast<size_t>(INT32_MAX))
        return nullptr;
    return DecodePngMemory(image->bytes, static_cast<int>(image->size));
#endif
}
