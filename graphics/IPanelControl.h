#pragma once
// A rectangle filled with one colour (translucent colours darken what lies below).

#include "graphics/IControl.h"

class IPanelControl : public IControl
{
public:
    IPanelControl(IPlugBase* plug, const Rect& rect, const Color& color,
                  const BlendSpec& blend = BlendSpec());

    // [window thread]
    bool Draw(IGraphics& graphics) override;

    const Color& GetColor() const { return mColor; }

private:
    Color mColor;
};
