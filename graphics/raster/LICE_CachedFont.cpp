#include "graphics/raster/LICE_CachedFont.h"

#include <algorithm>
#include <climits>

#include "graphics/raster/LICE_MemBitmap.h"
#include "graphics/raster/LiceBlit.h"
#include "graphics/raster/LiceFontEngine.h"
#include "graphics/raster/LiceUtf8.h"

namespace
{

constexpr int kAlignmentFormats = LICE_DT_CENTER | LICE_DT_RIGHT | LICE_DT_VCENTER | LICE_DT_BOTTOM;
constexpr int kThresholdFlags = LICE_FontThreshold | LICE_FontOutlineBehind | LICE_FontOutline;
constexpr int kMaxGlyphLineHeight = 1023;
constexpr size_t kCoverageGrowthBytes = 65536;

// Module-wide; fonts are used on one UI thread (see FontCache.h).
int g_liveFonts = 0;

// Coverage of 255 is full ink; 128 marks an outline pixel.
void ThresholdAndOutline(std::vector<unsigned char>& image, int width, int height, int flags)
{
    for (unsigned char& c : image)
        c = c > 130 ? 255 : 0;
    if (!(flags & (LICE_FontOutline | LICE_FontOutlineBehind)))
        return;
    const std::vector<unsigned char> ink = image;
    auto full = [&](int x, int y)
    { return x >= 0 && y >= 0 && x < width && y < height && ink[static_cast<size_t>(y) * width + x] == 255; };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            unsigned char& c = image[static_cast<size_t>(y) * width + x];
            if (c != 0)
                continue;
            const bool touches = (flags & LICE_FontOutline)
                                     ? full(x - 1, y) || full(x + 1, y) || full(x, y - 1) || full(x, y + 1)
                                     : full(x - 1, y) || full(x - 1, y - 1) || full(x, y - 1);
            if (touches)
                c = 128;
        }
}

// A quarter turn; clockwise unless counterClockwise.
std::vector<unsigned char> Rotated(const std::vector<unsigned char>& image, int width, int height,
                                   bool counterClockwise)
{
    std::vector<unsigned char> turned(image.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const int tx = counterClockwise ? y : height - 1 - y;
            const int ty = counterClockwise ? width - 1 - x : x;
            turned[static_cast<size_t>(ty) * height + tx] = image[static_cast<size_t>(y) * width + x];
        }
    return turned;
}

// Fonts with any of these draw through the glyph cache, which applies them.
constexpr int kGlyphEffectFlags = LICE_FontVertical | LICE_FontVerticalFlip | LICE_FontPrecacheAscii |
                                  LICE_FontBlur | LICE_FontInvert | LICE_FontThreshold |
                                  LICE_FontOutlineBehind | LICE_FontOutline;
// Above this an engine that can draw directly does: glyph images that large are not worth caching.
constexpr int kMaxGlyphPathLineHeight = 255;

// The 1-2-1 blur of the raster layer over a coverage cell.
void BlurCoverage(LiceGlyphCell& cell)
{
    LICE_MemBitmap gray(cell.width, cell.height);
    if (!gray.GetBits())
        return;
    for (int y = 0; y < cell.height; ++y)
        for (int x = 0; x < cell.width; ++x)
        {
            const int c = cell.coverage[static_cast<size_t>(y) * cell.width + x];
            gray.GetBits()[static_cast<int64_t>(y) * gray.GetRowSpan() + x] = LICE_RGBA(c, c, c, 0);
        }
    BlurBitmap(&gray, cell.width, cell.height);
    for (int y = 0; y < cell.height; ++y)
        for (int x = 0; x < cell.width; ++x)
            cell.coverage[static_cast<size_t>(y) * cell.width + x] = static_cast<unsigned char>(
                LICE_GetR(gray.GetBits()[static_cast<int64_t>(y) * gray.GetRowSpan() + x]));
}

} // namespace

