#pragma once
// The VST3 face of the instrument's editor: the view a host gets from createView("editor")
// and through which it embeds, sizes and removes the editor window.
//
// The editor itself (controls, values, back buffer) belongs to the plug-in and lives as long
// as it; a view only opens the editor's window in the host's parent window (attached) and
// closes it again (removed), as often as the host likes, so the controls keep their state.
//
// Lifetime: the view holds a reference to its plug-in for its whole life and is listed in
// the plug-in's view list. Whatever the order in which a host releases the view and the
// component, neither is left pointing at the other: the plug-in cannot go before the view,
// and the view takes itself off the list (closing its window if the host never removed it)
// when its last reference goes.
//
// Threads: hosts call every view operation on their main thread, which is also the thread
// that owns the editor window.

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/common/pluginview.h"

#include "framework/EditorRunLoop.h"

#include <memory>

class IPlugVST3;
class EditorLink;

class IPlugVST3View : public Steinberg::CPluginView, public Steinberg::IPlugViewContentScaleSupport
{
public:
    // Takes a reference to the plug-in and enters the view in its list.
    explicit IPlugVST3View(IPlugVST3* plugin);
    // [main thread, last reference released] closes a window left open, leaves the
    // plug-in's list and drops the reference to the plug-in.
    ~IPlugVST3View() override;
    IPlugVST3View(const IPlugVST3View&) = delete;
    IPlugVST3View& operator=(const IPlugVST3View&) = delete;

    // [main thread] only the platform type of the editor's window system ("HWND" for
    // Win32, "X11EmbedWindowID" for X11), and only when the plug-in has an editor that opens
    // windows.
    Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) SMTG_OVERRIDE;
    // [main thread] opens the editor window in the parent (for the supported type only),
    // then tells the core. An X11 editor is driven by the host's run loop, found through the
    // frame; without one the answer is false and no window opens.
    Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) SMTG_OVERRIDE;
    // [main thread] tells the core, then closes the editor window (which leaves nothing
    // registered with the host's run loop).
    Steinberg::tresult PLUGIN_API removed() SMTG_OVERRIDE;
    // [main thread] (0, 0, editor width, editor height), in the screen's pixels at the
    // editor's scale.
    Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) SMTG_OVERRIDE;
    // [main thread] keeps the rectangle; completes a resize the core asked for.
    Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) SMTG_OVERRIDE;

    // [main thread] the host's scale for the editor (1 is 100 %), before or after attached;
    // an open editor changes size through the host frame. Not a positive number: refused.
    Steinberg::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) SMTG_OVERRIDE;

    OBJ_METHODS(IPlugVST3View, Steinberg::CPluginView)
    DEFINE_INTERFACES
    DEF_INTERFACE(Steinberg::IPlugViewContentScaleSupport)
    END_DEFINE_INTERFACES(Steinberg::CPluginView)
    REFCOUNT_METHODS(Steinberg::CPluginView)

    // The core changed the editor's size: asks the host frame to resize this view; the host
    // answers with onSize, which completes the resize. [window thread]
    void RequestResize(int width, int height);

    bool ResizePending() const { return mResizePending; }
    bool IsOpen() const { return mOpen; }

private:
    EditorLink* Editor() const;
    bool IsSupportedPlatformType(Steinberg::FIDString type) const;
    // The editor's window in the parent, with the host's run loop where the window needs it.
    bool OpenWindow(EditorLink& editor, void* parent);

    IPlugVST3* mPlugin;
    bool mResizePending = false;
    // Between a successful attached and the matching removed.
    bool mOpen = false;
    // The host's run loop while an X11 window is open.
    std::unique_ptr<EditorRunLoop> mRunLoop;
};
