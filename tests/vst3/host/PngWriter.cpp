#include "tests/vst3/host/PngWriter.h"

#include <png.h>

#include <cstdio>
#include <vector>

bool WritePng(const std::string& path, int width, int height, const uint32_t* pixels)
{
    if (width <= 0 || height <= 0 || pixels == nullptr)
        return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    std::vector<png_byte> row(static_cast<size_t>(width) * 3);
    bool written = false;
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0)
    {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y)
        {
            for (int x = 0; x < width; ++x)
            {
                const uint32_t pixel = pixels[static_cast<size_t>(y) * width + x];
                row[x * 3 + 0] = static_cast<png_byte>(pixel >> 16);
                row[x * 3 + 1] = static_cast<png_byte>(pixel >> 8);
                row[x * 3 + 2] = static_cast<png_byte>(pixel);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, info);
        written = true;
    }
    png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
    written = std::fclose(file) == 0 && written;
    if (!written)
        std::remove(path.c_str());
    return written;
}