LICE_Rect LiceIntersect(const LICE_Rect& a, const LICE_Rect& b)
{
    LICE_Rect r;
    r.left = std::max(a.left, b.left);
    r.top = std::max(a.top, b.top);
    r.right = std::min(a.right, b.right);
    r.bottom = std::min(a.bottom, b.bottom);
    return r;
}

void LiceAlignInRect(const LICE_Rect& rect, int format, int width, int height, int& x, int& y)
{
    if (format & LICE_DT_RIGHT)
        x = rect.right - width;
    else if (format & LICE_DT_CENTER)
        x = (rect.left + rect.right - width) / 2;
    else
        x = rect.left;
    if (format & LICE_DT_BOTTOM)
        y = rect.bottom - height;
    else if (format & LICE_DT_VCENTER)
        y = (rect.top + rect.bottom - height) / 2;
    else
        y = rect.top;
}

LICE_CachedFont::LICE_CachedFont()
{
    ++g_liveFonts;
    ClearGlyphCache();
}

LICE_CachedFont::~LICE_CachedFont()
{
    if ((m_flags & LICE_FontOwnsHandle) && m_font)
        LicePlatformFontEngine().DeleteFont(m_font);
    if (--g_liveFonts == 0)
        LicePlatformFontEngine().ReleaseScratch();
}

int LICE_CachedFont::LiveFontCount() { return g_liveFonts; }

void LICE_CachedFont::ClearGlyphCache()
{
    for (int code = 0; code < 128; ++code)
    {
        m_asciiGlyphs[code] = GlyphRecord();
        m_asciiGlyphs[code].code = static_cast<uint16_t>(code);
    }
    m_extendedGlyphs.clear();
    m_coverage.clear();
}

void LICE_CachedFont::SetFromFontHandle(LICE_HFONT font, int flags)
{
    if ((m_flags & LICE_FontOwnsHandle) && m_font && m_font != font)
        LicePlatformFontEngine().DeleteFont(m_font);
    m_font = font;
    m_flags = flags;
    m_lineHeight = m_font ? LicePlatformFontEngine().LineHeight(m_font) : 0;
    ClearGlyphCache();
    if (m_flags & LICE_FontPrecacheAscii)
        for (int code = 0; code < 128; ++code)
            GlyphFor(code);
}

LICE_pixel LICE_CachedFont::SetTextColor(LICE_pixel color)
{
    const LICE_pixel previous = m_textColor;
    m_textColor = color;
    return previous;
}

LICE_pixel LICE_CachedFont::SetBackgroundColor(LICE_pixel color)
{
    const LICE_pixel previous = m_backgroundColor;
    m_backgroundColor = color;
    return previous;
}

LICE_pixel LICE_CachedFont::SetOutlineColor(LICE_pixel color)
{
    const LICE_pixel previous = m_effectColor;
    m_effectColor = color;
    return previous;
}

int LICE_CachedFont::SetBackgroundMode(int mode)
{
    const int previous = m_backgroundMode;
    m_backgroundMode = mode;
    return previous;
}

void LICE_CachedFont::SetTextBlend(int mode, float weight)
{
    m_combineMode = mode;
    m_combineWeight = weight;
}

// ---- Glyph cache.

LICE_CachedFont::GlyphRecord* LICE_CachedFont::FindOrAddRecord(int code)
{
    if (code < 0 || code > 0xFFFF)
        return nullptr;
    if (code < 128)
        return &m_asciiGlyphs[code];
    auto byCode = [](const GlyphRecord& record, int wanted) { return record.code < wanted; };
    auto found = std::lower_bound(m_extendedGlyphs.begin(), m_extendedGlyphs.end(), code, byCode);
    if (found != m_extendedGlyphs.end() && found->code == code)
        return &*found;
    if (m_flags & LICE_FontPrecacheAscii)
        return nullptr;
    GlyphRecord record;
    record.code = static_cast<uint16_t>(code);
    return &*m_extendedGlyphs.insert(found, record);
}

