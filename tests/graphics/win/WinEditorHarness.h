#pragma once
// A real editor window for tests under Wine: a top-level "host" window holding the editor's
// child window, with the recording plug-in and the layout every window layer's tests share.
//
// Input is posted to the editor window exactly as the system would deliver it; the test
// thread is the window thread and pumps messages until a condition holds (never a fixed
// sleep), with a generous time limit.

#include "graphics/win/IGraphicsWin.h"
#include "tests/graphics/window/EditorWindowFixture.h"

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

class WinEditorHarness : public EditorWindowLayout
{
public:
    // With tooltips the editor also makes its tooltip window; at a scale other than 1 the
    // host has given it that content scale (mouse positions are then window pixels).
    explicit WinEditorHarness(bool tooltips = false, double scale = 1.0);
    ~WinEditorHarness();

    RecordingPlug plug;
    IGraphicsWin* editor = nullptr; // owned by the plug-in
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
    // The window's pixels equal the back buffer's everywhere.
    bool WindowEqualsBackBuffer() const;
    // The keys the host window received.
    static std::vector<WPARAM>& HostKeys();
};
