#pragma once
// The window layer of builds without a windowing system (the native Linux build): there is
// never a window, dialogs and menus answer "cancelled", folders are empty and images come
// from the PNGs compiled into the program. Everything above the window layer (controls,
// the redraw cycle, input dispatch) runs unchanged on it, so tests and benchmarks drive the
// editor through the same entry points a real window would.
//
// RunFrame is what a window's timer tick does: collect the dirty area and, when there is
// one, redraw it (which presents it). Presented areas are counted so that tests can see
// what a frame painted.

#include "graphics/IGraphics.h"

class IGraphicsHeadless : public IGraphics
{
public:
    IGraphicsHeadless(IPlugBase* plug, int width, int height, int frameRate);
    ~IGraphicsHeadless() override;

    // Opens no window. [any thread]
    EditorWindowSystem WindowSystem() const override { return EditorWindowSystem::kNone; }

    // [window thread] for every operation below.
    void PresentArea(const Rect& rect) override;
    void CancelTextEntry() override;
    // Nothing happens when the size is unchanged, as with a real window.
    void Resize(int width, int height) override;
    int AskUser(const char* text, const char* caption, int type) override;
    PopupMenu* ShowPopupMenu(PopupMenu& menu, const Rect& rect) override;
    void OpenTextEntry(IControl* control, const TextStyle& style, const Rect& rect, const char* initialText,
                       PluginParameter* param) override;
    void HostFolder(std::string& folder) override;
    void PluginFolder(std::string& folder) override;
    void DesktopFolder(std::string& folder) override;
    void AppDataFolder(std::string& folder, bool forAllUsers) override;
    void UserAppDataFolder(std::string& folder) override;
    void AskForFile(std::string& file, int action, std::string& folder, const char* extensions) override;
    bool AskForColor(Color& color, const char* title) override;
    bool OpenWebAddress(const char* url, const char* title, const char* question,
                        const char* errorMessage) override;
    EditorWindowHandle CreateEditorWindow(EditorWindowHandle parent) override;
    void DestroyEditorWindow() override;
    EditorWindowHandle EditorWindow() override;
    bool ReadClipboardText(std::string& text) override;
    void HideCursorForDrag() override;
    void RestoreCursor() override;
    // Names ending in "png" (any case) decode the compiled-in image with that id.
    std::unique_ptr<LICE_IBitmap> LoadPlatformImage(int resourceId, const char* fileName) override;

    // One timer tick: redraws the dirty area, if any; true when something was drawn.
    bool RunFrame();

    // What the frames presented since the last reset: the number of PresentArea calls, the
    // summed area of the presented rectangles and the last rectangle.
    int PresentCount() const { return mPresentCount; }
    long long PresentedPixels() const { return mPresentedPixels; }
    const Rect& LastPresented() const { return mLastPresented; }
    void ResetPresentStats();

private:
    int mPresentCount = 0;
    long long mPresentedPixels = 0;
    Rect mLastPresented;
};