const LICE_CachedFont::GlyphRecord* LICE_CachedFont::GlyphFor(int code)
{
    if (m_lineHeight > kMaxGlyphLineHeight)
        return nullptr;
    GlyphRecord* record = FindOrAddRecord(code);
    if (record && record->coverageOffsetPlusOne == 0)
        RenderGlyph(*record);
    return record;
}

void LICE_CachedFont::RenderGlyph(GlyphRecord& record)
{
    // Until the engine says otherwise the character has no glyph; a font without a
    // handle stays that way.
    record.coverageOffsetPlusOne = -1;
    record.width = 0;
    record.height = 0;
    record.advance = 0;
    LiceGlyphCell cell;
    if (!m_font || !LicePlatformFontEngine().RenderGlyph(m_font, record.code, m_lineHeight, cell))
        return;
    if (m_flags & LICE_FontBlur)
        BlurCoverage(cell);

    std::vector<unsigned char>& image = cell.coverage;
    int lastInkColumn = -1;
    for (int y = 0; y < cell.height; ++y)
        for (int x = 0; x < cell.width; ++x)
        {
            unsigned char& coverage = image[static_cast<size_t>(y) * cell.width + x];
            if (m_flags & LICE_FontInvert)
                coverage = static_cast<unsigned char>(255 - coverage);
            if (coverage)
                lastInkColumn = std::max(lastInkColumn, x);
        }
    record.advance = cell.advance;
    // The stored image ends at the last inked column, but never before the advance.
    const int width = std::min(cell.width, std::max(lastInkColumn + 1, cell.advance));
    if (width < cell.width)
        for (int y = 1; y < cell.height; ++y)
            std::copy_n(&image[static_cast<size_t>(y) * cell.width], width,
                        &image[static_cast<size_t>(y) * width]);
    image.resize(static_cast<size_t>(width) * cell.height);
    StoreCoverage(record, image, width, cell.height);
}

void LICE_CachedFont::ApplyCoverageEffects(std::vector<unsigned char>& image, int width, int height) const
{
    if (m_flags & kThresholdFlags)
        ThresholdAndOutline(image, width, height, m_flags);
}

void LICE_CachedFont::StoreCoverage(GlyphRecord& record, std::vector<unsigned char>& image, int width,
                                    int height)
{
    ApplyCoverageEffects(image, width, height);
    if (m_flags & LICE_FontVertical)
    {
        image = Rotated(image, width, height, (m_flags & LICE_FontVerticalFlip) != 0);
        std::swap(width, height);
    }
    const size_t offset = m_coverage.size();
    const size_t needed = offset + image.size();
    if (needed >= static_cast<size_t>(INT32_MAX))
        return; // stays without a glyph
    if (needed > m_coverage.capacity())
        m_coverage.reserve((needed + kCoverageGrowthBytes - 1) / kCoverageGrowthBytes * kCoverageGrowthBytes);
    m_coverage.insert(m_coverage.end(), image.begin(), image.end());
    record.coverageOffsetPlusOne = static_cast<int32_t>(offset) + 1;
    record.width = width;
    record.height = height;
}

// ---- Layout shared by measuring and drawing.

namespace
{
// Walks the characters of a text line by line. For each glyph it calls
// visit(code, glyph, along, lineStart): the pen position along the line and
// the line's offset across. Returns the extent (along, across).
template <class GlyphSource, class Visitor>
void WalkText(const char* text, int length, int format, int lineAdvance, bool vertical, GlyphSource glyphFor,
              Visitor visit, int& maxAlong, int& across)
{
    int along = 0;
    int lineStart = 0;
    int lineExtent = 0;
    maxAlong = 0;
    across = 0;
    int position = 0;
    while (position < length)
    {
        int code = 0;
        const int used = LiceDecodeUtf8Char(text + position, length - position, code);
        if (used == 0)
            break;
        position += used;
        if (code == '\r')
            continue;
        if (code == '\n')
        {
            if (!(format & LICE_DT_SINGLELINE))
            {
                maxAlong = std::max(maxAlong, along);
                along = 0;
                lineStart += lineAdvance;
                lineExtent = 0;
                continue;
            }
            code = ' ';
        }
        const auto* glyph = glyphFor(code);
        if (!glyph)
            continue;
        visit(code, along, lineStart);
        along += glyph->advance;
        lineExtent = std::max(lineExtent, vertical ? glyph->width : glyph->height);
        across = std::max(across, lineStart + lineExtent);
    }
    maxAlong = std::max(maxAlong, along);
}
} // namespace

