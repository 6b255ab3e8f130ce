#include "graphics/x11/X11TextEntry.h"

#include "graphics/FontCache.h"
#include "graphics/IControl.h"
#include "graphics/IGraphics.h"
#include "graphics/raster/LICE_CachedFont.h"
#include "graphics/raster/LiceBlit.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cmath>

namespace
{
constexpr LICE_pixel kSelection = 0xFF3875D7;
constexpr LICE_pixel kSelectedText = 0xFFFFFFFF;
constexpr int kInset = 2;

int TextWidth(LICE_CachedFont& font, const std::string& text)
{
    LICE_Rect rect = {0, 0, 0, 0};
    font.RenderText(nullptr, text.c_str(), static_cast<int>(text.size()), &rect,
                    LICE_DT_CALCRECT | LICE_DT_SINGLELINE);
    return rect.right;
}
} // namespace

void X11TextEntry::Open(IControl* control, const TextStyle& style, const Rect& rect, const char* initialText,
                        PluginParameter* param)
{
    if (!control || IsOpen())
        return;
    mControl = control;
    mParam = param;
    mStyle = style;
    mStyle.cachedFont = nullptr;
    mRect = rect;
    mMaxLength = control->TextEntryLength();
    mText = initialText ? initialText : "";
    if (static_cast<int>(mText.size()) > mMaxLength)
        mText.resize(static_cast<size_t>(mMaxLength));
    mAnchor = 0;
    mCaret = mText.size();
    mState = kFocused;
    mCanvas.Resize(std::max(1, rect.Width()), std::max(1, rect.Height()));
    Draw();
}

void X11TextEntry::Close()
{
    mControl = nullptr;
    mParam = nullptr;
    mText.clear();
    mState = kIdle;
}

bool X11TextEntry::OnTimerTick()
{
    if (!IsOpen() || mState == kIdle)
        return false;
    if (mState == kRepainted)
        mState = kIdle;
    else if (mState == kCancelRequested)
        Close();
    else if (mState == kCommitRequested)
    {
        IControl* control = mControl;
        PluginParameter* param = mParam;
        const std::string text = mText;
        Close();
        IGraphics::CommitEnteredText(control, param, text.c_str());
    }
    return true;
}

void X11TextEntry::DeleteSelection()
{
    const size_t from = std::min(mAnchor, mCaret);
    const size_t to = std::max(mAnchor, mCaret);
    mText.erase(from, to - from);
    mCaret = mAnchor = from;
}

void X11TextEntry::Insert(const std::string& characters)
{
    DeleteSelection();
    for (const char c : characters)
    {
        if (static_cast<int>(mText.size()) >= mMaxLength)
            break;
        if (!IGraphics::EntryAcceptsChar(mParam, static_cast<unsigned char>(c)))
            continue;
        mText.insert(mCaret, 1, c);
        mAnchor = ++mCaret;
    }
}

void X11TextEntry::HandleKey(KeySym key, const char* typed, int length, bool shift, bool control)
{
    if (!IsOpen())
        return;
    switch (key)
    {
        case XK_Return:
        case XK_KP_Enter: mState = kCommitRequested; return;
        case XK_Escape: mState = kCancelRequested; return;
        case XK_BackSpace:
            if (!HasSelection() && mCaret > 0)
                mAnchor = mCaret - 1;
            DeleteSelection();
            break;
        case XK_Delete:
            if (!HasSelection() && mCaret < mText.size())
                mAnchor = mCaret + 1;
            DeleteSelection();
            break;
        case XK_Left:
        case XK_Right:
        case XK_Home:
        case XK_End:
            if (key == XK_Left && mCaret > 0)
                --mCaret;
            else if (key == XK_Right && mCaret < mText.size())
                ++mCaret;
            else if (key == XK_Home)
                mCaret = 0;
            else if (key == XK_End)
                mCaret = mText.size();
            if (!shift)
                mAnchor = mCaret;
            break;
        default:
            if (control && (key == XK_a || key == XK_A))
            {
                mAnchor = 0;
                mCaret = mText.size();
            }
            else if (!control && length > 0 && static_cast<unsigned char>(typed[0]) >= 0x20)
                Insert(std::string(typed, static_cast<size_t>(length)));
            break;
    }
    Draw();
}

void X11TextEntry::Draw()
{
    FillRect(&mCanvas, 0, 0, mCanvas.GetWidth(), mCanvas.GetHeight(), mStyle.entryBackground.ToPixel(), 1.0f,
             BlendCopy);
    LICE_CachedFont* font = FontCache::Instance().FindOrCreate(mStyle);
    if (!font)
        return;
    const int width = TextWidth(*font, mText);
    const int inner = mCanvas.GetWidth() - 2 * kInset;
    int left = kInset;
    if (mStyle.align == TextStyle::kCentre)
        left = kInset + (inner - width) / 2;
    else if (mStyle.align == TextStyle::kRight)
        left = kInset + inner - width;
    const int top = (mCanvas.GetHeight() - font->LineHeight()) / 2;
    const size_t from = std::min(mAnchor, mCaret);
    const size_t to = std::max(mAnchor, mCaret);
    const int selectionLeft = left + TextWidth(*font, mText.substr(0, from));
    const int selectionRight = left + TextWidth(*font, mText.substr(0, to));
    if (from != to)
        FillRect(&mCanvas, selectionLeft, top, selectionRight - selectionLeft, font->LineHeight(), kSelection,
                 1.0f, BlendCopy);
    font->SetTextBlend(BlendCopy | BlendUseSourceAlpha, 1.0f);
    LICE_Rect at = {left, top, mCanvas.GetWidth(), mCanvas.GetHeight()};
    font->SetTextColor(mStyle.entryText.ToPixel());
    font->RenderText(&mCanvas, mText.c_str(), static_cast<int>(mText.size()), &at, LICE_DT_NOCLIP);
    if (from != to)
    {
        // The selected characters again, light on the highlight.
        font->SetTextColor(kSelectedText);
        LICE_Rect selected = {selectionLeft, top, selectionRight, mCanvas.GetHeight()};
        font->RenderText(&mCanvas, mText.c_str() + from, static_cast<int>(to - from), &selected, 0);
    }
    const int caretX = left + TextWidth(*font, mText.substr(0, mCaret));
    FillRect(&mCanvas, caretX, top, 1, font->LineHeight(), mStyle.entryText.ToPixel(), 1.0f, BlendCopy);
}

void X11TextEntry::Present(Display* display, Window window, GC gc, Visual* visual, int depth)
{
    if (!IsOpen() || !mCanvas.GetBits())
        return;
    XImage* image =
        XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                     reinterpret_cast<char*>(mCanvas.GetBits()), static_cast<unsigned>(mCanvas.GetWidth()),
                     static_cast<unsigned>(mCanvas.GetHeight()), 32, mCanvas.GetRowSpan() * 4);
    if (!image)
        return;
    XPutImage(display, window, gc, image, 0, 0, mRect.left, mRect.top,
              static_cast<unsigned>(mCanvas.GetWidth()), static_cast<unsigned>(mCanvas.GetHeight()));
    image->data = nullptr;
    XDestroyImage(image);
}
