#include "graphics/ITextControl.h"

#include "graphics/IGraphics.h"

ITextControl::ITextControl(IPlugBase* plug, const Rect& rect, const TextStyle& style, const char* text)
    : IControl(plug, rect),
      mText(text ? text : "")
{
    SetTextStyle(style);
}

bool ITextControl::Draw(IGraphics& graphics)
{
    const std::string text = GetText();
    if (!text.empty())
        graphics.DrawStyledText(GetTextStyle(), text.c_str(), GetRect());
    return true;
}

void ITextControl::SetText(const char* text)
{
    const char* newText = text ? text : "";
    {
        std::lock_guard<std::mutex> guard(mTextLock);
        if (mText == newText)
            return;
        mText = newText;
    }
    // Marked after the store, so the frame that sees the mark also sees the text. The redraw
    // request comes first: when the text is set from another thread while a frame is being
    // drawn, that frame's ClearChanged then cannot wipe the mark out.
    RequestRedraw();
    MarkChanged(false);
}

std::string ITextControl::GetText() const
{
    std::lock_guard<std::mutex> guard(mTextLock);
    return mText;
}
