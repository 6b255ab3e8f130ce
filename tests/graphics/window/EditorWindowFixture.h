#pragma once
// What the tests of every window layer share: a plug-in that records what the editor calls
// on it, and a small layout (a grey background panel and two 99-frame knobs drawn from a
// generated strip whose frames each have their own colour, so the frame on screen can be
// read back from the window).

#include "framework/IPlugBase.h"
#include "graphics/IGraphics.h"
#include "graphics/IKnobMultiControl.h"
#include "graphics/raster/LICE_MemBitmap.h"

#include <string>
#include <vector>

class RecordingPlug : public IPlugBase
{
public:
    RecordingPlug();
    void BeginParameterEdit(int paramIndex) override;
    void SetParameterFromEditor(int paramIndex, double normalizedValue) override;
    void EndParameterEdit(int paramIndex) override;

    std::vector<std::string> events; // "begin 0", "set 0 0.750", "end 0"
};

class EditorWindowLayout
{
public:
    static constexpr int kFrames = 99;
    static constexpr int kKnobSize = 40;
    static const Rect kKnobA; // parameter 0 (0..100), prompts on
    static const Rect kKnobB; // parameter 1 (0..1)

    EditorWindowLayout();
    // Adds the panel and both knobs to the editor; returns knob A.
    IKnobMultiControl* AddControls(IGraphics& editor, IPlugBase& plug);
    // The strip's pixel (RGB) of the frame (0-based) at (x, y) of a knob.
    LICE_pixel FramePixel(int frame, int x, int y) const;

private:
    LICE_MemBitmap mStrip;
};

// The 0-based frame a 99-frame knob shows for a value.
int KnobFrameFor(double value);

// The first control (after the background) whose centre in window pixels, taken back to the
// editor's pixels as the window layers do, does not reach that control; -1 when all do.
int ControlMissedAtItsCentre(const IGraphics& editor);
