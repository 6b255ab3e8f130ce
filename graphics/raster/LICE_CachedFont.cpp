#include "graphics/raster/LICE_CachedFont.h"

#include <algorithm>
#include <climits>

#include "graphics/raster/LICE_SysBitmap.h"
#include "graphics/raster/LiceBlit.h"
#include "graphics/raster/LiceUtf8.h"

namespace
{

constexpr int kAlignmentFormats = LICE_DT_CENTER | LICE_DT_RIGHT | LICE_DT_VCENTER | LICE_DT_BOTTOM;
constexpr int kThresholdFlags = LICE_FontThreshold | LICE_FontOutlineBehind | LICE_FontOutline;
constexpr int kMaxGlyphLineHeight = 1023;
constexpr size_t kCoverageGrowthBytes = 65536;

// Module-wide, used only from window threads, one editor at a time.
int g_liveFonts = 0;
LICE_SysBitmap* g_glyphScratch = nullptr;
LICE_SysBitmap* g_textScratch = nullptr;

LICE_Rect Intersect(const LICE_Rect& a, const LICE_Rect& b)
{
  LICE_Rect r;
  r.left = std::max(a.left, b.left);
  r.top = std::max(a.top, b.top);
  r.right = std::min(a.right, b.right);
  r.bottom = std::min(a.bottom, b.bottom);
  return r;
}

// Where a box of the given size starts inside rect under the alignment flags.
void AlignInRect(const LICE_Rect& rect, int format, int width, int height, int& x, int& y)
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

// Coverage of 255 is full ink; 128 marks an outline pixel.
void ThresholdAndOutline(std::vector<unsigned char>& image, int width, int height, int flags)
{
  for (unsigned char& c : image)
    c = c > 130 ? 255 : 0;
  if (!(flags & (LICE_FontOutline | LICE_FontOutlineBehind)))
    return;
  const std::vector<unsigned char> ink = image;
  auto full = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < width && y < height && ink[static_cast<size_t>(y) * width + x] == 255;
  };
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

#ifdef _WIN32
// Fonts with any of these draw through the glyph cache, which applies them.
constexpr int kGlyphEffectFlags = LICE_FontVertical | LICE_FontVerticalFlip | LICE_FontPrecacheAscii | LICE_FontBlur |
                                  LICE_FontInvert | LICE_FontThreshold | LICE_FontOutlineBehind | LICE_FontOutline;
// Above this GDI draws directly: glyph images that large are not worth caching.
constexpr int kMaxGlyphPathLineHeight = 255;
constexpr int kGlyphScratchMinSide = 256;
constexpr int kTextScratchMinSide = 4;

// Scratch bitmaps only ever grow, so a long text does not reallocate per call.
void GrowToAtLeast(LICE_SysBitmap& bitmap, int width, int height)
{
  if (bitmap.GetWidth() < width || bitmap.GetHeight() < height)
    bitmap.Resize(std::max(bitmap.GetWidth(), width), std::max(bitmap.GetHeight(), height));
}

bool RunningUnderWine()
{
  static const bool underWine = [] {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ, &key) != ERROR_SUCCESS)
      return false;
    RegCloseKey(key);
    return true;
  }();
  return underWine;
}

COLORREF ToColorRef(LICE_pixel color)
{
  return RGB(LICE_GetR(color), LICE_GetG(color), LICE_GetB(color));
}

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

void EnsureGlyphScratch()
{
  if (!g_glyphScratch)
  {
    g_glyphScratch = new LICE_SysBitmap(kGlyphScratchMinSide, kGlyphScratchMinSide);
    if (HDC dc = g_glyphScratch->GetDeviceContext())
    {
      // White ink on black: the red byte of each pixel is the glyph's coverage.
      ::SetTextColor(dc, RGB(255, 255, 255));
      SetBkMode(dc, OPAQUE);
      SetBkColor(dc, RGB(0, 0, 0));
    }
  }
  GrowToAtLeast(*g_glyphScratch, kGlyphScratchMinSide, kGlyphScratchMinSide);
}
#endif

} // namespace

LICE_CachedFont::LICE_CachedFont()
{
  ++g_liveFonts;
  ClearGlyphCache();
}

LICE_CachedFont::~LICE_CachedFont()
{
#ifdef _WIN32
  if ((m_flags & LICE_FontOwnsHandle) && m_font)
    DeleteObject(m_font);
#endif
  if (--g_liveFonts == 0)
  {
    delete g_glyphScratch;
    g_glyphScratch = nullptr;
    delete g_textScratch;
    g_textScratch = nullptr;
  }
}

int LICE_CachedFont::LiveFontCount()
{
  return g_liveFonts;
}

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
#ifdef _WIN32
  if ((m_flags & LICE_FontOwnsHandle) && m_font && m_font != font)
    DeleteObject(m_font);
#endif
  m_font = font;
  m_flags = flags;
  m_lineHeight = 0;
