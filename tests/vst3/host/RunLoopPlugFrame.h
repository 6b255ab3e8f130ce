#pragma once
// A Linux host's frame around a plug-in view, with the host's run loop behind it: the view
// finds Steinberg::Linux::IRunLoop through the frame's queryInterface, as in real Linux
// hosts, and registers a handler for its event descriptor and a timer. The test is the
// host's UI thread: RunFor and RunUntil call the handlers as their descriptors become
// readable and their timers fall due. With `offerRunLoop` false the frame is one of a host
// without a run loop.

#ifndef _WIN32

#include "pluginterfaces/gui/iplugview.h"

#include <atomic>
#include <functional>
#include <vector>

class RunLoopPlugFrame : public Steinberg::IPlugFrame, public Steinberg::Linux::IRunLoop
{
public:
    explicit RunLoopPlugFrame(bool offerRunLoop = true) : offerRunLoop(offerRunLoop) {}
    ~RunLoopPlugFrame();

    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
    Steinberg::uint32 PLUGIN_API addRef() override { return ++references; }
    Steinberg::uint32 PLUGIN_API release() override { return --references; }

    // IPlugFrame: grants every resize at once.
    Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view,
                                             Steinberg::ViewRect* newSize) override;

    // IRunLoop
    Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                       Steinberg::Linux::FileDescriptor fd) override;
    Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
    Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                                Steinberg::Linux::TimerInterval milliseconds) override;
    Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;

    // Runs the loop for about `milliseconds`.
    void RunFor(int milliseconds);
    // Runs the loop until the condition holds (checked after every wake-up); false on time-out.
    bool RunUntil(const std::function<bool()>& condition, int timeoutMs);

    size_t EventHandlers() const { return handlers.size(); }
    size_t Timers() const { return timers.size(); }
    // The period the first timer asked for (0 without one).
    Steinberg::Linux::TimerInterval TimerPeriod() const
    {
        return timers.empty() ? 0 : timers.front().periodMs;
    }
    // References the plug-in holds on the frame.
    Steinberg::uint32 ReferencesHeld() const { return references; }

private:
    struct Handler
    {
        Steinberg::Linux::IEventHandler* handler;
        int fd;
    };
    struct Timer
    {
        Steinberg::Linux::ITimerHandler* handler;
        Steinberg::Linux::TimerInterval periodMs;
        long long dueMs;
    };
    // One wait of at most `maxWaitMs` and the calls it makes due.
    void RunOnce(int maxWaitMs);

    bool offerRunLoop;
    std::atomic<Steinberg::uint32> references{0};
    std::vector<Handler> handlers;
    std::vector<Timer> timers;
};

#endif
