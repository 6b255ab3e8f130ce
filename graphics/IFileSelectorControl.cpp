#include "graphics/IFileSelectorControl.h"

#include "framework/IPlugBase.h"
#include "graphics/IGraphics.h"

IFileSelectorControl::IFileSelectorControl(IPlugBase* plug, const Rect& rect, int paramIndex,
                                           const BitmapRef& bitmap, int action, const char* folder,
                                           const char* extensions, const BlendSpec& blend)
    : IControl(plug, rect, paramIndex, blend),
      mBitmap(bitmap),
      mFolder(folder ? folder : ""),
      mExtensions(extensions ? extensions : ""),
      mAction(action)
{
}

void IFileSelectorControl::MouseDown(int /*x*/, int /*y*/, const MouseModifiers& /*mod*/)
{
    IGraphics* gui = GetGUI();
    if (!gui || mState == kSelecting)
        return;
    mState = kSelecting;
    MarkChanged(false);
    if (gui->StartFileDialog(this))
        return;
    gui->AskForFile(mFile, mAction, mFolder, mExtensions.c_str());
    ToggleValue();
}

void IFileSelectorControl::FinishSelection(const char* file, const char* folder)
{
    mFile = file ? file : "";
    if (!mFile.empty() && folder)
        mFolder = folder;
    IPlugBase* plug = GetPlug();
    const int param = ParamIndex();
    if (plug && param >= 0)
        plug->BeginParameterEdit(param);
    ToggleValue();
    if (plug && param >= 0)
        plug->EndParameterEdit(param);
}

void IFileSelectorControl::ToggleValue()
{
    // Each use toggles the value, so the plug-in hears of every dialog, cancelled or not.
    double value = GetValue() + 1.0;
    if (value > 1.0)
        value = 0.0;
    StoreValue(value);
    mState = kDone;
    MarkChanged(true);
}

bool IFileSelectorControl::Draw(IGraphics& graphics)
{
    if (mState == kSelecting)
        graphics.DrawBitmapRegion(mBitmap, GetRect(), 0, 0);
    return true;
}

bool IFileSelectorControl::NeedsRedraw()
{
    if (IControl::NeedsRedraw())
        return true;
    if (mState == kDone)
    {
        mState = kIdle;
        return true;
    }
    return false;
}
