// The editor core's drawing primitives and its redraw cycle. Every primitive draws into the
// back buffer only inside the clip rectangle that the redraw procedure sets, so a control
// redrawn for a small update never paints over neighbours that were not redrawn beneath it.

#include "graphics/FontCache.h"
#include "graphics/IControl.h"
#include "graphics/IGraphics.h"
#include "graphics/raster/LICE_CachedFont.h"
#include "graphics/raster/LICE_SubBitmap.h"
#include "graphics/raster/LICE_SysBitmap.h"
#include "graphics/raster/LiceBlit.h"

namespace
{
const BlendSpec kDefaultBlend(BlendSpec::kAlpha, 1.0f);

LICE_Rect ToLice(const Rect& rect) { return LICE_Rect{rect.left, rect.top, rect.right, rect.bottom}; }

int TextFormatFor(const TextStyle& style)
{
    int format = LICE_DT_NOCLIP;
    if (style.color.A != 255)
        format |= FormatUseTextAlpha;
    if (style.align == TextStyle::kCentre)
        format |= LICE_DT_CENTER;
    else if (style.align == TextStyle::kRight)
        format |= LICE_DT_RIGHT;
    return format;
}

LICE_CachedFont* FontFor(TextStyle& style)
{
    if (!style.cachedFont)
        style.cachedFont = FontCache::Instance().FindOrCreate(style);
    return style.cachedFont;
}

// The style's font at the scale: its pixel size times the scale, from the real font.
LICE_CachedFont* FontFor(TextStyle& style, const EditorScale& scale)
{
    if (scale.IsUnity())
        return FontFor(style);
    if (!style.scaledFont || style.scaledPercent != scale.Percent())
    {
        TextStyle scaled = style;
        scaled.size = scale.ToPhysical(style.size);
        scaled.cachedFont = nullptr;
        style.scaledFont = FontCache::Instance().FindOrCreate(scaled);
        style.scaledPercent = scale.Percent();
    }
    return style.scaledFont;
}
} // namespace

bool IGraphics::DrawBitmapRegion(const BitmapRef& bitmap, const Rect& dest, int srcX, int srcY,
                                 const BlendSpec* blend)
{
    if (!bitmap.bitmap || !mBackBuffer || dest.Intersect(mClipRect).IsEmpty())
        return false;
    DrawScaled(ImageAtScale(bitmap), dest, mScale.ToPhysical(srcX), mScale.ToPhysical(srcY), -1, -1, blend);
    return true;
}

bool IGraphics::DrawBitmapFrame(const BitmapRef& bitmap, const Rect& dest, int frame, const BlendSpec* blend)
{
    if (!bitmap.bitmap || !mBackBuffer || dest.Intersect(mClipRect).IsEmpty())
        return false;
    // The frame's place in the strip actually drawn: at another scale that is the scaled
    // strip, whose frames have rounded sizes of their own and are never read past.
    const bool scaled = !mScale.IsUnity();
    LICE_IBitmap* image = ImageAtScale(bitmap);
    const int width = scaled && image ? image->GetWidth() : bitmap.W;
    const int height = scaled && image ? image->GetHeight() : bitmap.H;
    const int frames = bitmap.N >= 2 ? bitmap.N : 1;
    int srcX = 0;
    int srcY = 0;
    if (frames >= 2 && frame >= 2)
    {
        const int before = frame - 1;
        if (bitmap.framesAreHorizontal)
            srcX = static_cast<int>(static_cast<double>(width) * before / frames + 0.5);
        else
            srcY = static_cast<int>(static_cast<double>(height) * before / frames + 0.5);
    }
    const int maxWidth = !scaled ? -1 : bitmap.framesAreHorizontal ? width / frames : width;
    const int maxHeight = !scaled ? -1 : bitmap.framesAreHorizontal ? height : height / frames;
    DrawScaled(image, dest, srcX, srcY, maxWidth, maxHeight, blend);
    return true;
}

void IGraphics::DrawScaled(LICE_IBitmap* image, const Rect& dest, int srcX, int srcY, int maxWidth,
                           int maxHeight, const BlendSpec* blend)
{
    if (!image)
        return;
    // Physical pixels throughout; a frame is never read past its own size, so a destination
    // rounded one pixel larger than the frame does not show the next frame's first row.
    Rect physical = mScale.ToPhysical(dest);
    if (maxWidth >= 0 && physical.Width() > maxWidth)
        physical.right = physical.left + maxWidth;
    if (maxHeight >= 0 && physical.Height() > maxHeight)
        physical.bottom = physical.top + maxHeight;
    const Rect cut = physical.Intersect(mScale.ToPhysical(mClipRect));
    if (cut.IsEmpty())
        return;
    const int shiftX = srcX - physical.left;
    const int shiftY = srcY - physical.top;
    const LICE_Rect source{cut.left + shiftX, cut.top + shiftY, cut.right + shiftX, cut.bottom + shiftY};
    const BlendSpec& blending = blend ? *blend : kDefaultBlend;
    BlitBitmap(mBackBuffer.get(), image, cut.left, cut.top, &source, blending.weight, blending.RasterMode());
}

