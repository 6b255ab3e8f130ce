// Feeds arbitrary bytes to the PNG decoder. Whatever decodes is blitted onto a
// small back buffer at an offset taken from the input, to walk the clipping code
// with odd image sizes as well.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "graphics/raster/LICE_MemBitmap.h"
#include "graphics/raster/LiceBlit.h"
#include "graphics/raster/LicePng.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > (1u << 20))
    return 0;
  std::unique_ptr<LICE_MemBitmap> image(DecodePngMemory(data, static_cast<int>(size)));
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
