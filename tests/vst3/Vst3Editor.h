#pragma once
// The editor of an instance created from the module on disk, opened as a Windows host
// opens it (Linux hosts: see the X11 editor test): createView("editor"), the host frame, attached to a window of the host's own;
// and what a test compares it with: the rectangles of the layout and frames of the knob
// strip as drawn into that window.

#include "tests/vst3/Vst3Instance.h"
#include "tests/vst3/host/HostWindow.h"
#include "tests/vst3/host/RecordingPlugFrame.h"

#include "instrument/KestrumLayout.h"
#include "tests/support/LayoutRows.h"
#include "pluginterfaces/gui/iplugview.h"

#include <memory>
#include <string>

// Generous: the editor paints within one 40 ms tick, but CI shares two loaded cores.
constexpr int kPaintTimeoutMs = 10000;

#ifdef _WIN32
// Where the host windows go: right of the window-layer tests' own host windows, which may run
// at the same time on the same X display. Pixels are read from each window's own surface, so
// windows that overlap each other do not disturb what a test reads.
constexpr int kHostWindowX = 524;
constexpr int kHostWindowY = 0;

class Vst3Editor
{
public:
    // Opens the editor of `instance` in a host window at (x, y); with attach false, only makes
    // the window and the view (Attach opens the editor then).
    Vst3Editor(Vst3Instance& instance, int x = kHostWindowX, int y = kHostWindowY, bool attach = true);
    // Removes and releases the view (unless the test did already).
    ~Vst3Editor();

    bool Open() const { return Window() != nullptr; }
    HWND Window() const { return host.Child(); }
    Steinberg::tresult Attach();
    Steinberg::tresult Remove();
    // Releases the view now (a host dropping it); idempotent.
    void Release();

    HostWindow host;
    RecordingPlugFrame frame;
    Steinberg::IPlugView* view = nullptr;
};

// One knob strip decoded from the source tree, compared with a knob's rectangle on screen:
// every pixel the frame paints fully opaque must show exactly; the translucent rim blends
// with the panel below and is not compared.
class KnobStrip
{
public:
    explicit KnobStrip(int imageId);
    ~KnobStrip();
    bool Loaded() const;
    // The frame (from 1) a knob shows for a normalised value.
    int FrameFor(double value) const;
    // Opaque frame pixels that differ on screen; -1 when nothing could be compared.
    int Mismatches(const PixelBlock& shown, int frame) const;
    // Shown pixels of the knob bound to the parameter in an open editor window.
    static PixelBlock Shown(HWND window, int paramIndex);

private:
    struct Pixels;
    std::unique_ptr<Pixels> pixels;
    int frames = 0;
};

// The knob bound to `paramIndex` shows `frame` (pumping messages until it does).
bool WaitForKnobFrame(HWND window, const KnobStrip& strip, int paramIndex, int frame);

// Writes the editor window's pixels as a PNG file.
bool SaveEditorPicture(HWND window, const std::string& path);

#endif
