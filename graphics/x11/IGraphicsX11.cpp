#include "graphics/x11/IGraphicsX11.h"
#include "graphics/x11/MakeX11Editor.h"

#include "graphics/IFileSelectorControl.h"
#include "graphics/raster/LICE_SysBitmap.h"
#include "graphics/raster/LicePng.h"
#include "graphics/x11/X11Connection.h"
#include "graphics/x11/X11FileDialog.h"
#include "graphics/x11/X11TextEntry.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace
{
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                            StructureNotifyMask | FocusChangeMask;
constexpr unsigned long kXembedMapped = 1;

Window ToXWindow(EditorWindowHandle handle)
{
    return static_cast<Window>(reinterpret_cast<uintptr_t>(handle));
}

// An image header over 32-bit pixels that X must not free (the pixels are someone else's).
struct BorrowedImage
{
    BorrowedImage(Display* display, Visual* visual, int depth, const void* pixels, int width, int height,
                  int bytesPerLine)
        : image(XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                             static_cast<char*>(const_cast<void*>(pixels)), static_cast<unsigned>(width),
                             static_cast<unsigned>(height), 32, bytesPerLine))
    {
    }
    ~BorrowedImage()
    {
        if (!image)
            return;
        image->data = nullptr;
        XDestroyImage(image);
    }
    XImage* image;
};
} // namespace

IGraphicsX11::IGraphicsX11(IPlugBase* plug, int width, int height, int frameRate)
    : IGraphics(plug, width, height, frameRate),
      mTextEntry(std::make_unique<X11TextEntry>())
{
}

IGraphicsX11::~IGraphicsX11() { DestroyEditorWindow(); }

Display* IGraphicsX11::XDisplay() const { return mConnection ? mConnection->Get() : nullptr; }

int IGraphicsX11::ConnectionFd() const { return mConnection ? mConnection->Fd() : -1; }

int IGraphicsX11::TimerPeriodMs() const { return 1000 / (FrameRate() > 0 ? FrameRate() : 25); }

void IGraphicsX11::ResetPresentStats()
{
    mPresentCount = 0;
    mPresentedPixels = 0;
}

// ---- Opening and closing ------------------------------------------------------------

EditorWindowHandle IGraphicsX11::CreateEditorWindow(EditorWindowHandle parent)
{
    DestroyEditorWindow();
    mParent = ToXWindow(parent);
    // Without the host's loop nothing would ever draw or answer the window.
    if (!mRunLoop || !mParent)
        return nullptr;
    auto connection = std::make_unique<X11Connection>();
    if (!connection->IsOpen())
        return nullptr;
    Display* display = connection->Get();
    XWindowAttributes parentAttributes = {};
    // The back buffer goes to the screen as 32-bit pixels: only true-colour parents take it.
    if (!XGetWindowAttributes(display, mParent, &parentAttributes) ||
        (parentAttributes.depth != 24 && parentAttributes.depth != 32))
        return nullptr;

    XSetWindowAttributes attributes = {};
    attributes.event_mask = kEventMask;
    attributes.background_pixmap = None;
    mWindow = XCreateWindow(display, mParent, 0, 0, static_cast<unsigned>(PhysicalWidth()),
                            static_cast<unsigned>(PhysicalHeight()), 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWEventMask | CWBackPixmap, &attributes);
    if (!mWindow)
        return nullptr;
    // XEmbed: the embedder maps us; version 0.
    const unsigned long info[2] = {0, kXembedMapped};
    XChangeProperty(display, mWindow, connection->xembedInfo, connection->xembedInfo, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(info), 2);
    XStoreName(display, mWindow, "IPlug");
    mGc = XCreateGC(display, mWindow, 0, nullptr);
    XMapWindow(display, mWindow);
    XFlush(display);
    mConnection = std::move(connection);
    mWatched = mRunLoop->Watch(this, mConnection->Fd(), TimerPeriodMs());
    if (!mWatched)
    {
        DestroyEditorWindow();
        return nullptr;
    }
    MarkAllControlsChanged();
    return EditorWindow();
}

void IGraphicsX11::DestroyEditorWindow()
{
    if (mWatched)
        mRunLoop->Unwatch();
    mWatched = false;
    if (!mConnection)
        return;
    mTextEntry->Close();
    mFileDialog.reset();
    mFileControl = nullptr;
    Display* display = mConnection->Get();
    RestoreCursor();
    if (mBlankCursor)
        XFreeCursor(display, mBlankCursor);
    mBlankCursor = 0;
    if (mGc)
        XFreeGC(display, mGc);
    mGc = nullptr;
    if (mWindow)
        XDestroyWindow(display, mWindow);
    mWindow = 0;
    mParent = 0;
    mConnection.reset(); // XCloseDisplay frees whatever else the connection made
}

EditorWindowHandle IGraphicsX11::EditorWindow()
{
    return mWindow ? reinterpret_cast<EditorWindowHandle>(static_cast<uintptr_t>(mWindow)) : nullptr;
}

void IGraphicsX11::ScaleChanged()
{
    mTextEntry->Close();
    if (!mWindow)
        return;
    XResizeWindow(XDisplay(), mWindow, static_cast<unsigned>(PhysicalWidth()),
                  static_cast<unsigned>(PhysicalHeight()));
    ExposeArea(Rect(0, 0, Width(), Height()));
}

