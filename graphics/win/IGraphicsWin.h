#pragma once
// The editor's Windows window layer: a Win32 child window inside the window the host gives
// the plug-in, drawn from the back buffer with GDI.
//
// Opening registers the module's window class "IPlugWndClass" (only while at least one
// editor window of the module is open) and creates the child window; its timer (id 2,
// every int(1000 / frame rate) ms) runs the redraw cycle:
//
//     WM_TIMER  ->  CollectDirtyArea  ->  InvalidateRect + UpdateWindow
//     WM_PAINT  ->  Redraw(update rect)  ->  PresentArea: one BitBlt to the window
//
// Mouse and key messages become the editor's input entry points; keys the editor does not
// use go on to the host's top-level window. Menus, the in-place text entry, dialogs, the
// clipboard and folder look-ups are the operating-system services the editor asks for.
//
// Threads: everything here runs on the thread that owns the window (the host's UI thread).
// The open-window count and the timer's frame rate are module-wide, shared by every editor.

#include "graphics/IGraphics.h"

#include <memory>
#include <string>

#include <windows.h>

class WinTextEntry;

class IGraphicsWin : public IGraphics
{
public:
    static constexpr const char* kWindowClassName = "IPlugWndClass";
    static constexpr UINT_PTR kTimerId = 2;

    IGraphicsWin(IPlugBase* plug, int width, int height, int frameRate);
    // 24. Closes the window, then the IGraphics part. [the thread that destroys the instance]
    ~IGraphicsWin() override;

    // [any thread]
    EditorWindowSystem WindowSystem() const override { return EditorWindowSystem::kWin32; }

    // ---- IGraphics operations of the window layer (all [window thread]) ---------------

    // 0. BeginPaint, one BitBlt of the rectangle from the back buffer, EndPaint.
    void PresentArea(const Rect& rect) override;
    // 2. The open entry closes without applying at the next tick.
    void CancelTextEntry() override;
    // 3. Also resizes the editor window and, outside VST3, its parent windows.
    void Resize(int width, int height) override;
    // 4.
    bool HasWindow() override { return mWnd != nullptr; }
    // 5.
    const char* GetDrawingApiName() override { return "Windows GDI"; }
    // 6. A message box owned by the host's main window; returns its answer.
    int AskUser(const char* text, const char* caption, int type) override;
    // 7. TrackPopupMenu below the rectangle; the menu holding the chosen item, or none.
    PopupMenu* ShowPopupMenu(PopupMenu& menu, const Rect& rect) override;
    // 8. An EDIT field over the rectangle; applied or discarded at the next tick.
    void OpenTextEntry(IControl* control, const TextStyle& style, const Rect& rect, const char* initialText,
                       PluginParameter* param) override;
    // 9.-13. Folders, each ending in a backslash; empty when unknown.
    void HostFolder(std::string& folder) override;
    void PluginFolder(std::string& folder) override;
    void DesktopFolder(std::string& folder) override;
    void AppDataFolder(std::string& folder, bool forAllUsers) override;
    void UserAppDataFolder(std::string& folder) override;
    // 14. GetOpenFileName / GetSaveFileName.
    void AskForFile(std::string& file, int action, std::string& folder, const char* extensions) override;
    // 15. ChooseColor.
    bool AskForColor(Color& color, const char* title) override;
    // 16. ShellExecute "open" when the machine is online.
    bool OpenWebAddress(const char* url, const char* title, const char* question,
                        const char* errorMessage) override;
    // 18. Creates the child window in `parent` (an HWND); none on failure.
    EditorWindowHandle CreateEditorWindow(EditorWindowHandle parent) override;
    // 21.
    void DestroyEditorWindow() override;
    // 22.
    EditorWindowHandle EditorWindow() override { return mWnd; }
    // 23. CF_UNICODETEXT converted to UTF-8.
    bool ReadClipboardText(std::string& text) override;
    // 25.
    void HideCursorForDrag() override;
    // 26.
    void RestoreCursor() override;
    // 28. A "PNG" resource of the module for names ending in "png" (any case).
    std::unique_ptr<LICE_IBitmap> LoadPlatformImage(int resourceId, const char* fileName) override;
    // 30. The window takes the new size and is redrawn whole.
    void ScaleChanged() override;
    // 31. The parent window's DPI (96 is 1); 1 for a host that is not DPI aware, which
    // Windows stretches as a whole.
    double SystemScale(EditorWindowHandle parent) override;

    // ---- For the window procedure and tests -------------------------------------------

    HWND Window() const { return mWnd; }
    // The module used for the window class and the images; the executable when unset.
    HINSTANCE Instance() const;
    WinTextEntry& TextEntry() { return *mTextEntry; }
    // The number of editor windows of the module open right now.
    static int OpenWindowCount();
    // Paint statistics since the last reset: PresentArea calls and the area they copied.
    int PresentCount() const { return mPresentCount; }
    long long PresentedPixels() const { return mPresentedPixels; }
    void ResetPresentStats();
    // Hides a tooltip being shown (the text entry does so on every message).
    void HideTooltip();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool HandleMouseMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleKeyMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void OnTimer();
    void OnPaint(HWND hwnd);
    void OnMouseMoveWithoutButtons(int x, int y, const MouseModifiers& mod);
    void PassToHost(UINT msg, WPARAM wParam, LPARAM lParam);
    void ForgetWindow();

    bool RegisterWindowClass();
    void ReleaseWindowClass();
    void SetUpTooltips();
    void DestroyTooltips();
    HWND MainWindow();

    HWND mWnd = nullptr;
    bool mDestroying = false;
    HWND mParentWnd = nullptr;
    HWND mMainWnd = nullptr;
    std::string mMainWndClass;
    std::unique_ptr<WinTextEntry> mTextEntry;

    HWND mTooltipWnd = nullptr;
    bool mTooltipShowing = false;
    int mTooltipArmedIndex = -1;

    std::unique_ptr<COLORREF[]> mCustomColors; // the colour dialog's 16 custom colours

    bool mCursorHidden = false;
    POINT mCursorHiddenAt = {0, 0};

    int mPresentCount = 0;
    long long mPresentedPixels = 0;
};
