#pragma once
// A Linux VST3 host's run loop (Steinberg::Linux::IRunLoop, found through the view's
// IPlugFrame) as the editor's window layer sees it: an EditorRunLoop. Watch registers one
// handler object with the host, as event handler on the descriptor and as timer; Unwatch
// unregisters both. The host holds references to the handler while registered; the handler
// forgets its client on Unwatch, so a host that calls it late reaches nothing.
// [host UI thread]

#include "framework/EditorRunLoop.h"

#include "pluginterfaces/gui/iplugview.h"

#include <memory>

// The host's run loop behind the view's frame as an EditorRunLoop; none when the frame offers
// none, and on systems whose editors need none (Windows). [host UI thread]
std::unique_ptr<EditorRunLoop> HostRunLoopOf(Steinberg::IPlugFrame* frame);

#if SMTG_OS_LINUX

class Vst3RunLoop : public EditorRunLoop
{
public:
    // The run loop behind the frame, or none when the host offers none.
    static std::unique_ptr<Vst3RunLoop> FromFrame(Steinberg::IPlugFrame* frame);

    // Takes over one reference to the loop.
    explicit Vst3RunLoop(Steinberg::Linux::IRunLoop* loop);
    ~Vst3RunLoop() override;
    Vst3RunLoop(const Vst3RunLoop&) = delete;
    Vst3RunLoop& operator=(const Vst3RunLoop&) = delete;

    bool Watch(EditorRunLoopClient* client, int fd, int periodMs) override;
    void Unwatch() override;

private:
    class Handler;

    Steinberg::Linux::IRunLoop* mLoop;
    Handler* mHandler = nullptr; // our reference while watching
    bool mEventRegistered = false;
    bool mTimerRegistered = false;
};

#endif
