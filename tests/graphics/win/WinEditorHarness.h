#pragma once
// A real editor window for tests under Wine: a top-level "host" window holding the editor's
// child window, a plug-in that records what the editor calls on it, and a small layout
// (a grey background panel and two 99-frame knobs drawn from a generated strip whose
// frames each have their own colour, so the frame on screen can be read back).
//
// Input is posted to the editor window exactly as the system would deliver it; the test
// thread is the window thread and pumps messages until a condition holds (never a fixed
// sleep), with a generous time limit.

#include "framework/IPlugBase.h"
#include "graphics/win/IGraphicsWin.h"
#include "graphics/IKnobMultiControl.h"
#include "graphics/IPanelControl.h"
#include "graphics/raster/LICE_MemBitmap.h"

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

class RecordingPlug : public IPlugBase
{
public:
    RecordingPlug();
    void BeginParameterEdit(int paramIndex) override;
    void SetParameterFromEditor(int paramIndex, double normalizedValue) override;
    void EndParameterEdit(int paramIndex) override;

    std::vector<std::string> events;  // "begin 0", "set 0 0.750", "end 0"
};

class WinEditorHarness
{
public:
    static constexpr int kFrames = 99;
    static constexpr int kKnobSize = 40;
    static const Rect kKnobA;  // parameter 0 (0..100), prompts on
    static const Rect kKnobB;  // parameter 1 (0..1)

    // With tooltips the editor also makes its tooltip window.
    explicit WinEditorHarness(bool tooltips = false);
    ~WinEditorHarness();

    RecordingPlug plug;
    IGraphicsWin* editor = nullptr;  // owned by the plug-in
    IKnobMultiControl* knobA = nullptr;
    HWND host = nullptr;

    HWND EditorWnd() const { return editor->Window(); }
    // Posts a message to the editor window (client coordinates for mouse messages).
    void Post(UINT msg, WPARAM wParam, int x, int y) const;
    // Handles every message posted so far (and whatever they cause).
    bool Flush();
    // Pumps messages until `done` holds; false after the time limit.
    static bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);
    // Pumps until a frame has been painted and nothing is left to paint.
    bool Settle();
    // The window's pixels (RGB) of the rectangle equal the strip's frame (0-based) there.
    bool WindowShowsFrame(const Rect& rect, int frame) const;
    // The keys the host window received.
    static std::vector<WPARAM>& HostKeys();

private:
    LICE_MemBitmap mStrip;
};

// The 0-based frame a 99-frame knob shows for a value.
int KnobFrameFor(double value);
