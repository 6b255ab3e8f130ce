#include "graphics/raster/LiceBlit.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{

constexpr int kBlendKindMask = 0xFF;

// Where one rectangle of pixels starts in a bitmap and how to reach the next
// row. Flipped bitmaps start at their last stored row and walk backwards.
struct PixelRows
{
    LICE_pixel* first = nullptr;
    int step = 0;
};

PixelRows RowsAt(const LICE_IBitmap& bitmap, int x, int y)
{
    const int span = bitmap.GetRowSpan();
    PixelRows rows;
    if (bitmap.IsFlipped())
    {
        rows.first = bitmap.GetBits() + static_cast<int64_t>(bitmap.GetHeight() - 1 - y) * span + x;
        rows.step = -span;
    }
    else
    {
        rows.first = bitmap.GetBits() + static_cast<int64_t>(y) * span + x;
        rows.step = span;
    }
    return rows;
}

struct BlitArea
{
    PixelRows dest;
    PixelRows src;
    int width = 0;
    int height = 0;
};

template <class PixelOp>
void ForEachPixelPair(const BlitArea& area, PixelOp op)
{
    LICE_pixel* destRow = area.dest.first;
    const LICE_pixel* srcRow = area.src.first;
    for (int y = 0; y < area.height; ++y, destRow += area.dest.step, srcRow += area.src.step)
        for (int x = 0; x < area.width; ++x)
            op(destRow[x], srcRow[x]);
}

template <class PixelOp>
void ForEachPixel(const PixelRows& rows, int width, int height, PixelOp op)
{
    LICE_pixel* row = rows.first;
    for (int y = 0; y < height; ++y, row += rows.step)
        for (int x = 0; x < width; ++x)
            op(row[x]);
}

// ---- The per-channel formulas of the blend modes (d destination, s source, w weight 0..256).
// Lambdas rather than functions: each has its own type, so every pixel loop is
// instantiated with its formula inlined instead of calling through a pointer.

constexpr auto CopyChannel = [](int d, int s, int w) { return s + (d - s) * (256 - w) / 256; };

constexpr auto AddChannel = [](int d, int s, int w) { return std::min(255, d + s * w / 256); };

constexpr auto DodgeChannel = [](int d, int s, int w)
{
    const int t = s * w / 256;
    return t > 254 ? std::min(255, d * 256) : std::min(255, d * 256 / (256 - t));
};

constexpr auto MultiplyChannel = [](int d, int s, int w) { return d * (s * w + (256 - w) * 256) / 65536; };

constexpr auto OverlayChannel = [](int d, int s, int w)
{
    const int o = w * s + (256 - w) * 128;
    return std::min(255, ((32768 - o) * d / 256 + o) * d / 32768);
};

template <class ChannelOp>
LICE_pixel AllChannels(LICE_pixel d, LICE_pixel s, int w, ChannelOp op)
{
    return LICE_RGBA(op(LICE_GetR(d), LICE_GetR(s), w), op(LICE_GetG(d), LICE_GetG(s), w),
                     op(LICE_GetB(d), LICE_GetB(s), w), op(LICE_GetA(d), LICE_GetA(s), w));
}

// Colour channels by the formula, alpha left to the caller.
template <class ChannelOp>
LICE_pixel ColourChannels(LICE_pixel d, LICE_pixel s, int w, int alpha, ChannelOp op)
{
    return LICE_RGBA(op(LICE_GetR(d), LICE_GetR(s), w), op(LICE_GetG(d), LICE_GetG(s), w),
                     op(LICE_GetB(d), LICE_GetB(s), w), alpha);
}

// ---- Hue/saturation/value adjustment. Hue runs 0..1535 (six sectors of 256).

struct Hsv
{
    int h = 0;
    int s = 0;
    int v = 0;
};

