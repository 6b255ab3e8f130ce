#pragma once
// A line of text in the control's own text style.
//
// The text may be set from another thread than the window's (a preset recalled by the host
// renames the preset display), so it is guarded by a small lock of its own that is held
// only to copy the text. Nothing on the audio path sets texts.

#include "graphics/IControl.h"

#include <mutex>
#include <string>

class ITextControl : public IControl
{
public:
    ITextControl(IPlugBase* plug, const Rect& rect, const TextStyle& style, const char* text = "");

    // [window thread]
    bool Draw(IGraphics& graphics) override;

    // Stores the text and marks the control when it differs.
    // [any thread except the audio thread: takes the text's lock]
    void SetText(const char* text);
    // A copy of the text. [any thread except the audio thread: takes the text's lock]
    std::string GetText() const;

private:
    mutable std::mutex mTextLock;
    std::string mText;
};