LICE_CachedFont::TextExtent LICE_CachedFont::MeasureGlyphs(const char* text, int length, int format)
{
    const bool vertical = (m_flags & LICE_FontVertical) != 0;
    int along = 0;
    int across = 0;
    WalkText(
        text, length, format, m_lineHeight + m_extraLineSpacing, vertical,
        [this](int code) { return GlyphFor(code); }, [](int, int, int) {}, along, across);
    TextExtent extent;
    extent.width = vertical ? across : along;
    extent.height = vertical ? along : across;
    return extent;
}

int LICE_CachedFont::DrawGlyphs(LICE_IBitmap* bitmap, const char* text, int length, const LICE_Rect& rect,
                                int format)
{
    if (static_cast<int>(m_combineWeight * 256.0f) == 0 || !bitmap->GetBits())
        return 0;
    const bool vertical = (m_flags & LICE_FontVertical) != 0;
    int x = rect.left;
    int y = rect.top;
    if (format & kAlignmentFormats)
    {
        const TextExtent extent = MeasureGlyphs(text, length, format);
        LiceAlignInRect(rect, format, extent.width, extent.height, x, y);
    }
    const LICE_Rect whole = {0, 0, bitmap->GetWidth(), bitmap->GetHeight()};
    const LICE_Rect clip = (format & LICE_DT_NOCLIP) ? whole : LiceIntersect(rect, whole);

    int along = 0;
    int across = 0;
    WalkText(
        text, length, format, m_lineHeight + m_extraLineSpacing, vertical,
        [this](int code) { return GlyphFor(code); },
        [&](int code, int penAlong, int lineStart)
        {
            if (vertical)
                BlendGlyph(bitmap, code, x + lineStart, y + penAlong, clip);
            else
                BlendGlyph(bitmap, code, x + penAlong, y + lineStart, clip);
        },
        along, across);
    return across;
}

void LICE_CachedFont::BlendGlyph(LICE_IBitmap* bitmap, int code, int x, int y, const LICE_Rect& clip)
{
    if (!bitmap || !bitmap->GetBits())
        return;
    const GlyphRecord* glyph = GlyphFor(code);
    if (!glyph || glyph->coverageOffsetPlusOne <= 0)
        return;
    const LICE_Rect cell = {x, y, x + glyph->width, y + glyph->height};
    const LICE_Rect whole = {0, 0, bitmap->GetWidth(), bitmap->GetHeight()};
    const LICE_Rect cut = LiceIntersect(LiceIntersect(cell, clip), whole);
    if (cut.left >= cut.right || cut.top >= cut.bottom)
        return;
    if (m_backgroundMode == 2)
        FillRect(bitmap, cut.left, cut.top, cut.right - cut.left, cut.bottom - cut.top, m_backgroundColor,
                 m_combineWeight, m_combineMode & ~BlendUseSourceAlpha);
    BlendCoverage(bitmap, &m_coverage[static_cast<size_t>(glyph->coverageOffsetPlusOne - 1)], glyph->width, x,
                  y, cut);
}