Hsv ToHsv(int r, int g, int b)
{
    const int maxC = std::max(r, std::max(g, b));
    const int minC = std::min(r, std::min(g, b));
    const int delta = maxC - minC;
    Hsv hsv;
    hsv.v = maxC;
    if (maxC == 0 || delta == 0)
        return hsv;
    hsv.s = delta * 255 / maxC;
    if (maxC == r)
        hsv.h = (g - b) * 256 / delta;
    else if (maxC == g)
        hsv.h = 512 + (b - r) * 256 / delta;
    else
        hsv.h = 1024 + (r - g) * 256 / delta;
    if (hsv.h < 0)
        hsv.h += 1536;
    return hsv;
}

LICE_pixel FromHsv(const Hsv& hsv, int alpha)
{
    const int sector = hsv.h / 256;
    const int f = hsv.h % 256;
    const int v = hsv.v;
    const int p = v * (255 - hsv.s) / 255;
    const int q = v * (255 * 256 - hsv.s * f) / (255 * 256);
    const int t = v * (255 * 256 - hsv.s * (256 - f)) / (255 * 256);
    switch (sector)
    {
        case 0: return LICE_RGBA(v, t, p, alpha);
        case 1: return LICE_RGBA(q, v, p, alpha);
        case 2: return LICE_RGBA(p, v, t, alpha);
        case 3: return LICE_RGBA(p, q, v, alpha);
        case 4: return LICE_RGBA(t, p, v, alpha);
        default: return LICE_RGBA(v, p, q, alpha);
    }
}

// The source's red turns the hue (a full swing of red moves half way round),
// green scales saturation and blue value, each around 128 and scaled by w.
LICE_pixel HsvAdjust(LICE_pixel d, LICE_pixel s, int w)
{
    Hsv hsv = ToHsv(LICE_GetR(d), LICE_GetG(d), LICE_GetB(d));
    hsv.h = (hsv.h + (LICE_GetR(s) - 128) * w / 256 * 6) % 1536;
    if (hsv.h < 0)
        hsv.h += 1536;
    hsv.s = std::clamp(hsv.s + (LICE_GetG(s) - 128) * w / 256, 0, 255);
    hsv.v = std::clamp(hsv.v + (LICE_GetB(s) - 128) * w / 256, 0, 255);
    return FromHsv(hsv, LICE_GetA(s));
}

// ---- Blit loops.

void BlockCopy(const BlitArea& area)
{
    LICE_pixel* destRow = area.dest.first;
    const LICE_pixel* srcRow = area.src.first;
    const size_t rowBytes = static_cast<size_t>(area.width) * sizeof(LICE_pixel);
    for (int y = 0; y < area.height; ++y, destRow += area.dest.step, srcRow += area.src.step)
        std::memmove(destRow, srcRow, rowBytes); // the source may be the destination
}

void HalfAndHalf(const BlitArea& area)
{
    ForEachPixelPair(area, [](LICE_pixel& d, LICE_pixel s)
                     { d = ((s >> 1) & 0x7F7F7F7F) + ((d >> 1) & 0x7F7F7F7F); });
}

void ChannelCopy(const BlitArea& area, int mode)
{
    const int destShift = ((mode >> 2) & 3) * 8;
    const int srcShift = (mode & 3) * 8;
    const LICE_pixel destMask = ~(static_cast<LICE_pixel>(0xFF) << destShift);
    ForEachPixelPair(area, [=](LICE_pixel& d, LICE_pixel s)
                     { d = (d & destMask) | (((s >> srcShift) & 0xFF) << destShift); });
}

// The editor's way of drawing images: straight-alpha source over the destination,
// whose alpha becomes the saturating sum.
void CopyWithSourceAlpha(const BlitArea& area, int w)
{
    if (w == 256)
    {
        ForEachPixelPair(area,
                         [](LICE_pixel& d, LICE_pixel s)
                         {
                             const int a = LICE_GetA(s);
                             if (a == 0)
                                 return;
                             if (a == 255)
                             {
                                 d = s;
                                 return;
                             }
                             d = ColourChannels(d, s, 256 - (255 - a), std::min(255, LICE_GetA(d) + a),
                                                CopyChannel);
                         });
        return;
    }
    ForEachPixelPair(area,
                     [w](LICE_pixel& d, LICE_pixel s)
                     {
                         const int a = LICE_GetA(s);
                         if (a == 0)
                             return;
                         const int l = w * (a + 1) / 256;
                         d = ColourChannels(d, s, l, std::min(255, LICE_GetA(d) + l), CopyChannel);
                     });
}

