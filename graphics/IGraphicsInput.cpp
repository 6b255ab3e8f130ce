// The editor core's input dispatch: which control gets a mouse or key event, the
// begin/end-edit brackets around gestures on parameter controls, and the text-entry helpers
// the window layer uses to filter and apply what the user types.

#include "framework/IPlugBase.h"
#include "graphics/IControl.h"
#include "graphics/IGraphics.h"

#include <cctype>

namespace
{
constexpr int kBackspace = 8;
} // namespace

int IGraphics::FindControlAt(int x, int y, bool allowGrayedMouseOver) const
{
    for (int i = NumControls() - 1; i >= 0; --i)
    {
        IControl& control = *mControls[static_cast<size_t>(i)];
        if (control.IsHidden())
            continue;
        if (control.IsGrayed() && !(allowGrayedMouseOver && control.MouseOverWhenGrayed()))
            continue;
        if (control.HitTest(x, y))
            return i;
    }
    return -1;
}

void IGraphics::HandleMouseDown(int x, int y, const MouseModifiers& mod)
{
    ReleaseMouse();
    const int index = FindControlAt(x, y);
    if (index < 0)
        return;
    IControl& control = *mControls[static_cast<size_t>(index)];
    mMouseHolder = index;
    mMouseX = x;
    mMouseY = y;
    const int param = control.ParamIndex();
    if (mPlug && param >= 0)
    {
        // Under VST3 the host owns the right-click menu of an automatable parameter.
        if (mPlug->GetPluginApi() == kApiVst3 && mod.R)
        {
            ReleaseMouse();
            mPlug->ShowHostContextMenu(param, x, y);
            return;
        }
        mPlug->BeginParameterEdit(param);
    }
    control.MouseDown(x, y, mod);
}

void IGraphics::HandleMouseUp(int x, int y, const MouseModifiers& mod)
{
    // The control that took the press gets the release wherever it happens, so a gesture
    // that ends over empty space still ends.
    const int index = mMouseHolder >= 0 ? mMouseHolder : FindControlAt(x, y);
    ReleaseMouse();
    IControl* control = GetControl(index);
    if (!control)
        return;
    control->MouseUp(x, y, mod);
    const int param = control->ParamIndex();
    if (mPlug && param >= 0)
        mPlug->EndParameterEdit(param);
}

void IGraphics::HandleMouseDrag(int x, int y, const MouseModifiers& mod)
{
    IControl* holder = GetControl(mMouseHolder);
    if (!holder || (x == mMouseX && y == mMouseY))
        return;
    const int dX = x - mMouseX;
    const int dY = y - mMouseY;
    mMouseX = x;
    mMouseY = y;
    holder->MouseDrag(x, y, dX, dY, mod);
}

bool IGraphics::HandleMouseDoubleClick(int x, int y, const MouseModifiers& mod)
{
    ReleaseMouse();
    const int index = FindControlAt(x, y);
    if (index < 0)
        return false;
    IControl& control = *mControls[static_cast<size_t>(index)];
    if (control.DoubleClickAsSingleClick())
    {
        mMouseHolder = index;
        mMouseX = x;
        mMouseY = y;
        control.MouseDown(x, y, mod);
        return true;
    }
    control.MouseDoubleClick(x, y, mod);
    return false;
}

void IGraphics::HandleMouseWheel(int x, int y, const MouseModifiers& mod, int notches)
{
    const int index = mMouseHolder >= 0 ? mMouseHolder : FindControlAt(x, y);
    if (IControl* control = GetControl(index))
        control->MouseWheel(x, y, mod, notches);
}

bool IGraphics::HandleMouseOver(int x, int y, const MouseModifiers& mod)
{
    if (!mMouseOverTracking)
        return false;
    const int index = mMouseHolder >= 0 ? mMouseHolder : FindControlAt(x, y, true);
    IControl* control = GetControl(index);
    if (!control)
        return true;
    mMouseX = x;
    mMouseY = y;
    control->MouseOver(x, y, mod);
    if (mMouseOverIndex != index)
    {
        if (IControl* previous = GetControl(mMouseOverIndex))
            previous->MouseOut();
    }
    mMouseOverIndex = index;
    return true;
}

void IGraphics::HandleMouseOut()
{
    for (const std::unique_ptr<IControl>& control : mControls)
        control->MouseOut();
    mMouseOverIndex = -1;
}

bool IGraphics::HandleKeyDown(int x, int y, int key)
{
    const int index = mMouseHolder >= 0 ? mMouseHolder : FindControlAt(x, y);
    if (index <= 0)
        return mKeyCatcher ? mKeyCatcher->KeyDown(x, y, key) : false;
    return mControls[static_cast<size_t>(index)]->KeyDown(x, y, key);
}

bool IGraphics::EntryAcceptsChar(const PluginParameter* param, int ch)
{
    if (!param || ch == kBackspace)
        return true;
    const bool sign = ch == '+' || ch == '-';
    const bool digit = ch >= '0' && ch <= '9';
    switch (param->Type())
    {
        case ParameterType::BoolType:
        case ParameterType::IntType:
        case ParameterType::EnumType: return sign || digit;
        case ParameterType::DoubleType: return sign || digit || ch == '.';
        default: return false;
    }
}

void IGraphics::CommitEnteredText(IControl* control, const PluginParameter* param, const char* text)
{
    if (!control)
        return;
    const char* entered = text ? text : "";
    if (!param)
    {
        control->ApplyEnteredText(entered);
        return;
    }
    double value = 0.0;
    if (param->Type() == ParameterType::BoolType || param->Type() == ParameterType::EnumType)
    {
        if (!param->LookupDisplayText(entered, value))
            value = 0.0;
    }
    else
    {
        value = param->ParseNumericText(entered);
    }
    control->ApplyUserValue(param->ToNormalized(value));
}
