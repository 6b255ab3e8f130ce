#include "graphics/IPanelControl.h"

#include "graphics/IGraphics.h"

IPanelControl::IPanelControl(IPlugBase* plug, const Rect& rect, const Color& color, const BlendSpec& blend)
    : IControl(plug, rect, -1, blend),
      mColor(color)
{
}

bool IPanelControl::Draw(IGraphics& graphics)
{
    return graphics.FillColorRect(mColor, GetRect(), &GetBlend());
}