void AddWithSourceAlpha(const BlitArea& area, int w)
{
    ForEachPixelPair(area,
                     [w](LICE_pixel& d, LICE_pixel s)
                     {
                         const int a = LICE_GetA(s);
                         if (a == 0)
                             return;
                         const int l = w * (a + 1) / 256;
                         d = ColourChannels(d, s, l, std::min(255, LICE_GetA(d) + a * l / 256), AddChannel);
                     });
}

template <class PixelFormula>
void BlendEveryPixel(const BlitArea& area, int w, bool useSourceAlpha, PixelFormula formula)
{
    if (!useSourceAlpha)
    {
        ForEachPixelPair(area, [w, formula](LICE_pixel& d, LICE_pixel s) { d = formula(d, s, w); });
        return;
    }
    ForEachPixelPair(area,
                     [w, formula](LICE_pixel& d, LICE_pixel s)
                     {
                         const int a = LICE_GetA(s);
                         if (a != 0)
                             d = formula(d, s, w * (a + 1) / 256);
                     });
}

template <class ChannelOp>
auto FourChannels(ChannelOp op)
{
    return [op](LICE_pixel d, LICE_pixel s, int w) { return AllChannels(d, s, w, op); };
}

void BlendWeighted(const BlitArea& area, int w, int mode)
{
    const bool useSourceAlpha = (mode & BlendUseSourceAlpha) != 0;
    switch (mode & kBlendKindMask)
    {
        case BlendCopy:
            if (w < 0)
                return;
            if (useSourceAlpha)
                CopyWithSourceAlpha(area, w);
            else if (w == 256)
                ForEachPixelPair(area, [](LICE_pixel& d, LICE_pixel s) { d = s; });
            else
                BlendEveryPixel(area, w, false, FourChannels(CopyChannel));
            return;
        case BlendAdd:
            if (useSourceAlpha)
                AddWithSourceAlpha(area, w);
            else
                BlendEveryPixel(area, w, false, FourChannels(AddChannel));
            return;
        case BlendDodge: BlendEveryPixel(area, w, useSourceAlpha, FourChannels(DodgeChannel)); return;
        case BlendMultiply: BlendEveryPixel(area, w, useSourceAlpha, FourChannels(MultiplyChannel)); return;
        case BlendOverlay: BlendEveryPixel(area, w, useSourceAlpha, FourChannels(OverlayChannel)); return;
        case BlendHSVAdjust: BlendEveryPixel(area, w, useSourceAlpha, HsvAdjust); return;
        default: return; // unknown modes draw nothing
    }
}

bool IsChannelCopy(int mode) { return (mode & kBlendKindMask) >= BlendChannelCopy; }

// ---- Fill loops.

void FillFast(const PixelRows& rows, int width, int height, LICE_pixel c, int w)
{
    switch (w)
    {
        case 256: ForEachPixel(rows, width, height, [c](LICE_pixel& d) { d = c; }); return;
        case 128:
            ForEachPixel(rows, width, height,
                         [c](LICE_pixel& d) { d = ((c >> 1) & 0x7F7F7F7F) + ((d >> 1) & 0x7F7F7F7F); });
            return;
        case 64:
            ForEachPixel(rows, width, height,
                         [c](LICE_pixel& d) {
                             d = ((d >> 1) & 0x7F7F7F7F) + ((d >> 2) & 0x3F3F3F3F) + ((c >> 2) & 0x3F3F3F3F);
                         });
            return;
        default: // 192
            ForEachPixel(rows, width, height,
                         [c](LICE_pixel& d) {
                             d = ((d >> 2) & 0x3F3F3F3F) + ((c >> 2) & 0x3F3F3F3F) + ((c >> 1) & 0x7F7F7F7F);
                         });
            return;
    }
}

