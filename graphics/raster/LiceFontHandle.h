#pragma once
// Making a platform font for LICE_CachedFont to adopt: a GDI font on Windows; elsewhere a
// FreeType face of the fonts compiled into the module (every face name maps to Liberation
// Sans, metrically compatible with Arial; weights from 600 take its bold cut), so every
// machine draws the same pixels.

#include "graphics/raster/LiceTypes.h"

struct LiceFontRequest
{
    int height = 12;    // pixels
    int escapement = 0; // tenths of a degree; also the orientation
    int weight = 400;   // 400 normal, 700 bold
    bool italic = false;
    int quality = 0; // 0 default, 1 non-antialiased, 2 antialiased, 3 ClearType
    const char* face = "";
};

// A new font handle owned by the caller, or none when the platform cannot make one.
LICE_HFONT LiceCreateFontHandle(const LiceFontRequest& request);
