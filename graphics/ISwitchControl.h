#pragma once
// A switch stepping through its frames on each click: 1 / (N - 1) per click, back to 0
// after the last frame. Double clicks count as clicks.

#include "graphics/IBitmapControl.h"

class ISwitchControl : public IBitmapControl
{
public:
    ISwitchControl(IPlugBase* plug, int x, int y, int paramIndex, const BitmapRef& bitmap,
                   const BlendSpec& blend = BlendSpec());

    // [window thread]
    void MouseDown(int x, int y, const MouseModifiers& mod) override;
    // [window thread]
    void MouseDoubleClick(int x, int y, const MouseModifiers& mod) override;
};
