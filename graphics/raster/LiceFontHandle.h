#pragma once
// Making a platform font for LICE_CachedFont to adopt. On Windows this is a GDI font;
// elsewhere there is no font engine and no handle is made.

#include "graphics/raster/LiceTypes.h"

struct LiceFontRequest
{
  int height = 12;       // pixels
  int escapement = 0;    // tenths of a degree; also the orientation
  int weight = 400;      // 400 normal, 700 bold
  bool italic = false;
  int quality = 0;       // 0 default, 1 non-antialiased, 2 antialiased, 3 ClearType
  const char* face = "";
};

// A new font handle owned by the caller, or none when the platform cannot make one.
LICE_HFONT LiceCreateFontHandle(const LiceFontRequest& request);
