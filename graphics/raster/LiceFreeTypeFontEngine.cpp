// The FreeType font engine: fonts are FreeType faces over the font files compiled into the
// module (LiceEmbeddedFonts.h), sized like GDI fonts (a positive height is the whole cell,
// ascent plus descent), and glyph cells are FreeType's own coverage bitmaps placed on the
// baseline. There is no direct drawing: all text goes through the glyph cache.
//
// The FreeType library object is module-wide and made with the first font; faces are used
// on one UI thread (see FontCache.h).

#include "graphics/raster/LiceFontEngine.h"
#include "graphics/raster/LiceFontHandle.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include "graphics/raster/LiceEmbeddedFonts.h"

struct LiceFreeTypeFont
{
    FT_Face face = nullptr;
    int ascent = 0;     // pixels above the baseline
    int lineHeight = 0; // pixels, ascent plus descent
    bool monochrome = false;
    bool slanted = false;
};

namespace
{
constexpr int kBoldFromWeight = 600;
constexpr int kDefaultHeight = 12;
constexpr FT_Int32 kLoadFlags = FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP;

FT_Library Library()
{
    // Kept for the module's life: faces may outlive every other static object.
    static FT_Library const library = []
    {
        FT_Library made = nullptr;
        return FT_Init_FreeType(&made) == 0 ? made : nullptr;
    }();
    return library;
}

// Sizes the face as GDI sizes a font: a positive height is the cell (the face's ascender
// plus descender), a negative one the em.
bool SizeFace(LiceFreeTypeFont& font, int height)
{
    if (height == 0)
        height = kDefaultHeight;
    FT_Size_RequestRec request = {};
    request.type = height > 0 ? FT_SIZE_REQUEST_TYPE_CELL : FT_SIZE_REQUEST_TYPE_NOMINAL;
    request.height = static_cast<FT_Long>(std::abs(height)) * 64;
    if (FT_Request_Size(font.face, &request) != 0)
        return false;
    const double units = static_cast<double>(font.face->ascender - font.face->descender);
    if (units <= 0)
        return false;
    if (height > 0)
    {
        font.lineHeight = height;
        font.ascent = static_cast<int>(std::lround(height * font.face->ascender / units));
    }
    else
    {
        const double scale = -height / static_cast<double>(font.face->units_per_EM);
        font.ascent = static_cast<int>(std::lround(font.face->ascender * scale));
        font.lineHeight = font.ascent + static_cast<int>(std::lround(-font.face->descender * scale));
    }
    return true;
}

// Copies FreeType's bitmap into the cell at (left, top), cut to the cell.
void PlaceBitmap(const FT_Bitmap& bitmap, bool monochrome, int left, int top, LiceGlyphCell& cell)
{
    const int rows = static_cast<int>(bitmap.rows);
    const int columns = static_cast<int>(bitmap.width);
    for (int y = 0; y < rows; ++y)
    {
        const int cy = top + y;
        if (cy < 0 || cy >= cell.height)
            continue;
        const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < columns; ++x)
        {
            const int cx = left + x;
            if (cx < 0 || cx >= cell.width)
                continue;
            const int value = monochrome ? ((source[x >> 3] >> (7 - (x & 7))) & 1) * 255 : source[x];
            unsigned char& target = cell.coverage[static_cast<size_t>(cy) * cell.width + cx];
            target = static_cast<unsigned char>(std::max<int>(target, value));
        }
    }
}

class FreeTypeFontEngine : public LiceFontEngine
{
public:
    int LineHeight(LICE_HFONT font) override { return font ? font->lineHeight : 0; }

    bool RenderGlyph(LICE_HFONT font, int code, int lineHeight, LiceGlyphCell& cell) override
    {
        if (!font || !font->face)
            return false;
        const FT_Int32 target = font->monochrome ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
        if (FT_Load_Char(font->face, static_cast<FT_ULong>(code), kLoadFlags | target) != 0)
            return false;
        FT_GlyphSlot slot = font->face->glyph;
        if (font->slanted)
            FT_GlyphSlot_Oblique(slot);
        if (FT_Render_Glyph(slot, font->monochrome ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
            return false;
        const int advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (advance <= 0 || lineHeight <= 0)
            return false;
        // Room for overhanging italics and the like beyond the advance, as the GDI engine leaves.
        const int overhang = lineHeight < 16 ? 0 : lineHeight / 16;
        cell.advance = advance;
        cell.width = advance + overhang + 2;
        cell.height = lineHeight;
        cell.coverage.assign(static_cast<size_t>(cell.width) * cell.height, 0);
        PlaceBitmap(slot->bitmap, font->monochrome, slot->bitmap_left, font->ascent - slot->bitmap_top, cell);
        return true;
    }

    void DeleteFont(LICE_HFONT font) override
    {
        if (!font)
            return;
        if (font->face)
            FT_Done_Face(font->face);
        delete font;
    }

    void ReleaseScratch() override {}

    bool CanDrawDirectly() const override { return false; }
    bool PrefersDirectDrawing() const override { return false; }
    int DrawDirect(LICE_HFONT, LICE_IBitmap*, const char*, int, LICE_Rect*, int,
                   const LiceTextPaint&) override
    {
        return 0;
    }
};
} // namespace

LiceFontEngine& LicePlatformFontEngine()
{
    // Never destroyed: cached fonts still reach it while the module's statics go away.
    static FreeTypeFontEngine* const engine = new FreeTypeFontEngine;
    return *engine;
}

LICE_HFONT LiceCreateFontHandle(const LiceFontRequest& request)
{
    FT_Library library = Library();
    const LiceEmbeddedFont file = LiceSansFont(request.weight >= kBoldFromWeight);
    if (!library || !file.bytes || file.size == 0)
        return nullptr;
    auto* font = new LiceFreeTypeFont;
    font->monochrome = request.quality == 1;
    font->slanted = request.italic;
    if (FT_New_Memory_Face(library, file.bytes, static_cast<FT_Long>(file.size), 0, &font->face) != 0)
    {
        delete font;
        return nullptr;
    }
    if (!SizeFace(*font, request.height))
    {
        FT_Done_Face(font->face);
        delete font;
        return nullptr;
    }
    return font;
}
