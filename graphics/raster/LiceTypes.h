#pragma once
// Value types shared by the raster layer: the pixel word, the rectangle and the
// platform handles. Only this layer knows which platform handles are real.

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

// One pixel: 0xAARRGGBB, straight (not premultiplied) alpha. In memory the bytes
// are blue, green, red, alpha.
using LICE_pixel = uint32_t;

// Left, top, right, bottom in pixels; right and bottom are exclusive.
struct LICE_Rect
{
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

#ifdef _WIN32
using LICE_HDC = HDC;
using LICE_HFONT = HFONT;
using LICE_HMODULE = HMODULE;
#else
// Without GDI there are no device contexts; a font handle is a FreeType face at
// one size (LiceFreeTypeFontEngine.cpp). The types stay opaque pointers so that
// callers compile unchanged on every platform.
struct LiceFreeTypeFont;
using LICE_HDC = void*;
using LICE_HFONT = LiceFreeTypeFont*;
using LICE_HMODULE = void*;
#endif

inline int LICE_GetA(LICE_pixel p) { return static_cast<int>((p >> 24) & 0xFF); }
inline int LICE_GetR(LICE_pixel p) { return static_cast<int>((p >> 16) & 0xFF); }
inline int LICE_GetG(LICE_pixel p) { return static_cast<int>((p >> 8) & 0xFF); }
inline int LICE_GetB(LICE_pixel p) { return static_cast<int>(p & 0xFF); }

inline LICE_pixel LICE_RGBA(int r, int g, int b, int a)
{
    return (static_cast<LICE_pixel>(a & 0xFF) << 24) | (static_cast<LICE_pixel>(r & 0xFF) << 16) |
           (static_cast<LICE_pixel>(g & 0xFF) << 8) | static_cast<LICE_pixel>(b & 0xFF);
}
