#pragma once
// A button that opens a file dialog. Its value toggles between 0 and 1 at every use, which
// tells the plug-in (through the bound parameter) that the dialog ran; the plug-in then
// reads the chosen file and its folder from the control (empty file: cancelled).

#include "graphics/IControl.h"

#include <string>

class IFileSelectorControl : public IControl
{
public:
    enum State : int
    {
        kIdle = 0,
        kSelecting = 1,
        kDone = 2,
    };

    IFileSelectorControl(IPlugBase* plug, const Rect& rect, int paramIndex, const BitmapRef& bitmap,
                         int action, const char* folder = "", const char* extensions = "",
                         const BlendSpec& blend = BlendSpec());

    // [window thread] Runs the dialog (only while the plug-in has an editor).
    void MouseDown(int x, int y, const MouseModifiers& mod) override;
    // [window thread] The answer of a dialog that ran in the background (empty file:
    // cancelled), as its own edit gesture, since the click that opened it has ended.
    void FinishSelection(const char* file, const char* folder);
    // [window thread] Draws the image only while the dialog is open.
    bool Draw(IGraphics& graphics) override;
    // [window thread] Also true once after a dialog finished.
    bool NeedsRedraw() override;

    // [window thread] for the accessors: the plug-in reads them in reaction to the value.
    const std::string& File() const { return mFile; }
    void SetFile(const char* file) { mFile = file ? file : ""; }
    const std::string& Folder() const { return mFolder; }
    void SetFolder(const char* folder) { mFolder = folder ? folder : ""; }
    const std::string& Extensions() const { return mExtensions; }
    int Action() const { return mAction; }
    int GetState() const { return mState; }

private:
    void ToggleValue();

    BitmapRef mBitmap;
    std::string mFolder;
    std::string mFile;
    std::string mExtensions;
    int mAction = 0;
    int mState = kIdle;
};
