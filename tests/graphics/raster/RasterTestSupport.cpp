#include "tests/graphics/raster/RasterTestSupport.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace
{
LICE_pixel* PixelPointer(const LICE_IBitmap& bitmap, int x, int y)
{
    const int row = bitmap.IsFlipped() ? bitmap.GetHeight() - 1 - y : y;
    return bitmap.GetBits() + static_cast<int64_t>(row) * bitmap.GetRowSpan() + x;
}

void AppendToVector(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

void AppendBigEndian(std::vector<unsigned char>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(value >> shift));
}

void AppendChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data)
{
    AppendBigEndian(out, static_cast<uint32_t>(data.size()));
    std::vector<unsigned char> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    out.insert(out.end(), typed.begin(), typed.end());
    AppendBigEndian(out, static_cast<uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}
} // namespace

void FillAll(LICE_IBitmap& bitmap, LICE_pixel value)
{
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x)
            *PixelPointer(bitmap, x, y) = value;
}

LICE_pixel PixelAt(const LICE_IBitmap& bitmap, int x, int y) { return *PixelPointer(bitmap, x, y); }

void SetPixel(LICE_IBitmap& bitmap, int x, int y, LICE_pixel value) { *PixelPointer(bitmap, x, y) = value; }

int CountNot(const LICE_IBitmap& bitmap, LICE_pixel value)
{
    int count = 0;
    for (int y = 0; y < bitmap.GetHeight(); ++y)
        for (int x = 0; x < bitmap.GetWidth(); ++x)
            count += *PixelPointer(bitmap, x, y) != value;
    return count;
}

std::vector<unsigned char> EncodePng(const PngRecipe& recipe)
{
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendToVector, NoFlush);
    png_set_IHDR(png, info, recipe.width, recipe.height, recipe.bitDepth, recipe.colorType,
                 recipe.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < recipe.paletteRgb.size(); i += 3)
        palette.push_back({recipe.paletteRgb[i], recipe.paletteRgb[i + 1], recipe.paletteRgb[i + 2]});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    png_color_16 greyKey = {};
    greyKey.gray = static_cast<png_uint_16>(recipe.greyTransparentValue);
    if (!recipe.transparency.empty())
        png_set_tRNS(png, info, recipe.transparency.data(), static_cast<int>(recipe.transparency.size()),
                     nullptr);
    else if (recipe.greyTransparent)
        png_set_tRNS(png, info, nullptr, 0, &greyKey);
    png_write_info(png, info);
    std::vector<png_bytep> rowPointers;
    for (const auto& row : recipe.rows)
        rowPointers.push_back(const_cast<png_bytep>(row.data()));
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<unsigned char> PngHeaderOnly(uint32_t width, uint32_t height)
{
    std::vector<unsigned char> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    AppendBigEndian(header, width);
    AppendBigEndian(header, height);
    header.insert(header.end(), {8, 6, 0, 0, 0});
    AppendChunk(out, "IHDR", header);
    AppendChunk(out, "IEND", {});
    return out;
}

std::string TempPath(const char* name)
{
#ifdef _WIN32
    const char* folder = std::getenv("TEMP");
    const std::string base = folder ? folder : ".";
    return base + "\\raster_" + std::to_string(getpid()) + "_" + name;
#else
    return "/tmp/raster_" + std::to_string(getpid()) + "_" + name;
#endif
}
