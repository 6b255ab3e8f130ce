#pragma once
// A real X11 editor window for tests under Xvfb: a top-level "host" window on the test's own
// connection holds the editor's child window, with the recording plug-in and the shared
// layout. Input is real: XTest moves the pointer and presses buttons and keys through the
// server, exactly as a user's would arrive. The test thread is the window thread; it waits
// for the editor's own state (server round trips, then handling what arrived), never for a
// fixed time.

#include "framework/IdleRunLoop.h"
#include "graphics/x11/IGraphicsX11.h"
#include "tests/graphics/window/EditorWindowFixture.h"

#include <functional>

#include <X11/Xlib.h>

class X11EditorHarness : public EditorWindowLayout
{
public:
    // The host window's top on the screen: room above it for drags beyond the editor.
    static constexpr int kHostTop = 260;

    // The editor at the host's content scale; input positions are then the window's pixels.
    explicit X11EditorHarness(double scale = 1.0);
    ~X11EditorHarness();

    // Whether an X server could be reached (the tests skip without one).
    bool HasDisplay() const { return display != nullptr; }

    // The host's run loop; declared first, so it outlives the editor's window.
    IdleRunLoop loop;
    RecordingPlug plug;
    IGraphicsX11* editor = nullptr; // owned by the plug-in
    IKnobMultiControl* knobA = nullptr;
    Display* display = nullptr; // the host's connection, which also sends the input
    Window host = 0;

    // Real input at editor coordinates (the pointer moves there first).
    void MoveTo(int x, int y);
    void Button(unsigned button, bool down);
    void Key(const char* keysymName, bool down);
    void Tap(const char* keysymName);
    // Every request so far has reached the server, and the editor has handled what it caused.
    void Flush();
    // Runs the host's loop (events, and ticks as they fall due) until `done` holds; false
    // after the time limit.
    bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 10000);
    // Until a frame has been painted and nothing is left to paint.
    bool Settle();
    // The window's pixels (read back from the server) of the rectangle equal the strip's frame.
    bool WindowShowsFrame(const Rect& rect, int frame) const;
    // The window's pixels equal the back buffer's everywhere.
    bool WindowEqualsBackBuffer() const;
    // The number of key presses the host window received.
    int HostKeyPresses();

private:
    int mHostKeyPresses = 0;
};
