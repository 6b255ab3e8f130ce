#pragma once
// The font rasteriser under LICE_CachedFont's glyph cache. The cache asks it for a font's
// line height and for one character at a time as a coverage cell; everything after that
// (effects, trimming, storing, layout and blending) is the cache's own and the same on every
// platform. A rasteriser that can also draw whole texts straight into a bitmap (GDI into a
// device context) offers that as direct drawing.
//
// Each platform links exactly one engine: GDI on Windows, FreeType elsewhere. Fonts are used
// on one UI thread (see FontCache.h), so an engine keeps its scratch surfaces without locks.

#include <vector>

#include "graphics/raster/LICE_IFont.h"

// One character's coverage, top-left aligned in a cell one line high.
struct LiceGlyphCell
{
    int advance = 0;                     // pen advance in pixels
    int width = 0;                       // cell width: the advance plus room for overhanging ink
    int height = 0;                      // cell height
    std::vector<unsigned char> coverage; // width x height bytes, rows top-down, 0 none to 255 full
};

// What direct drawing paints with.
struct LiceTextPaint
{
    LICE_pixel textColor = 0;
    LICE_pixel backgroundColor = 0;
    int backgroundMode = 1; // 1 transparent, 2 opaque
    float weight = 1.0f;    // combine weight for bitmaps without a device context
};

class LiceFontEngine
{
public:
    virtual ~LiceFontEngine() = default;

    // [window thread] The font's text-metric height in pixels; 0 when it has none.
    virtual int LineHeight(LICE_HFONT font) = 0;
    // [window thread] Rasterises one character into cell; false when it has no glyph.
    virtual bool RenderGlyph(LICE_HFONT font, int code, int lineHeight, LiceGlyphCell& cell) = 0;
    // [window thread] Deletes a font handle the cached font owns.
    virtual void DeleteFont(LICE_HFONT font) = 0;
    // [window thread] The last font is gone: scratch surfaces may go too.
    virtual void ReleaseScratch() = 0;

    // [window thread] Whether DrawDirect exists at all (then fonts too tall to cache use it).
    virtual bool CanDrawDirectly() const = 0;
    // [window thread] Whether direct drawing is also the better choice for ordinary text.
    virtual bool PrefersDirectDrawing() const = 0;
    // [window thread] Draws (or with LICE_DT_CALCRECT measures into rect) UTF-8 text of the
    // given byte length; returns the text's height.
    virtual int DrawDirect(LICE_HFONT font, LICE_IBitmap* bitmap, const char* text, int length,
                           LICE_Rect* rect, int format, const LiceTextPaint& paint) = 0;
};

// The engine of this platform; lives as long as the module.
LiceFontEngine& LicePlatformFontEngine();

// Rectangle helpers shared by the cache and the engines' direct drawing.
LICE_Rect LiceIntersect(const LICE_Rect& a, const LICE_Rect& b);
// Where a box of the given size starts inside rect under the alignment flags.
void LiceAlignInRect(const LICE_Rect& rect, int format, int width, int height, int& x, int& y);
