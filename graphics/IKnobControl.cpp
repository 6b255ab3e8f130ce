#include "graphics/IKnobControl.h"

namespace
{
constexpr double kFineFactor = 10.0;
constexpr double kWheelStep = 0.01;
constexpr double kFineWheelStep = 0.001;
} // namespace

IKnobControl::IKnobControl(IPlugBase* plug, const Rect& rect, int paramIndex, int direction, double gearing,
                           const BlendSpec& blend)
    : IControl(plug, rect, paramIndex, blend),
      mDirection(direction),
      mGearing(gearing)
{
}

void IKnobControl::MouseDrag(int /*x*/, int /*y*/, int dX, int dY, const MouseModifiers& mod)
{
    const double gearing = (mod.S || mod.C) ? mGearing * kFineFactor : mGearing;
    const Rect& rect = GetRect();
    double value = GetValue();
    if (mDirection == kHorizontal)
        value += static_cast<double>(dX) / static_cast<double>(rect.right - rect.left) / gearing;
    else
        value += static_cast<double>(dY) / static_cast<double>(rect.top - rect.bottom) / gearing;
    StoreValue(value);
    MarkChanged(true);
}

void IKnobControl::MouseWheel(int /*x*/, int /*y*/, const MouseModifiers& mod, int notches)
{
    const double step = (mod.S || mod.C) ? kFineWheelStep : kWheelStep;
    StoreValue(GetValue() + notches * step);
    MarkChanged(true);
}
