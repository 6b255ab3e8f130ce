#include "graphics/IBitmapControl.h"

#include "graphics/IGraphics.h"

#include <algorithm>

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, int paramIndex, const BitmapRef& bitmap,
                               const BlendSpec& blend)
    : IControl(plug, FrameRect(x, y, bitmap), paramIndex, blend),
      mBitmap(bitmap)
{
}

IBitmapControl::IBitmapControl(IPlugBase* plug, const Rect& rect, int paramIndex, const BitmapRef& bitmap,
                               const BlendSpec& blend)
    : IControl(plug, rect, paramIndex, blend),
      mBitmap(bitmap)
{
}

bool IBitmapControl::Draw(IGraphics& graphics)
{
    return graphics.DrawBitmapFrame(mBitmap, GetRect(), FrameForValue(), &GetBlend());
}

int IBitmapControl::FrameForValue() const
{
    const int frames = mBitmap.N;
    if (frames < 2)
        return 1;
    const int frame = static_cast<int>((frames - 1) * GetValue() + 0.5) + 1;
    return std::min(std::max(frame, 1), frames);
}

Rect IBitmapControl::FrameRect(int x, int y, const BitmapRef& bitmap)
{
    return Rect(x, y, x + bitmap.FrameWidth(), y + bitmap.FrameHeight());
}