void LICE_CachedFont::BlendCoverage(LICE_IBitmap* bitmap, const unsigned char* coverage, int glyphWidth,
                                    int x, int y, const LICE_Rect& cut)
{
    const int w = static_cast<int>(m_combineWeight * 256.0f);
    if (w <= 0)
        return;
    const bool thresholded = (m_flags & kThresholdFlags) != 0;
    const bool copyMode = (m_combineMode & 0xFF) == BlendCopy;
    const int span = bitmap->GetRowSpan();
    for (int py = cut.top; py < cut.bottom; ++py)
    {
        const int storedRow = bitmap->IsFlipped() ? bitmap->GetHeight() - 1 - py : py;
        LICE_pixel* row = bitmap->GetBits() + static_cast<int64_t>(storedRow) * span;
        const unsigned char* coverageRow = coverage + static_cast<size_t>(py - y) * glyphWidth;
        for (int px = cut.left; px < cut.right; ++px)
        {
            int c = coverageRow[px - x];
            if (c == 0)
                continue;
            LICE_pixel color = m_textColor;
            if (thresholded)
            {
                color = c == 255 ? m_textColor : m_effectColor;
                c = 255;
            }
            if (!copyMode)
            {
                // Modes the editor never uses: their own formula, coverage as the weight.
                FillRect(bitmap, px, py, 1, 1, color, m_combineWeight * static_cast<float>(c) / 255.0f,
                         m_combineMode);
                continue;
            }
            // g is how much of the destination survives; covered pixels only ever
            // become more opaque.
            const int g = w == 256 ? 255 - c : 256 - std::min(256, w * c / 256);
            LICE_pixel& d = row[px];
            const int r = (LICE_GetR(d) - LICE_GetR(color)) * g / 256 + LICE_GetR(color);
            const int gr = (LICE_GetG(d) - LICE_GetG(color)) * g / 256 + LICE_GetG(color);
            const int b = (LICE_GetB(d) - LICE_GetB(color)) * g / 256 + LICE_GetB(color);
            const int a = 255 - (255 - LICE_GetA(d)) * g / 256;
            d = LICE_RGBA(r, gr, b, a);
        }
    }
}

// ---- Drawing entry.

bool LICE_CachedFont::UsesDirectDrawing(int format) const
{
    const LiceFontEngine& engine = LicePlatformFontEngine();
    if (!m_font || !engine.CanDrawDirectly())
        return false;
    if (m_lineHeight > kMaxGlyphPathLineHeight)
        return true;
    return (m_flags & LICE_FontAllowDirectDraw) && engine.PrefersDirectDrawing() &&
           !(format & FormatUseTextAlpha) && !(m_flags & kGlyphEffectFlags) &&
           (m_extraLineSpacing == 0 || (format & LICE_DT_SINGLELINE));
}

int LICE_CachedFont::RenderDirect(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* rect,
                                  int format)
{
    LiceTextPaint paint;
    paint.textColor = m_textColor;
    paint.backgroundColor = m_backgroundColor;
    paint.backgroundMode = m_backgroundMode;
    paint.weight = m_combineWeight;
    return LicePlatformFontEngine().DrawDirect(m_font, bitmap, text, length, rect, format, paint);
}

int LICE_CachedFont::RenderText(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* rect,
                                int format)
{
    if (!text || !rect)
        return 0;
    const bool measuring = (format & LICE_DT_CALCRECT) != 0;
    if (!bitmap && !measuring)
        return 0;
    const int textLength = LiceTextLength(text, length);

    // Translucent text scales the blend weight for this call only.
    const float savedWeight = m_combineWeight;
    if (format & FormatUseTextAlpha)
        m_combineWeight *= static_cast<float>(LICE_GetA(m_textColor)) / 255.0f;

    int result = 0;
    if (UsesDirectDrawing(format))
    {
        result = RenderDirect(bitmap, text, textLength, rect, format);
    }
    else if (measuring)
    {
        const TextExtent extent = MeasureGlyphs(text, textLength, format);
        rect->right = rect->left + extent.width;
        rect->bottom = rect->top + extent.height;
        result = (m_flags & LICE_FontVertical) ? extent.width : extent.height;
    }
    else
    {
        result = DrawGlyphs(bitmap, text, textLength, *rect, format);
    }
    m_combineWeight = savedWeight;
    return result;
}
