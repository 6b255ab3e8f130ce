#include "graphics/raster/LiceFontHandle.h"

#ifdef _WIN32
namespace
{
BYTE QualityFor(int quality)
{
  switch (quality)
  {
  case 1: return NONANTIALIASED_QUALITY;
  case 2: return ANTIALIASED_QUALITY;
  case 3: return CLEARTYPE_QUALITY;
  default: return DEFAULT_QUALITY;
  }
}
}  // namespace

LICE_HFONT LiceCreateFontHandle(const LiceFontRequest& request)
{
  return CreateFontA(request.height, 0, request.escapement, request.escapement, request.weight,
                 request.italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                 CLIP_DEFAULT_PRECIS, QualityFor(request.quality), DEFAULT_PITCH,
                 request.face ? request.face : "");
}
#else
LICE_HFONT LiceCreateFontHandle(const LiceFontRequest& /*request*/) { return nullptr; }
#endif