#ifdef _WIN32
  EnsureGlyphScratch();
  HDC dc = g_glyphScratch->GetDeviceContext();
  if (m_font && dc)
  {
    HGDIOBJ previous = SelectObject(dc, m_font);
    TEXTMETRICW metrics = {};
    if (GetTextMetricsW(dc, &metrics))
      m_lineHeight = metrics.tmHeight;
    SelectObject(dc, previous);
  }
#endif
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
  // Until GDI says otherwise the character has no glyph; a font without a
  // handle (and every font without GDI) stays that way.
  record.coverageOffsetPlusOne = -1;
  record.width = 0;
  record.height = 0;
  record.advance = 0;
#ifdef _WIN32
  if (!m_font)
    return;
  EnsureGlyphScratch();
  const int side = std::max(m_lineHeight, 1) * 2 + 8;
  GrowToAtLeast(*g_glyphScratch, side, side);
  HDC dc = g_glyphScratch->GetDeviceContext();
  if (!dc || !g_glyphScratch->GetBits())
    return;

  HGDIOBJ previous = SelectObject(dc, m_font);
  const wchar_t character = static_cast<wchar_t>(record.code);
  RECT measured = {0, 0, 0, 0};
  DrawTextW(dc, &character, 1, &measured, DT_NOPREFIX | DT_CALCRECT | DT_SINGLELINE);
  const int measuredWidth = measured.right - measured.left;
  const int measuredHeight = measured.bottom - measured.top;
  if (measuredWidth <= 0 || measuredHeight <= 0)
  {
    SelectObject(dc, previous);
    return;
  }
  // Room for overhanging italics and the like beyond the advance.
  const int overhang = m_lineHeight < 16 ? 0 : m_lineHeight / 16;
  const int cellWidth = std::min(measuredWidth + overhang + 2, g_glyphScratch->GetWidth());
  const int cellHeight = std::min(measuredHeight, g_glyphScratch->GetHeight());
  FillRect(g_glyphScratch, 0, 0, cellWidth, cellHeight, 0, 1.0f, BlendCopy);
  RECT cell = {0, 0, cellWidth, cellHeight};
  DrawTextW(dc, &character, 1, &cell, DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
  GdiFlush(); // the pixels are read directly below
  SelectObject(dc, previous);
  if (m_flags & LICE_FontBlur)
    BlurBitmap(g_glyphScratch, cellWidth, cellHeight);

  std::vector<unsigned char> image(static_cast<size_t>(cellWidth) * cellHeight);
  int lastInkColumn = -1;
  for (int y = 0; y < cellHeight; ++y)
  {
    const LICE_pixel* row = g_glyphScratch->GetBits() + static_cast<int64_t>(y) * g_glyphScratch->GetRowSpan();
    for (int x = 0; x < cellWidth; ++x)
    {
      int coverage = LICE_GetR(row[x]);
      if (m_flags & LICE_FontInvert)
        coverage = 255 - coverage;
      image[static_cast<size_t>(y) * cellWidth + x] = static_cast<unsigned char>(coverage);
      if (coverage)
        lastInkColumn = std::max(lastInkColumn, x);
    }
  }
  record.advance = measuredWidth;
  const int width = std::min(cellWidth, std::max(lastInkColumn + 1, measuredWidth));
  if (width < cellWidth)
    for (int y = 1; y < cellHeight; ++y)
      std::copy_n(&image[static_cast<size_t>(y) * cellWidth], width, &image[static_cast<size_t>(y) * width]);
  image.resize(static_cast<size_t>(width) * cellHeight);
  StoreCoverage(record, image, width, cellHeight);
#endif
}

void LICE_CachedFont::ApplyCoverageEffects(std::vector<unsigned char>& image, int width, int height) const
{
  if (m_flags & kThresholdFlags)
    ThresholdAndOutline(image, width, height, m_flags);
}

void LICE_CachedFont::StoreCoverage(GlyphRecord& record, std::vector<unsigned char>& image, int width, int height)
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
      text, length, format, m_lineHeight + m_extraLineSpacing, vertical, [this](int code) { return GlyphFor(code); },
      [](int, int, int) {}, along, across);
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
    AlignInRect(rect, format, extent.width, extent.height, x, y);
  }
  const LICE_Rect whole = {0, 0, bitmap->GetWidth(), bitmap->GetHeight()};
  const LICE_Rect clip = (format & LICE_DT_NOCLIP) ? whole : Intersect(rect, whole);

  int along = 0;
  int across = 0;
  WalkText(
      text, length, format, m_lineHeight + m_extraLineSpacing, vertical, [this](int code) { return GlyphFor(code); },
      [&](int code, int penAlong, int lineStart) {
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
  const LICE_Rect cut = Intersect(Intersect(cell, clip), whole);
  if (cut.left >= cut.right || cut.top >= cut.bottom)
    return;
  if (m_backgroundMode == 2)
    FillRect(bitmap, cut.left, cut.top, cut.right - cut.left, cut.bottom - cut.top, m_backgroundColor,
             m_combineWeight, m_combineMode & ~BlendUseSourceAlpha);
  BlendCoverage(bitmap, &m_coverage[static_cast<size_t>(glyph->coverageOffsetPlusOne - 1)], glyph->width, x, y, cut);
}

void LICE_CachedFont::BlendCoverage(LICE_IBitmap* bitmap, const unsigned char* coverage, int glyphWidth, int x,
                                    int y, const LICE_Rect& cut)
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
        FillRect(bitmap, px, py, 1, 1, color, m_combineWeight * static_cast<float>(c) / 255.0f, m_combineMode);
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
#ifdef _WIN32
  if (!m_font)
    return false;
  if (m_lineHeight > kMaxGlyphPathLineHeight)
    return true;
  return (m_flags & LICE_FontAllowDirectDraw) && !RunningUnderWine() && !(format & FormatUseTextAlpha) &&
         !(m_flags & kGlyphEffectFlags) && (m_extraLineSpacing == 0 || (format & LICE_DT_SINGLELINE));
#else
  (void)format;
  return false;
#endif
}

