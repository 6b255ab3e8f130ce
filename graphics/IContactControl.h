#pragma once
// A momentary button: a switch that returns to 0 when the mouse is released, telling the
// plug-in both times.

#include "graphics/ISwitchControl.h"

class IContactControl : public ISwitchControl
{
public:
    IContactControl(IPlugBase* plug, int x, int y, int paramIndex, const BitmapRef& bitmap,
                    const BlendSpec& blend = BlendSpec());

    // [window thread]
    void MouseUp(int x, int y, const MouseModifiers& mod) override;
};
