#pragma once
// Helpers shared by the raster tests: small bitmaps with known pixels and PNG
// images written in memory with libpng's own encoder.

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/raster/LICE_MemBitmap.h"

// Every pixel of the bitmap set to one value.
void FillAll(LICE_IBitmap& bitmap, LICE_pixel value);
// The pixel at (x, y) in top-down coordinates.
LICE_pixel PixelAt(const LICE_IBitmap& bitmap, int x, int y);
void SetPixel(LICE_IBitmap& bitmap, int x, int y, LICE_pixel value);
// Number of pixels that differ from value.
int CountNot(const LICE_IBitmap& bitmap, LICE_pixel value);

// A memory bitmap that stores its rows bottom-up, to check that every operation
// honours IsFlipped.
class FlippedBitmap : public LICE_MemBitmap
{
public:
    using LICE_MemBitmap::LICE_MemBitmap;
    bool IsFlipped() const override { return true; }
};

struct PngRecipe
{
    int width = 1;
    int height = 1;
    int colorType = 0; // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<std::vector<unsigned char>> rows; // packed as the PNG stores them
    std::vector<unsigned char> paletteRgb;        // 3 bytes per entry
    std::vector<unsigned char> transparency;      // tRNS: palette alphas
    bool greyTransparent = false;                 // tRNS for grey images
    int greyTransparentValue = 0;
};

std::vector<unsigned char> EncodePng(const PngRecipe& recipe);
// Signature, IHDR with the given size (8-bit RGBA) and IEND, without pixel data.
std::vector<unsigned char> PngHeaderOnly(uint32_t width, uint32_t height);
// A file name in the temporary folder unique to this process.
std::string TempPath(const char* name);
