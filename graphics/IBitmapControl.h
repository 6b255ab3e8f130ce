#pragma once
// Shows one frame of an image strip chosen by the value: frame 1 at 0, the last at 1.

#include "graphics/IControl.h"

class IBitmapControl : public IControl
{
public:
    // The rectangle is one frame of the image at (x, y).
    IBitmapControl(IPlugBase* plug, int x, int y, int paramIndex, const BitmapRef& bitmap,
                   const BlendSpec& blend = BlendSpec());
    // An explicit rectangle (the background covers the whole image).
    IBitmapControl(IPlugBase* plug, const Rect& rect, int paramIndex, const BitmapRef& bitmap,
                   const BlendSpec& blend = BlendSpec());

    // [window thread]
    bool Draw(IGraphics& graphics) override;

    const BitmapRef& GetBitmap() const { return mBitmap; }
    // The frame (from 1) the current value shows.
    int FrameForValue() const;

    // One frame of `bitmap` placed at (x, y).
    static Rect FrameRect(int x, int y, const BitmapRef& bitmap);

protected:
    BitmapRef mBitmap;
};
