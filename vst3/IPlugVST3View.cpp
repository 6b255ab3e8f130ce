#include "vst3/IPlugVST3View.h"

#include "graphics/IGraphics.h"
#include "vst3/IPlugVST3.h"

#include <cstring>

using namespace Steinberg;

namespace {

constexpr char kWindowsPlatformType[] = "HWND";

bool IsWindowsPlatformType(FIDString type)
{
  return type != nullptr && std::strcmp(type, kWindowsPlatformType) == 0;
}

} // namespace

IPlugVST3View::IPlugVST3View(IPlugVST3* plugin) : mPlugin(plugin)
{
  mPlugin->addRef();
  mPlugin->AddView(this);
}

IPlugVST3View::~IPlugVST3View()
{
  // A host that drops the view without removing it would leave the window open over a
  // view that no longer exists; close it as removed would.
  if (mOpen)
    removed();
  mPlugin->RemoveView(this);
  mPlugin->release();
}

IGraphics* IPlugVST3View::Graphics() const
{
  return mPlugin->Graphics();
}

tresult PLUGIN_API IPlugVST3View::isPlatformTypeSupported(FIDString type)
{
  if (Graphics() == nullptr)
    return kResultFalse;
  return IsWindowsPlatformType(type) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::attached(void* parent, FIDString type)
{
  IGraphics* graphics = Graphics();
  if (graphics == nullptr)
    return kResultFalse;
  // One editor has one window: a second attach (of this view without removed, or of another
  // view while this editor is open) would lose the open window's handle.
  if (mOpen || graphics->HasWindow())
    return kResultFalse;
  if (IsWindowsPlatformType(type) && graphics->CreateEditorWindow(parent) == nullptr)
    return kResultFalse;
  CPluginView::attached(parent, type);
  mOpen = true;
  mPlugin->OnEditorOpen();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::removed()
{
  // Only the view that opened the window closes it.
  if (!mOpen)
    return kResultOk;
  mOpen = false;
  if (IGraphics* graphics = Graphics())
  {
    mPlugin->OnEditorClose();
    graphics->DestroyEditorWindow();
  }
  return CPluginView::removed();
}

tresult PLUGIN_API IPlugVST3View::getSize(ViewRect* size)
{
  IGraphics* graphics = Graphics();
  if (graphics == nullptr)
    return kResultFalse;
  if (size == nullptr)
    return kInvalidArgument;
  *size = ViewRect(0, 0, graphics->Width(), graphics->Height());
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::onSize(ViewRect* newSize)
{
  if (newSize == nullptr)
    return kResultOk;
  setRect(*newSize);
  if (mResizePending)
  {
    mResizePending = false;
    mPlugin->OnEditorResized();
  }
  return kResultOk;
}

void IPlugVST3View::RequestResize(int width, int height)
{
  mResizePending = true;
  if (plugFrame == nullptr)
    return;
  ViewRect wanted(0, 0, width, height);
  plugFrame->resizeView(this, &wanted);
}
