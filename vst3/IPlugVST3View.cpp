#include "vst3/IPlugVST3View.h"

#include "framework/EditorLink.h"
#include "vst3/IPlugVST3.h"
#include "vst3/Vst3RunLoop.h"

#include "pluginterfaces/gui/iplugview.h"

#include <cstring>

using namespace Steinberg;

namespace
{

// The VST3 name of the windows an editor opens; none for a system VST3 has no name for.
FIDString PlatformTypeOf(EditorWindowSystem system)
{
    switch (system)
    {
        case EditorWindowSystem::kWin32: return kPlatformTypeHWND;
        case EditorWindowSystem::kX11: return kPlatformTypeX11EmbedWindowID;
        case EditorWindowSystem::kNone: break;
    }
    return nullptr;
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

EditorLink* IPlugVST3View::Editor() const { return mPlugin->WindowedEditor(); }

bool IPlugVST3View::IsSupportedPlatformType(FIDString type) const
{
    EditorLink* editor = Editor();
    const FIDString supported = editor ? PlatformTypeOf(editor->WindowSystem()) : nullptr;
    return type != nullptr && supported != nullptr && std::strcmp(type, supported) == 0;
}

bool IPlugVST3View::OpenWindow(EditorLink& editor, void* parent)
{
    // X11 windows are drawn and answered only from the host's run loop; a host without one
    // gets no editor rather than a window that never reacts.
    if (editor.WindowSystem() == EditorWindowSystem::kX11)
    {
        mRunLoop = HostRunLoopOf(plugFrame);
        if (!mRunLoop)
            return false;
        editor.UseRunLoop(mRunLoop.get());
    }
    if (editor.OpenWindow(parent))
        return true;
    editor.UseRunLoop(nullptr);
    mRunLoop.reset();
    return false;
}

tresult PLUGIN_API IPlugVST3View::isPlatformTypeSupported(FIDString type)
{
    return IsSupportedPlatformType(type) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPlugVST3View::attached(void* parent, FIDString type)
{
    EditorLink* editor = Editor();
    if (editor == nullptr)
        return kResultFalse;
    // One editor has one window: a second attach (of this view without removed, or of another
    // view while this editor is open) would lose the open window's handle.
    if (mOpen || editor->HasWindow())
        return kResultFalse;
    if (IsSupportedPlatformType(type) && !OpenWindow(*editor, parent))
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
    if (EditorLink* editor = Editor())
    {
        mPlugin->OnEditorClose();
        editor->CloseWindow();
        editor->UseRunLoop(nullptr);
    }
    mRunLoop.reset();
    return CPluginView::removed();
}

tresult PLUGIN_API IPlugVST3View::getSize(ViewRect* size)
{
    EditorLink* editor = Editor();
    if (editor == nullptr)
        return kResultFalse;
    if (size == nullptr)
        return kInvalidArgument;
    const EditorSize editorSize = editor->WindowSize();
    *size = ViewRect(0, 0, editorSize.width, editorSize.height);
    return kResultOk;
}

tresult PLUGIN_API IPlugVST3View::setContentScaleFactor(ScaleFactor factor)
{
    EditorLink* editor = Editor();
    if (editor == nullptr)
        return kResultFalse;
    // Also refuses NaN and infinity.
    if (!(factor > 0.0f && factor < 1000.0f))
        return kInvalidArgument;
    editor->SetContentScale(factor);
    return kResultTrue;
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