int LICE_CachedFont::RenderDirect(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* rect, int format)
{
#ifdef _WIN32
  const GdiText gdiText(text, length);
  const bool measuring = (format & LICE_DT_CALCRECT) != 0;
  const UINT gdiFormat = static_cast<UINT>(format & ~FormatUseTextAlpha);
  HDC dc = bitmap ? bitmap->GetDeviceContext() : nullptr;
  if (dc)
  {
    HGDIOBJ previous = SelectObject(dc, m_font);
    ::SetTextColor(dc, ToColorRef(m_textColor));
    SetBkMode(dc, m_backgroundMode == 2 ? OPAQUE : TRANSPARENT);
    if (m_backgroundMode == 2)
      SetBkColor(dc, ToColorRef(m_backgroundColor));
    RECT r = ToRECT(*rect);
    const int height = gdiText.Draw(dc, &r, gdiFormat | DT_NOPREFIX);
    GdiFlush(); // later blits read these pixels directly
    SelectObject(dc, previous);
    if (measuring)
      *rect = {r.left, r.top, r.right, r.bottom};
    return height;
  }

  // No device context: draw into the text scratch and copy the area back.
  if (!g_textScratch)
    g_textScratch = new LICE_SysBitmap(kTextScratchMinSide, kTextScratchMinSide);
  GrowToAtLeast(*g_textScratch, kTextScratchMinSide, kTextScratchMinSide);
  HDC scratchDc = g_textScratch->GetDeviceContext();
  if (!scratchDc)
    return 0;
  HGDIOBJ previous = SelectObject(scratchDc, m_font);
  RECT measured = {0, 0, rect->right - rect->left, rect->bottom - rect->top};
  gdiText.Draw(scratchDc, &measured, (gdiFormat & ~0xFu) | DT_CALCRECT | DT_NOPREFIX);
  const int width = measured.right - measured.left;
  const int height = measured.bottom - measured.top;
  if (measuring)
  {
    SelectObject(scratchDc, previous);
    rect->right = rect->left + width;
    rect->bottom = rect->top + height;
    return height;
  }

  int x = 0;
  int y = 0;
  AlignInRect(*rect, format, width, height, x, y);
  LICE_Rect area = {x, y, x + width, y + height};
  if (!(format & LICE_DT_NOCLIP))
    area = Intersect(area, *rect);
  area = Intersect(area, {0, 0, bitmap->GetWidth(), bitmap->GetHeight()});
  if (area.left >= area.right || area.top >= area.bottom || !bitmap->GetBits())
  {
    SelectObject(scratchDc, previous);
    return height;
  }
  const int areaWidth = area.right - area.left;
  const int areaHeight = area.bottom - area.top;
  GrowToAtLeast(*g_textScratch, areaWidth, areaHeight);
  BlitBitmap(g_textScratch, bitmap, 0, 0, &area, 1.0f, BlendCopy);
  ::SetTextColor(scratchDc, ToColorRef(m_textColor));
  SetBkMode(scratchDc, m_backgroundMode == 2 ? OPAQUE : TRANSPARENT);
  if (m_backgroundMode == 2)
    SetBkColor(scratchDc, ToColorRef(m_backgroundColor));
  RECT at = {x - area.left, y - area.top, x - area.left + width, y - area.top + height};
  gdiText.Draw(scratchDc, &at, (gdiFormat & ~(0xFu | DT_NOCLIP | DT_CALCRECT)) | DT_NOPREFIX);
  GdiFlush();
  SelectObject(scratchDc, previous);
  const LICE_Rect drawn = {0, 0, areaWidth, areaHeight};
  BlitBitmap(bitmap, g_textScratch, area.left, area.top, &drawn, m_combineWeight, BlendCopy);
  return height;
#else
  (void)bitmap;
  (void)text;
  (void)length;
  (void)rect;
  (void)format;
  return 0;
#endif
}

int LICE_CachedFont::RenderText(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* rect, int format)
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
