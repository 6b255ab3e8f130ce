#include "graphics/IContactControl.h"

IContactControl::IContactControl(IPlugBase* plug, int x, int y, int paramIndex, const BitmapRef& bitmap,
                                 const BlendSpec& blend)
    : ISwitchControl(plug, x, y, paramIndex, bitmap, blend)
{
}

void IContactControl::MouseUp(int /*x*/, int /*y*/, const MouseModifiers& /*mod*/)
{
    StoreValue(0.0);
    MarkChanged(true);
}