bool IsFastFillWeight(int w) { return w == 256 || w == 128 || w == 64 || w == 192; }

template <class ChannelOp>
void FillColourChannels(const PixelRows& rows, int width, int height, LICE_pixel c, int w, ChannelOp op)
{
    ForEachPixel(rows, width, height, [=](LICE_pixel& d) { d = ColourChannels(d, c, w, LICE_GetA(d), op); });
}

void FillWeighted(const PixelRows& rows, int width, int height, LICE_pixel c, int w, int mode)
{
    if (IsChannelCopy(mode))
    {
        const int destShift = ((mode >> 2) & 3) * 8;
        const LICE_pixel value = ((c >> ((mode & 3) * 8)) & 0xFF) << destShift;
        const LICE_pixel destMask = ~(static_cast<LICE_pixel>(0xFF) << destShift);
        ForEachPixel(rows, width, height, [=](LICE_pixel& d) { d = (d & destMask) | value; });
        return;
    }
    switch (mode & kBlendKindMask)
    {
        case BlendCopy:
            if (w < 1)
                return;
            // The alpha moves toward the weight itself: a half-weight fill leaves the
            // area half opaque whatever the colour's own alpha.
            ForEachPixel(rows, width, height,
                         [=](LICE_pixel& d)
                         {
                             const int da = LICE_GetA(d);
                             d = ColourChannels(d, c, w, w + (da - w) * (256 - w) / 256, CopyChannel);
                         });
            return;
        case BlendAdd:
            ForEachPixel(
                rows, width, height,
                [=](LICE_pixel& d)
                { d = ColourChannels(d, c, w, std::min(255, LICE_GetA(d) + w * w / 256), AddChannel); });
            return;
        case BlendDodge: FillColourChannels(rows, width, height, c, w, DodgeChannel); return;
        case BlendMultiply: FillColourChannels(rows, width, height, c, w, MultiplyChannel); return;
        case BlendOverlay: FillColourChannels(rows, width, height, c, w, OverlayChannel); return;
        case BlendHSVAdjust:
            ForEachPixel(rows, width, height, [=](LICE_pixel& d) { d = HsvAdjust(d, c, w); });
            return;
        default: return;
    }
}

} // namespace

void BlitBitmap(LICE_IBitmap* dest, const LICE_IBitmap* src, int destX, int destY, const LICE_Rect* srcRect,
                float weight, int mode)
{
    if (!src || !dest || weight == 0.0f)
        return;

    // 64-bit positions: offsets from a caller's rectangle must not wrap.
    int64_t srcLeft = 0;
    int64_t srcTop = 0;
    int64_t srcRight = src->GetWidth();
    int64_t srcBottom = src->GetHeight();
    int64_t x = destX;
    int64_t y = destY;
    if (srcRect)
    {
        srcRight = std::min<int64_t>(srcRect->right, srcRight);
        srcBottom = std::min<int64_t>(srcRect->bottom, srcBottom);
        // A rectangle reaching left of or above the source moves the destination
        // instead, so what lies inside the source lands where it belongs.
        if (srcRect->left < 0)
            x -= srcRect->left;
        else
            srcLeft = srcRect->left;
        if (srcRect->top < 0)
            y -= srcRect->top;
        else
            srcTop = srcRect->top;
    }
    if (x < 0)
    {
        srcLeft -= x;
        x = 0;
    }
    if (y < 0)
    {
        srcTop -= y;
        y = 0;
    }
    if (srcLeft >= srcRight || srcTop >= srcBottom || x >= dest->GetWidth() || y >= dest->GetHeight())
        return;
    const int64_t width = std::min(srcRight, srcLeft + dest->GetWidth() - x) - srcLeft;
    const int64_t height = std::min(srcBottom, srcTop + dest->GetHeight() - y) - srcTop;
    if (width <= 0 || height <= 0 || !dest->GetBits() || !src->GetBits())
        return;

    BlitArea area;
    area.dest = RowsAt(*dest, static_cast<int>(x), static_cast<int>(y));
    area.src = RowsAt(*src, static_cast<int>(srcLeft), static_cast<int>(srcTop));
    area.width = static_cast<int>(width);
    area.height = static_cast<int>(height);

    if (IsChannelCopy(mode))
    {
        ChannelCopy(area, mode);
        return;
    }
    if (mode == BlendCopy && weight == 1.0f)
    {
        BlockCopy(area);
        return;
    }
    if (mode == BlendCopy && weight == 0.5f)
    {
        HalfAndHalf(area);
        return;
    }
    const int w = static_cast<int>(weight * 256.0f);
    if (w == 0)
        return;
    BlendWeighted(area, w, mode);
}

