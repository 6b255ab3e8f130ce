#include "graphics/ISwitchControl.h"

namespace
{
// Past the last frame (with some slack for the summed steps) the switch wraps to 0.
constexpr double kWrapAbove = 1.001;
} // namespace

ISwitchControl::ISwitchControl(IPlugBase* plug, int x, int y, int paramIndex, const BitmapRef& bitmap,
                               const BlendSpec& blend)
    : IBitmapControl(plug, x, y, paramIndex, bitmap, blend)
{
}

void ISwitchControl::MouseDown(int /*x*/, int /*y*/, const MouseModifiers& /*mod*/)
{
    const double step = mBitmap.N < 2 ? 1.0 : 1.0 / (mBitmap.N - 1);
    double value = GetValue() + step;
    if (value > kWrapAbove)
        value = 0.0;
    StoreValue(value);
    MarkChanged(true);
}

void ISwitchControl::MouseDoubleClick(int x, int y, const MouseModifiers& mod) { MouseDown(x, y, mod); }