double IGraphicsX11::SystemScale(EditorWindowHandle parent)
{
    if (!parent)
        return 1.0;
    X11Connection connection;
    return connection.IsOpen() ? X11DpiScale(connection.Get()) : 1.0;
}

void IGraphicsX11::Resize(int width, int height)
{
    if (width == Width() && height == Height())
        return;
    mTextEntry->Close();
    IGraphics::Resize(width, height);
    if (!mWindow)
        return;
    XResizeWindow(XDisplay(), mWindow, static_cast<unsigned>(PhysicalWidth()),
                  static_cast<unsigned>(PhysicalHeight()));
    ExposeArea(Rect(0, 0, width, height));
}

// ---- Painting -----------------------------------------------------------------------

void IGraphicsX11::PresentArea(const Rect& rect)
{
    const LICE_SysBitmap* back = BackBuffer();
    const Rect area = rect.Intersect(Rect(0, 0, PhysicalWidth(), PhysicalHeight()));
    if (!mWindow || !back || !back->GetBits() || area.IsEmpty())
        return;
    ++mPresentCount;
    mPresentedPixels += static_cast<long long>(area.Width()) * area.Height();
    Display* display = XDisplay();
    XWindowAttributes attributes = {};
    XGetWindowAttributes(display, mWindow, &attributes);
    BorrowedImage image(display, attributes.visual, attributes.depth, back->GetBits(), back->GetWidth(),
                        back->GetHeight(), back->GetRowSpan() * 4);
    if (image.image)
        XPutImage(display, mWindow, mGc, image.image, area.left, area.top, area.left, area.top,
                  static_cast<unsigned>(area.Width()), static_cast<unsigned>(area.Height()));
    mTextEntry->Present(display, mWindow, mGc, attributes.visual, attributes.depth);
    XFlush(display);
}

void IGraphicsX11::ExposeArea(const Rect& rect)
{
    if (mTextEntry->HasFocus())
        return; // as on Windows, the editor does not repaint while the entry has the focus
    Redraw(rect);
}

void IGraphicsX11::OnTimer()
{
    ProcessEvents();
    OnTimerTick();
}

void IGraphicsX11::OnTimerTick()
{
    if (!mWindow)
        return;
    PollFileDialog();
    if (mTextEntry->IsOpen())
    {
        if (mTextEntry->HasFocus() || mTextEntry->OnTimerTick())
            return;
    }
    Rect dirty;
    if (!CollectDirtyArea(dirty))
        return;
    Redraw(dirty);
    if (mTextEntry->IsOpen())
        mTextEntry->SetState(X11TextEntry::kRepainted);
}

// ---- Images and dialogs -------------------------------------------------------------

std::unique_ptr<LICE_IBitmap> IGraphicsX11::LoadPlatformImage(int resourceId, const char* fileName)
{
    return DecodePngImageResource(static_cast<LICE_HMODULE>(ModuleHandle()), resourceId, fileName);
}

void IGraphicsX11::CancelTextEntry()
{
    if (mTextEntry->IsOpen())
        mTextEntry->SetState(X11TextEntry::kCancelRequested);
}

void IGraphicsX11::OpenTextEntry(IControl* control, const TextStyle& style, const Rect& rect,
                                 const char* initialText, PluginParameter* param)
{
    if (!mWindow)
        return;
    // The entry is drawn in window pixels, with the font at the editor's scale.
    TextStyle scaled = style;
    scaled.size = Scale().ToPhysical(style.size);
    const Rect area = Scale().ToPhysical(rect);
    mTextEntry->Open(control, scaled, area, initialText, param);
    if (mTextEntry->IsOpen())
        PresentArea(area);
}

bool IGraphicsX11::AskForColor(Color& /*color*/, const char* /*title*/) { return false; }

void IGraphicsX11::AskForFile(std::string& file, int /*action*/, std::string& /*folder*/,
                              const char* /*extensions*/)
{
    file.clear();
}

bool IGraphicsX11::StartFileDialog(IFileSelectorControl* control)
{
    if (!control || !mWindow || mFileDialog)
        return false;
    std::string folder = control->Folder();
    if (folder.empty())
        DesktopFolder(folder);
    auto dialog = std::make_unique<X11FileDialog>();
    const X11FileDialog::StartResult started =
        dialog->Start(control->Action() == kFileSave, folder, control->File(), control->Extensions());
    if (started == X11FileDialog::kNoHelper)
    {
        AskUser("Kestrum needs zenity or kdialog to show file dialogs; neither was found.", "Kestrum", 0);
        return false;
    }
    if (started != X11FileDialog::kStarted)
        return false;
    mFileDialog = std::move(dialog);
    mFileControl = control;
    return true;
}

void IGraphicsX11::PollFileDialog()
{
    if (!mFileDialog || !mFileDialog->Poll())
        return;
    std::string file = mFileDialog->ChosenFile();
    mFileDialog.reset();
    IFileSelectorControl* control = mFileControl;
    mFileControl = nullptr;
    control->FinishSelection(file.c_str(), X11FileDialog::FolderOf(file).c_str());
}

std::unique_ptr<IGraphics> MakeX11Editor(IPlugBase* plug, int width, int height, int frameRate)
{
    return std::make_unique<IGraphicsX11>(plug, width, height, frameRate);
}
