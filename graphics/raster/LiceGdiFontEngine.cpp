// The GDI font engine: fonts are GDI font handles, glyph cells are drawn white on black into
// a scratch DIB section and read back, and opaque text is drawn by GDI straight into a
// bitmap's device context (through a scratch section for bitmaps without one).
//
// The two scratch bitmaps are module-wide and only ever grow; they are used from one UI
// thread at a time (see FontCache.h) and freed when the last font goes.

#include "graphics/raster/LiceFontEngine.h"
#include "graphics/raster/LiceFontHandle.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "graphics/raster/LICE_SysBitmap.h"
#include "graphics/raster/LiceBlit.h"
#include "graphics/raster/LiceUtf8.h"

namespace
{
constexpr int kGlyphScratchMinSide = 256;
constexpr int kTextScratchMinSide = 4;

BYTE QualityFor(int quality)
{
    switch (quality)
    {
        case 1: return NONANTIALIASED_QUALITY;
        case 2: return ANTIALIASED_QUALITY;
        case 3: return CLEARTYPE_QUALITY;
        default: return DEFAULT_QUALITY;
    }
}

// Scratch bitmaps only ever grow, so a long text does not reallocate per call.
void GrowToAtLeast(LICE_SysBitmap& bitmap, int width, int height)
{
    if (bitmap.GetWidth() < width || bitmap.GetHeight() < height)
        bitmap.Resize(std::max(bitmap.GetWidth(), width), std::max(bitmap.GetHeight(), height));
}

// Wine's GDI draws text with other rules than Windows'; the glyph cache looks the same on both.
bool RunningUnderWine()
{
    static const bool underWine = []
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }();
    return underWine;
}

COLORREF ToColorRef(LICE_pixel color) { return RGB(LICE_GetR(color), LICE_GetG(color), LICE_GetB(color)); }

RECT ToRECT(const LICE_Rect& r)
{
    RECT out = {r.left, r.top, r.right, r.bottom};
    return out;
}

// UTF-8 text prepared for GDI: converted to UTF-16 when it holds multi-byte
// characters (short texts on the stack), else drawn from its bytes.
class GdiText
{
public:
    GdiText(const char* text, int length) : m_text(text), m_length(length)
    {
        if (!LiceHasUtf8MultiByte(text, length))
            return;
        const int needed = MultiByteToWideChar(CP_UTF8, 0, text, length, nullptr, 0);
        if (needed <= 0)
            return;
        wchar_t* target = m_stack;
        int capacity = kStackChars;
        if (needed > kStackLimit)
        {
            m_heap.resize(static_cast<size_t>(needed) + 32);
            target = m_heap.data();
            capacity = static_cast<int>(m_heap.size());
        }
        m_wideLength = MultiByteToWideChar(CP_UTF8, 0, text, length, target, capacity);
        m_wide = m_wideLength > 0 ? target : nullptr;
    }

    int Draw(HDC dc, RECT* rect, UINT format) const
    {
        if (m_wide)
            return DrawTextW(dc, m_wide, m_wideLength, rect, format);
        return DrawTextA(dc, m_text, m_length, rect, format);
    }

private:
    static constexpr int kStackChars = 1024;
    static constexpr int kStackLimit = 999;
    const char* m_text;
    int m_length;
    wchar_t m_stack[kStackChars];
    std::vector<wchar_t> m_heap;
    const wchar_t* m_wide = nullptr;
    int m_wideLength = 0;
};

void SetUpPaint(HDC dc, const LiceTextPaint& paint)
{
    ::SetTextColor(dc, ToColorRef(paint.textColor));
    SetBkMode(dc, paint.backgroundMode == 2 ? OPAQUE : TRANSPARENT);
    if (paint.backgroundMode == 2)
        SetBkColor(dc, ToColorRef(paint.backgroundColor));
}

