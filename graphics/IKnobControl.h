#pragma once
// A knob turned by dragging: vertical knobs rise when dragged up, horizontal ones when
// dragged right. A drag across `gearing` times the knob's size covers the whole range
// (ten times that with shift or control held); the wheel moves 0.01 per notch (0.001 fine).

#include "graphics/IControl.h"

class IKnobControl : public IControl
{
public:
    enum Direction : int
    {
        kVertical = 0,
        kHorizontal = 1,
    };
    static constexpr double kDefaultGearing = 4.0;

    IKnobControl(IPlugBase* plug, const Rect& rect, int paramIndex, int direction = kVertical,
                 double gearing = kDefaultGearing, const BlendSpec& blend = BlendSpec());

    // [window thread, the control holds the mouse]
    void MouseDrag(int x, int y, int dX, int dY, const MouseModifiers& mod) override;
    // [window thread]
    void MouseWheel(int x, int y, const MouseModifiers& mod, int notches) override;

    int GetDirection() const { return mDirection; }
    double GetGearing() const { return mGearing; }
    void SetGearing(double gearing) { mGearing = gearing; }

private:
    int mDirection = kVertical;
    double mGearing = kDefaultGearing;
};
