#include "vst2/IPlugVST.h"

// The editor as a VST2 host sees it: a flag in the descriptor, a rectangle, and a child
// window opened in the host's window and closed again (operations 13 to 15). Only an editor
// that can open windows is announced; the headless layer announces no editor at all. Where
// the window has no loop of its own (X11), the host's editor-idle calls (operation 19)
// handle its events and redraw it; elsewhere they find nothing to do.

namespace
{

Vst2Rect RectOf(const EditorSize& size)
{
    return {0, 0, static_cast<int16_t>(size.height), static_cast<int16_t>(size.width)};
}

} // namespace

void IPlugVST::AttachEditor(std::unique_ptr<EditorLink> editor)
{
    IPlugBase::AttachEditor(std::move(editor));
    PlugLockGuard guard(PluginLock());
    if (EditorLink* windowed = WindowedEditor())
    {
        mDescriptor.flags |= kVst2HasEditor;
        mEditorRect = RectOf(windowed->WindowSize());
    }
}

void IPlugVST::ResizeEditor(int /*width*/, int /*height*/)
{
    EditorLink* windowed = WindowedEditor();
    if (!windowed)
        return;
    const EditorSize size = windowed->WindowSize();
    mEditorRect = RectOf(size);
    // The host frames the window at the new size (its answer does not matter: operation 13
    // already gives the new rectangle to hosts that ask again).
    Callback(kVst2HostSizeWindow, size.width, size.height);
    OnEditorResized();
}

intptr_t IPlugVST::DispatchEditor(int32_t operation, void* pointer)
{
    EditorLink* windowed = WindowedEditor();
    if (!windowed)
        return 0;
    switch (operation)
    {
        case kVst2EditGetRect:
            if (!pointer)
                return 0;
            *static_cast<Vst2Rect**>(pointer) = &mEditorRect;
            return 1;
        case kVst2EditOpen:
            windowed->UseRunLoop(&mEditorIdle);
            if (!windowed->OpenWindow(pointer))
                return 0;
            OnEditorOpen();
            return 1;
        case kVst2EditIdle: mEditorIdle.Idle(); return 0;
        default: // kVst2EditClose
            OnEditorClose();
            windowed->CloseWindow();
            return 1;
    }
}
