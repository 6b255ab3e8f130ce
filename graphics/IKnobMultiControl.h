#pragma once
// A knob drawn from a strip of N images, one per position.

#include "graphics/IKnobControl.h"

class IKnobMultiControl : public IKnobControl
{
public:
    // The rectangle is one frame of the strip at (x, y).
    IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIndex, const BitmapRef& bitmap,
                      int direction = kVertical, double gearing = kDefaultGearing,
                      const BlendSpec& blend = BlendSpec());

    // [window thread]
    bool Draw(IGraphics& graphics) override;

    const BitmapRef& GetBitmap() const { return mBitmap; }
    // The frame (from 1) the current value shows.
    int FrameForValue() const;

private:
    BitmapRef mBitmap;
};
