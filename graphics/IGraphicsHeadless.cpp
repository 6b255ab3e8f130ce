#include "graphics/IGraphicsHeadless.h"

#include "graphics/raster/LICE_MemBitmap.h"
#include "graphics/raster/LicePng.h"

IGraphicsHeadless::IGraphicsHeadless(IPlugBase* plug, int width, int height, int frameRate)
    : IGraphics(plug, width, height, frameRate)
{
}

IGraphicsHeadless::~IGraphicsHeadless() = default;

void IGraphicsHeadless::PresentArea(const Rect& rect)
{
    ++mPresentCount;
    mPresentedPixels += static_cast<long long>(rect.Width()) * rect.Height();
    mLastPresented = rect;
}

void IGraphicsHeadless::CancelTextEntry() {}

void IGraphicsHeadless::Resize(int width, int height)
{
    if (width == Width() && height == Height())
        return;
    IGraphics::Resize(width, height);
}

int IGraphicsHeadless::AskUser(const char* /*text*/, const char* /*caption*/, int /*type*/)
{
    return kAskUserCancel;
}

PopupMenu* IGraphicsHeadless::ShowPopupMenu(PopupMenu& /*menu*/, const Rect& /*rect*/)
{
    // A menu takes the mouse away from whatever held it, shown or not.
    ReleaseMouse();
    return nullptr;
}

void IGraphicsHeadless::OpenTextEntry(IControl* /*control*/, const TextStyle& /*style*/, const Rect& /*rect*/,
                                      const char* /*initialText*/, PluginParameter* /*param*/)
{
}

void IGraphicsHeadless::HostFolder(std::string& folder) { folder.clear(); }
void IGraphicsHeadless::PluginFolder(std::string& folder) { folder.clear(); }
void IGraphicsHeadless::DesktopFolder(std::string& folder) { folder.clear(); }
void IGraphicsHeadless::AppDataFolder(std::string& folder, bool /*forAllUsers*/) { folder.clear(); }
void IGraphicsHeadless::UserAppDataFolder(std::string& folder) { folder.clear(); }

void IGraphicsHeadless::AskForFile(std::string& file, int /*action*/, std::string& /*folder*/,
                                   const char* /*extensions*/)
{
    file.clear();
}

bool IGraphicsHeadless::AskForColor(Color& /*color*/, const char* /*title*/) { return false; }

bool IGraphicsHeadless::OpenWebAddress(const char* /*url*/, const char* /*title*/, const char* /*question*/,
                                       const char* /*errorMessage*/)
{
    return false;
}

EditorWindowHandle IGraphicsHeadless::CreateEditorWindow(EditorWindowHandle /*parent*/) { return nullptr; }
void IGraphicsHeadless::DestroyEditorWindow() {}
EditorWindowHandle IGraphicsHeadless::EditorWindow() { return nullptr; }

bool IGraphicsHeadless::ReadClipboardText(std::string& text)
{
    text.clear();
    return false;
}

void IGraphicsHeadless::HideCursorForDrag() {}
void IGraphicsHeadless::RestoreCursor() {}

std::unique_ptr<LICE_IBitmap> IGraphicsHeadless::LoadPlatformImage(int resourceId, const char* fileName)
{
    return DecodePngImageResource(static_cast<LICE_HMODULE>(ModuleHandle()), resourceId, fileName);
}

bool IGraphicsHeadless::RunFrame()
{
    Rect dirty;
    if (!CollectDirtyArea(dirty))
        return false;
    Redraw(dirty);
    return true;
}

void IGraphicsHeadless::ResetPresentStats()
{
    mPresentCount = 0;
    mPresentedPixels = 0;
    mLastPresented = Rect();
}