bool IGraphics::FillColorRect(const Color& color, const Rect& rect, const BlendSpec* blend)
{
    if (!mBackBuffer)
        return false;
    const Rect cut = mScale.ToPhysical(rect).Intersect(mScale.ToPhysical(mClipRect));
    if (cut.IsEmpty())
        return false;
    const BlendSpec& blending = blend ? *blend : kDefaultBlend;
    FillRect(mBackBuffer.get(), cut.left, cut.top, cut.Width(), cut.Height(), color.ToPixel(),
             blending.weight, blending.RasterMode());
    return true;
}

bool IGraphics::DrawStyledText(TextStyle& style, const char* text, const Rect& logicalRect)
{
    if (!text || !*text)
        return true;
    LICE_CachedFont* font = FontFor(style, mScale);
    if (!font)
        return false;
    const Rect rect = mScale.ToPhysical(logicalRect);
    const Rect visible = rect.Intersect(mScale.ToPhysical(mClipRect));
    if (!mBackBuffer || visible.IsEmpty())
        return true;
    font->SetTextColor(style.color.ToPixel());
    const int format = TextFormatFor(style);
    if (visible == rect)
    {
        LICE_Rect area = ToLice(rect);
        font->RenderText(mBackBuffer.get(), text, -1, &area, format);
        return true;
    }
    // Partly outside the update: draw through a window onto the visible part only, so that
    // text already on the screen beside it is not blended a second time.
    LICE_SubBitmap window(mBackBuffer.get(), ToLice(visible));
    LICE_Rect area{rect.left - visible.left, rect.top - visible.top, rect.right - visible.left,
                   rect.bottom - visible.top};
    font->RenderText(&window, text, -1, &area, format);
    return true;
}

bool IGraphics::MeasureStyledText(TextStyle& style, const char* text, Rect& rect)
{
    LICE_CachedFont* font = FontFor(style);
    if (!font)
        return false;
    LICE_Rect measured = ToLice(rect);
    font->RenderText(nullptr, text ? text : "", -1, &measured, TextFormatFor(style) | LICE_DT_CALCRECT);
    const int width = measured.right - measured.left;
    const int height = measured.bottom - measured.top;
    int left = rect.left;
    if (style.align == TextStyle::kCentre)
        left = (rect.left + rect.right - width) / 2;
    else if (style.align == TextStyle::kRight)
        left = rect.right - width;
    rect = Rect(left, rect.top, left + width, rect.top + height);
    return true;
}

bool IGraphics::CollectDirtyArea(Rect& rect)
{
    bool dirty = false;
    for (const std::unique_ptr<IControl>& control : mControls)
    {
        if (control->NeedsRedraw())
        {
            rect = rect.Union(control->GetRect());
            dirty = true;
        }
    }
    return dirty;
}

void IGraphics::Redraw(const Rect& rect)
{
    if (mControls.empty())
        return;
    if (mStrictDrawing)
        RedrawStrict(rect);
    else
        RedrawIncremental();
    PresentArea(mScale.ToPhysical(rect));
}

void IGraphics::MarkAllControlsChanged()
{
    for (const std::unique_ptr<IControl>& control : mControls)
        control->MarkChanged(false);
}

void IGraphics::DrawControl(IControl& control) { control.Draw(*this); }

void IGraphics::RedrawStrict(const Rect& rect)
{
    mClipRect = rect;
    for (const std::unique_ptr<IControl>& control : mControls)
        if (!control->IsHidden() && rect.Overlaps(control->GetRect()))
            DrawControl(*control);
    for (const std::unique_ptr<IControl>& control : mControls)
        control->ClearChanged();
}

void IGraphics::RedrawIncremental()
{
    IControl& background = *mControls.front();
    if (background.NeedsRedraw())
    {
        mClipRect = background.GetRect();
        for (size_t i = 0; i < mControls.size(); ++i)
        {
            IControl& control = *mControls[i];
            if (i == 0 || !control.IsHidden())
                DrawControl(control);
            control.ClearChanged();
        }
        return;
    }
    for (size_t dirtyIndex = 1; dirtyIndex < mControls.size(); ++dirtyIndex)
    {
        IControl& dirty = *mControls[dirtyIndex];
        if (!dirty.NeedsRedraw())
            continue;
        mClipRect = dirty.GetRect();
        for (size_t i = 0; i < mControls.size(); ++i)
        {
            IControl& control = *mControls[i];
            if (!control.IsHidden() && (i == dirtyIndex || mClipRect.Overlaps(control.GetRect())))
                DrawControl(control);
        }
        dirty.ClearChanged();
    }
}
