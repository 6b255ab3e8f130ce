// Feeds arbitrary bytes to the PNG decoder. Checksums are not checked, or nearly
// every mutation would stop at the first chunk's CRC. Whatever decodes is blitted
// onto a small back buffer at an offset taken from the input, to walk the clipping
// code with odd image sizes as well.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "graphics/raster/LICE_MemBitmap.h"
#include "graphics/raster/LiceBlit.h"
#include "graphics/raster/LicePng.h"

namespace
{

// Decoding images up to the decoder's own limit (16M pixels) is left to the tests: with
// checksums skipped, mutated headers ask for such images all the time, and each one
// slows the run to a crawl and swells its memory. The width and height stand at bytes
// 16 to 23, in the header chunk that must come first.
bool DeclaresLargeImage(const uint8_t* data, size_t size)
{
    constexpr uint64_t kMaxFuzzedPixels = uint64_t(1) << 16;
    if (size < 24)
        return false;
    const auto bigEndian = [data](size_t at)
    {
        return (uint64_t(data[at]) << 24) | (uint64_t(data[at + 1]) << 16) | (uint64_t(data[at + 2]) << 8) |
               data[at + 3];
    };
    return bigEndian(16) * bigEndian(20) > kMaxFuzzedPixels;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20) || DeclaresLargeImage(data, size))
        return 0;
    std::unique_ptr<LICE_MemBitmap> image(DecodePngMemoryForFuzzing(data, static_cast<int>(size)));
    if (!image)
        return 0;
    LICE_MemBitmap backBuffer(37, 23);
    const int x = size > 20 ? static_cast<int8_t>(data[size - 1]) : 0;
    const int y = size > 20 ? static_cast<int8_t>(data[size - 2]) : 0;
    BlitBitmap(&backBuffer, image.get(), x, y, nullptr, 1.0f, BlendCopy | BlendUseSourceAlpha);
    const LICE_Rect part = {-x, -y, x + 5, y + 7};
    BlitBitmap(&backBuffer, image.get(), y, x, &part, 0.7f, BlendAdd | BlendUseSourceAlpha);
    return 0;
}
