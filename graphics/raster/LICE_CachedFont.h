#pragma once
// A font that draws either directly through the platform's font engine (GDI into
// a bitmap's device context) or from its own cache of glyph coverage images,
// rendered once per character by the engine (LiceFontEngine.h: GDI on Windows,
// FreeType elsewhere) and then blended in integers. The glyph path handles what
// direct drawing cannot: translucent text, bitmaps without a device context, and
// glyph effects. A font without a handle has no glyphs: its text measures as
// nothing and draws nothing.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "graphics/raster/LICE_IFont.h"

class LICE_CachedFont : public LICE_IFont
{
public:
    LICE_CachedFont();
    LICE_CachedFont(const LICE_CachedFont&) = delete;
    LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

    // [window thread] Deletes an owned handle; the last live font frees the scratch bitmaps.
    ~LICE_CachedFont() override;
    // [window thread]
    void SetFromFontHandle(LICE_HFONT font, int flags) override;
    // [window thread]
    LICE_pixel SetTextColor(LICE_pixel color) override;
    // [window thread]
    LICE_pixel SetBackgroundColor(LICE_pixel color) override;
    // [window thread]
    LICE_pixel SetOutlineColor(LICE_pixel color) override;
    // [window thread]
    int SetBackgroundMode(int mode) override;
    // [window thread]
    void SetTextBlend(int mode, float weight) override;
    // [window thread]
    int RenderText(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* rect, int format) override;
    // [window thread]
    LICE_pixel GetTextColor() const override { return m_textColor; }
    // [window thread]
    LICE_HFONT GetFontHandle() const override { return m_font; }
    // [window thread]
    int LineHeight() const override { return m_lineHeight; }
    // [window thread] Blends one character's glyph at (x, y), cut to clip.
    virtual void BlendGlyph(LICE_IBitmap* bitmap, int code, int x, int y, const LICE_Rect& clip);

    // Bytes of glyph coverage cached so far (each character adds its image once).
    size_t GlyphCoverageBytes() const { return m_coverage.size(); }
    // Fonts alive in this module.
    static int LiveFontCount();

private:
    struct GlyphRecord
    {
        int32_t coverageOffsetPlusOne = 0; // 0 not yet rendered, -1 no glyph
        int32_t width = 0;
        int32_t height = 0;
        int32_t advance = 0;
        uint16_t code = 0;
    };

    struct TextExtent
    {
        int width = 0;
        int height = 0;
    };

    bool UsesDirectDrawing(int format) const;
    int RenderDirect(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* rect, int format);
    TextExtent MeasureGlyphs(const char* text, int length, int format);
    int DrawGlyphs(LICE_IBitmap* bitmap, const char* text, int length, const LICE_Rect& rect, int format);

    const GlyphRecord* GlyphFor(int code);
    GlyphRecord* FindOrAddRecord(int code);
    void RenderGlyph(GlyphRecord& record);
    void StoreCoverage(GlyphRecord& record, std::vector<unsigned char>& image, int width, int height);
    void ApplyCoverageEffects(std::vector<unsigned char>& image, int width, int height) const;
    void BlendCoverage(LICE_IBitmap* bitmap, const unsigned char* coverage, int glyphWidth, int x, int y,
                       const LICE_Rect& cut);
    void ClearGlyphCache();

    LICE_pixel m_textColor = 0;
    LICE_pixel m_backgroundColor = 0xFFFFFFFF;
    LICE_pixel m_effectColor = 0xFFFFFFFF;
    int m_backgroundMode = 1;
    int m_combineMode = 0;
    float m_combineWeight = 1.0f;
    int m_flags = 0;
    int m_lineHeight = 0;
    int m_extraLineSpacing = 0;
    GlyphRecord m_asciiGlyphs[128];
    std::vector<GlyphRecord> m_extendedGlyphs; // sorted by code
    std::vector<unsigned char> m_coverage;
    LICE_HFONT m_font = nullptr;
};
