#include "graphics/IKnobMultiControl.h"

#include "graphics/IBitmapControl.h"
#include "graphics/IGraphics.h"

#include <algorithm>

IKnobMultiControl::IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIndex, const BitmapRef& bitmap,
                                     int direction, double gearing, const BlendSpec& blend)
    : IKnobControl(plug, IBitmapControl::FrameRect(x, y, bitmap), paramIndex, direction, gearing, blend),
      mBitmap(bitmap)
{
}

bool IKnobMultiControl::Draw(IGraphics& graphics)
{
    return graphics.DrawBitmapFrame(mBitmap, GetRect(), FrameForValue(), &GetBlend());
}

int IKnobMultiControl::FrameForValue() const
{
    const int index = static_cast<int>((mBitmap.N - 1) * GetValue() + 0.5);
    return index < 0 ? 1 : std::min(mBitmap.N, index + 1);
}
