#pragma once

#include "framework/EditorRunLoop.h"
// The face of the attached editor as the plug-in core and the adapters see it. The core owns
// the editor (IPlugBase::AttachEditor hands it over) and deletes it first when the instance
// goes away; the editor implements these operations.
//
// An adapter needs no more of an editor than this: whether and in which window system it can
// open a window, opening it in the host's parent window, closing it, its size, and the module
// its images come from. The editor's window layer answers all of them.

// The window system whose windows an editor opens. An adapter offers the host an editor only
// for a system it can name to the host.
enum class EditorWindowSystem
{
    kNone,  // no window can be opened (the headless layer)
    kWin32, // a child window of a host-given HWND
    kX11,   // a child window of a host-given X window id, driven by the host's run loop
};

// An editor window's size in pixels, as the host frames it.
struct EditorSize
{
    int width = 0;
    int height = 0;
};

class EditorLink
{
public:
    // [the thread that destroys the instance, after processing has stopped]
    virtual ~EditorLink() = default;

    // Gives every control bound to the parameter the new value. A plain value is clamped to
    // the parameter's range and normalised first. Runs on whichever thread changed the value
    // (audio thread, host automation, preset recall), so it must do nothing but store the
    // value and mark the control for the next redraw.
    // [any thread: only stores and marks]
    virtual void PushValueToControls(int paramIndex, double value, bool normalized) = 0;

    // Creates the drawing surfaces (back buffer and spare bitmap) at the editor's size; called
    // once when the editor is attached, after every control has received its value.
    // [constructing thread, under the plug-in lock]
    virtual void PrepareDrawing() = 0;

    // The window operations below describe an editor without a window by default, which is
    // what editors that only mirror values (in tests) are.

    // The window system this editor opens its window in; kNone when it cannot open one.
    // [any thread]
    virtual EditorWindowSystem WindowSystem() const { return EditorWindowSystem::kNone; }

    // The host's run loop for the windows opened from now on, for window systems where the
    // plug-in may run no loop of its own (kX11); not owned, it must outlive the open window.
    // Editors of other systems ignore it. [main thread]
    virtual void UseRunLoop(EditorRunLoop* /*loop*/) {}

    // Opens the editor window inside the host's parent window (a handle of WindowSystem());
    // false when no window could be made (for kX11 also without a run loop). [main thread]
    virtual bool OpenWindow(void* /*parent*/) { return false; }

    // Closes the editor window; the controls keep their values for the next opening. Nothing
    // happens without an open window. [main thread]
    virtual void CloseWindow() {}

    // True while the editor window is open. [main thread]
    virtual bool HasWindow() { return false; }

    // The size the host gives the editor window, in pixels (the screen's: the editor's own
    // size times its scale). [main thread]
    virtual EditorSize WindowSize() const { return EditorSize(); }

    // The scale the host asks the editor to draw at (1 is 100 %); from then on it overrides
    // the screen's. An open window changes size and the host is asked to resize it.
    // [main thread]
    virtual void SetContentScale(double /*factor*/) {}

    // The module whose resources hold the editor's images; none for the program itself.
    // [any thread]
    virtual void* ModuleHandle() const { return nullptr; }
};
