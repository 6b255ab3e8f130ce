#include "vst2/IPlugVST.h"

#include "graphics/IGraphics.h"

#ifdef _WIN32
#include <windows.h>
#endif

// The editor as a VST2 host sees it: a flag in the descriptor, a rectangle, and a child
// window opened in the host's window and closed again (operations 13 to 15). Only a window
// layer can open one; the headless layer of other builds announces no editor at all.

IGraphics* IPlugVST::WindowedEditor() const
{
#ifdef _WIN32
    return dynamic_cast<IGraphics*>(Editor());
#else
    return nullptr;
#endif
}

void IPlugVST::AttachEditor(std::unique_ptr<EditorLink> editor)
{
    IPlugBase::AttachEditor(std::move(editor));
    PlugLockGuard guard(PluginLock());
    if (IGraphics* graphics = WindowedEditor())
    {
#ifdef _WIN32
        // The editor's images are resources of this module, not of the host's executable.
        if (!graphics->ModuleHandle())
        {
            HMODULE module = nullptr;
            GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               reinterpret_cast<LPCWSTR>(&IPlugVST::VSTDispatcher), &module);
            graphics->SetModuleHandle(module);
        }
#endif
        mDescriptor.flags |= kVst2HasEditor;
        mEditorRect = {0, 0, static_cast<int16_t>(graphics->Height()), static_cast<int16_t>(graphics->Width())};
    }
}

void IPlugVST::ResizeEditor(int /*width*/, int /*height*/)
{
    IGraphics* graphics = WindowedEditor();
    if (!graphics)
        return;
    mEditorRect = {0, 0, static_cast<int16_t>(graphics->Height()), static_cast<int16_t>(graphics->Width())};
    OnEditorResized();
}

intptr_t IPlugVST::DispatchEditor(int32_t operation, void* pointer)
{
    IGraphics* graphics = WindowedEditor();
    if (!graphics)
        return 0;
    switch (operation)
    {
    case kVst2EditGetRect:
        if (!pointer)
            return 0;
        *static_cast<Vst2Rect**>(pointer) = &mEditorRect;
        return 1;
    case kVst2EditOpen:
        if (!graphics->CreateEditorWindow(pointer))
            return 0;
        OnEditorOpen();
        return 1;
    default:  // kVst2EditClose
        OnEditorClose();
        graphics->DestroyEditorWindow();
        return 1;
    }
}
