#pragma once
// The editor's X11 window layer: an Xlib child window inside the window the host gives the
// plug-in (embedded the XEmbed way), drawn from the back buffer with one XPutImage per paint.
//
// X11 has no timer and no event loop of ours: the host drives both. The adapter hands the
// layer the host's run loop (UseRunLoop) before opening; opening registers the connection's
// file descriptor and the tick with it, closing unregisters both, and without a run loop no
// window opens. No thread of our own is started. The loop calls back:
//
//     OnEventsReady ->  ProcessEvents (every event waiting on the connection)
//     OnTimer       ->  ProcessEvents, then OnTimerTick
//
//     OnTimerTick   ->  text entry requests, then CollectDirtyArea  ->  Redraw  ->  PresentArea
//     Expose        ->  Redraw(exposed area)                         ->  PresentArea
//
// Mouse and key events become the editor's input entry points (X's implicit grab on a button
// press is the capture); keys the editor does not use go on to the host's top-level window.
// X11 has no native menus or text fields: X11PopupMenu and X11TextEntry draw their own, and
// file dialogs run as a helper program in the background (X11FileDialog), polled each tick.
//
// Scale: the window is Scale() times the editor's logical size; pointer positions are divided
// back to logical pixels and the back buffer is enlarged on the way to the screen.
//
// Threads: everything here runs on the host's UI thread, the thread that opened the window.

#include "framework/EditorRunLoop.h"
#include "graphics/IGraphics.h"

#include <memory>
#include <string>

#include <X11/Xlib.h>

class X11Connection;
class X11TextEntry;
class X11FileDialog;

class IGraphicsX11 : public IGraphics, private EditorRunLoopClient
{
public:
    IGraphicsX11(IPlugBase* plug, int width, int height, int frameRate);
    // 24. Closes the window, then the IGraphics part. [the thread that destroys the instance]
    ~IGraphicsX11() override;

    // ---- IGraphics operations of the window layer (all [window thread]) ---------------

    // 0. One XPutImage of the rectangle from the back buffer (enlarged when scaled).
    void PresentArea(const Rect& rect) override;
    // 2. The open entry closes without applying at the next tick.
    void CancelTextEntry() override;
    // 3. Also resizes the editor window.
    void Resize(int width, int height) override;
    // 4.
    bool HasWindow() override { return mWindow != 0; }
    // 5.
    const char* GetDrawingApiName() override { return "X11"; }
    EditorWindowSystem WindowSystem() const override { return EditorWindowSystem::kX11; }
    // 6. A drawn message box over the editor; returns its answer (kAskUser...).
    int AskUser(const char* text, const char* caption, int type) override;
    // 7. A drawn popup menu below the rectangle; the menu holding the chosen item, or none.
    PopupMenu* ShowPopupMenu(PopupMenu& menu, const Rect& rect) override;
    // 8. A drawn entry over the rectangle; applied or discarded at the next tick.
    void OpenTextEntry(IControl* control, const TextStyle& style, const Rect& rect, const char* initialText,
                       PluginParameter* param) override;
    // 9.-13. Folders, each ending in '/'; empty when unknown.
    void HostFolder(std::string& folder) override;
    void PluginFolder(std::string& folder) override;
    void DesktopFolder(std::string& folder) override;
    void AppDataFolder(std::string& folder, bool forAllUsers) override;
    void UserAppDataFolder(std::string& folder) override;
    // 14. Without a window the file is empty. A running dialog answers through
    // StartFileDialog's control instead; called directly it cancels (file empty).
    void AskForFile(std::string& file, int action, std::string& folder, const char* extensions) override;
    // 15. No colour dialog on X11: false.
    bool AskForColor(Color& color, const char* title) override;
    // 16. xdg-open, after the question when given.
    bool OpenWebAddress(const char* url, const char* title, const char* question,
                        const char* errorMessage) override;
    // 18. Creates the child window in `parent` (an X window id) and registers it with the
    // run loop; none without a run loop, or when the server or the loop refuse.
    EditorWindowHandle CreateEditorWindow(EditorWindowHandle parent) override;
    // 21.
    void DestroyEditorWindow() override;
    // 22. The window id, or none.
    EditorWindowHandle EditorWindow() override;
    // 23. The CLIPBOARD selection as UTF8_STRING.
    bool ReadClipboardText(std::string& text) override;
    // 25.
    void HideCursorForDrag() override;
    // 26.
    void RestoreCursor() override;
    // 28. The module's compiled-in PNG for names ending in "png" (any case).
    std::unique_ptr<LICE_IBitmap> LoadPlatformImage(int resourceId, const char* fileName) override;
    // Runs the file dialog as a background helper; the control hears the answer later.
    bool StartFileDialog(IFileSelectorControl* control) override;

    // ---- Driven by the host (all [window thread]) --------------------------------------

    // The host's run loop for the windows opened from now on; not owned, it must outlive
    // the open window. None: no window opens.
    void UseRunLoop(EditorRunLoop* loop) override { mRunLoop = loop; }
    // The X connection's file descriptor while the window is open, else -1.
    int ConnectionFd() const;
    // Milliseconds between ticks: int(1000 / frame rate).
    int TimerPeriodMs() const;
    // One redraw-timer tick.
    void OnTimerTick();
    // Handles every event waiting on the connection.
    void ProcessEvents();

    // ---- Scale ------------------------------------------------------------------------

    // The open window takes the new size. [window thread]
    void ScaleChanged() override;
    // Xft.dpi of the parent's display (96 is 100 %); 1 without one. [window thread]
    double SystemScale(EditorWindowHandle parent) override;

    // ---- For tests -----------------------------------------------------------------------

    Window XWindow() const { return mWindow; }
    Display* XDisplay() const;
    X11TextEntry& TextEntry() { return *mTextEntry; }
    int PresentCount() const { return mPresentCount; }
    long long PresentedPixels() const { return mPresentedPixels; }
    void ResetPresentStats();

private:
    // The run loop's callbacks. A tick handles events too: Xlib may already have read some
    // into its queue during a round trip, and those never make the descriptor readable.
    void OnEventsReady() override { ProcessEvents(); }
    void OnTimer() override;

    void HandleEvent(XEvent& event);
    void HandleButton(const XButtonEvent& event, bool pressed);
    void HandleMotion(const XMotionEvent& event);
    void HandleKey(XKeyEvent& event);
    void PassToHost(XKeyEvent& event);
    void ExposeArea(const Rect& rect);
    int ToLogical(int physical) const { return Scale().ToLogical(physical); }
    int PhysicalWidth() const { return WindowSize().width; }
    int PhysicalHeight() const { return WindowSize().height; }
    void PollFileDialog();

    EditorRunLoop* mRunLoop = nullptr;
    bool mWatched = false;
    std::unique_ptr<X11Connection> mConnection;
    Window mWindow = 0;
    Window mParent = 0;
    GC mGc = nullptr;
    Cursor mBlankCursor = 0;
    std::unique_ptr<X11TextEntry> mTextEntry;
    std::unique_ptr<X11FileDialog> mFileDialog;
    IFileSelectorControl* mFileControl = nullptr;
    // Double clicks: the time and place of the last left press.
    Time mLastPressTime = 0;
    int mLastPressX = -1000;
    int mLastPressY = -1000;

    bool mCursorHidden = false;
    int mCursorHiddenAtX = 0;
    int mCursorHiddenAtY = 0;

    int mPresentCount = 0;
    long long mPresentedPixels = 0;
};