void FillRect(LICE_IBitmap* dest, int x, int y, int width, int height, LICE_pixel color, float weight,
              int mode)
{
    if (!dest)
        return;
    if (mode & BlendUseSourceAlpha)
        weight *= static_cast<float>(LICE_GetA(color)) / 255.0f;
    if (x < 0)
    {
        width += x;
        x = 0;
    }
    if (y < 0)
    {
        height += y;
        y = 0;
    }
    if (weight == 0.0f || !dest->GetBits() || dest->GetRowSpan() == 0 || width <= 0 || height <= 0 ||
        x >= dest->GetWidth() || y >= dest->GetHeight())
        return;
    width = std::min(width, dest->GetWidth() - x);
    height = std::min(height, dest->GetHeight() - y);

    const PixelRows rows = RowsAt(*dest, x, y);
    const int w = static_cast<int>(weight * 256.0f);
    if ((mode & kBlendKindMask) == BlendCopy && IsFastFillWeight(w))
    {
        FillFast(rows, width, height, color, w);
        return;
    }
    if (w == 0)
        return;
    FillWeighted(rows, width, height, color, w, mode);
}

void BlurBitmap(LICE_IBitmap* bitmap, int width, int height)
{
    if (!bitmap || !bitmap->GetBits())
        return;
    width = std::min(width, bitmap->GetWidth());
    height = std::min(height, bitmap->GetHeight());
    if (width <= 0 || height <= 0)
        return;

    // A copy of the area keeps every output pixel computed from unblurred input.
    std::vector<LICE_pixel> original(static_cast<size_t>(width) * height);
    const PixelRows rows = RowsAt(*bitmap, 0, 0);
    for (int y = 0; y < height; ++y)
        std::memcpy(&original[static_cast<size_t>(y) * width],
                    rows.first + static_cast<int64_t>(y) * rows.step,
                    static_cast<size_t>(width) * sizeof(LICE_pixel));

    // 1-2-1 in each direction (weights sum to 16); edges repeat their pixel.
    static const int kTaps[3] = {1, 2, 1};
    for (int y = 0; y < height; ++y)
    {
        LICE_pixel* out = rows.first + static_cast<int64_t>(y) * rows.step;
        for (int x = 0; x < width; ++x)
        {
            int sum[4] = {0, 0, 0, 0};
            for (int dy = -1; dy <= 1; ++dy)
            {
                const int sy = std::clamp(y + dy, 0, height - 1);
                for (int dx = -1; dx <= 1; ++dx)
                {
                    const int sx = std::clamp(x + dx, 0, width - 1);
                    const LICE_pixel p = original[static_cast<size_t>(sy) * width + sx];
                    const int tap = kTaps[dy + 1] * kTaps[dx + 1];
                    for (int c = 0; c < 4; ++c)
                        sum[c] += static_cast<int>((p >> (c * 8)) & 0xFF) * tap;
                }
            }
            out[x] = LICE_RGBA(sum[2] / 16, sum[1] / 16, sum[0] / 16, sum[3] / 16);
        }
    }
}