class GdiFontEngine : public LiceFontEngine
{
public:
    int LineHeight(LICE_HFONT font) override
    {
        EnsureGlyphScratch();
        HDC dc = m_glyphScratch->GetDeviceContext();
        if (!font || !dc)
            return 0;
        HGDIOBJ previous = SelectObject(dc, font);
        TEXTMETRICW metrics = {};
        const int height = GetTextMetricsW(dc, &metrics) ? metrics.tmHeight : 0;
        SelectObject(dc, previous);
        return height;
    }

    bool RenderGlyph(LICE_HFONT font, int code, int lineHeight, LiceGlyphCell& cell) override
    {
        if (!font)
            return false;
        EnsureGlyphScratch();
        const int side = std::max(lineHeight, 1) * 2 + 8;
        GrowToAtLeast(*m_glyphScratch, side, side);
        HDC dc = m_glyphScratch->GetDeviceContext();
        if (!dc || !m_glyphScratch->GetBits())
            return false;

        HGDIOBJ previous = SelectObject(dc, font);
        const wchar_t character = static_cast<wchar_t>(code);
        RECT measured = {0, 0, 0, 0};
        DrawTextW(dc, &character, 1, &measured, DT_NOPREFIX | DT_CALCRECT | DT_SINGLELINE);
        const int measuredWidth = measured.right - measured.left;
        const int measuredHeight = measured.bottom - measured.top;
        if (measuredWidth <= 0 || measuredHeight <= 0)
        {
            SelectObject(dc, previous);
            return false;
        }
        // Room for overhanging italics and the like beyond the advance.
        const int overhang = lineHeight < 16 ? 0 : lineHeight / 16;
        cell.advance = measuredWidth;
        cell.width = std::min(measuredWidth + overhang + 2, m_glyphScratch->GetWidth());
        cell.height = std::min(measuredHeight, m_glyphScratch->GetHeight());
        FillRect(m_glyphScratch.get(), 0, 0, cell.width, cell.height, 0, 1.0f, BlendCopy);
        RECT area = {0, 0, cell.width, cell.height};
        DrawTextW(dc, &character, 1, &area, DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
        GdiFlush(); // the pixels are read directly below
        SelectObject(dc, previous);

        // White ink on black: the red byte of each pixel is the coverage.
        cell.coverage.resize(static_cast<size_t>(cell.width) * cell.height);
        for (int y = 0; y < cell.height; ++y)
        {
            const LICE_pixel* row =
                m_glyphScratch->GetBits() + static_cast<int64_t>(y) * m_glyphScratch->GetRowSpan();
            for (int x = 0; x < cell.width; ++x)
                cell.coverage[static_cast<size_t>(y) * cell.width + x] =
                    static_cast<unsigned char>(LICE_GetR(row[x]));
        }
        return true;
    }

    void DeleteFont(LICE_HFONT font) override
    {
        if (font)
            DeleteObject(font);
    }

    void ReleaseScratch() override
    {
        m_glyphScratch.reset();
        m_textScratch.reset();
    }

    bool CanDrawDirectly() const override { return true; }
    bool PrefersDirectDrawing() const override { return !RunningUnderWine(); }

    int DrawDirect(LICE_HFONT font, LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* rect,
                   int format, const LiceTextPaint& paint) override
    {
        const GdiText gdiText(text, length);
        const UINT gdiFormat = static_cast<UINT>(format & ~FormatUseTextAlpha);
        HDC dc = bitmap ? bitmap->GetDeviceContext() : nullptr;
        if (dc)
        {
            HGDIOBJ previous = SelectObject(dc, font);
            SetUpPaint(dc, paint);
            RECT r = ToRECT(*rect);
            const int height = gdiText.Draw(dc, &r, gdiFormat | DT_NOPREFIX);
            GdiFlush(); // later blits read these pixels directly
            SelectObject(dc, previous);
            if (format & LICE_DT_CALCRECT)
                *rect = {r.left, r.top, r.right, r.bottom};
            return height;
        }
        return DrawThroughScratch(font, bitmap, gdiText, rect, format, gdiFormat, paint);
    }

private:
    void EnsureGlyphScratch()
    {
        if (!m_glyphScratch)
        {
            m_glyphScratch = std::make_unique<LICE_SysBitmap>(kGlyphScratchMinSide, kGlyphScratchMinSide);
            if (HDC dc = m_glyphScratch->GetDeviceContext())
            {
                // White ink on black: the red byte of each pixel is the glyph's coverage.
                ::SetTextColor(dc, RGB(255, 255, 255));
                SetBkMode(dc, OPAQUE);
                SetBkColor(dc, RGB(0, 0, 0));
            }
        }
        GrowToAtLeast(*m_glyphScratch, kGlyphScratchMinSide, kGlyphScratchMinSide);
    }

    // No device context: draw into the text scratch and copy the area back.
    int DrawThroughScratch(LICE_HFONT font, LICE_IBitmap* bitmap, const GdiText& gdiText, LICE_Rect* rect,
                           int format, UINT gdiFormat, const LiceTextPaint& paint)
    {
        if (!m_textScratch)
            m_textScratch = std::make_unique<LICE_SysBitmap>(kTextScratchMinSide, kTextScratchMinSide);
        GrowToAtLeast(*m_textScratch, kTextScratchMinSide, kTextScratchMinSide);
        HDC scratchDc = m_textScratch->GetDeviceContext();
        if (!scratchDc)
            return 0;
        HGDIOBJ previous = SelectObject(scratchDc, font);
        RECT measured = {0, 0, rect->right - rect->left, rect->bottom - rect->top};
        gdiText.Draw(scratchDc, &measured, (gdiFormat & ~0xFu) | DT_CALCRECT | DT_NOPREFIX);
        const int width = measured.right - measured.left;
        const int height = measured.bottom - measured.top;
        if (format & LICE_DT_CALCRECT)
        {
            SelectObject(scratchDc, previous);
            rect->right = rect->left + width;
            rect->bottom = rect->top + height;
            return height;
        }

        int x = 0;
        int y = 0;
        LiceAlignInRect(*rect, format, width, height, x, y);
        LICE_Rect area = {x, y, x + width, y + height};
        if (!(format & LICE_DT_NOCLIP))
            area = LiceIntersect(area, *rect);
        area = LiceIntersect(area, {0, 0, bitmap->GetWidth(), bitmap->GetHeight()});
        if (area.left >= area.right || area.top >= area.bottom || !bitmap->GetBits())
        {
            SelectObject(scratchDc, previous);
            return height;
        }
        const int areaWidth = area.right - area.left;
        const int areaHeight = area.bottom - area.top;
        GrowToAtLeast(*m_textScratch, areaWidth, areaHeight);
        BlitBitmap(m_textScratch.get(), bitmap, 0, 0, &area, 1.0f, BlendCopy);
        SetUpPaint(scratchDc, paint);
        RECT at = {x - area.left, y - area.top, x - area.left + width, y - area.top + height};
        gdiText.Draw(scratchDc, &at, (gdiFormat & ~(0xFu | DT_NOCLIP | DT_CALCRECT)) | DT_NOPREFIX);
        GdiFlush();
        SelectObject(scratchDc, previous);
        const LICE_Rect drawn = {0, 0, areaWidth, areaHeight};
        BlitBitmap(bitmap, m_textScratch.get(), area.left, area.top, &drawn, paint.weight, BlendCopy);
        return height;
    }

    std::unique_ptr<LICE_SysBitmap> m_glyphScratch;
    std::unique_ptr<LICE_SysBitmap> m_textScratch;
};
} // namespace

LiceFontEngine& LicePlatformFontEngine()
{
    // Never destroyed: cached fonts still reach it while the module's statics go away.
    static GdiFontEngine* const engine = new GdiFontEngine;
    return *engine;
}

LICE_HFONT LiceCreateFontHandle(const LiceFontRequest& request)
{
    return CreateFontA(request.height, 0, request.escapement, request.escapement, request.weight,
                       request.italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, QualityFor(request.quality), DEFAULT_PITCH,
                       request.face ? request.face : "");
}
