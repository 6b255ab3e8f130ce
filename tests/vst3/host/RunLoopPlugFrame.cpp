#include "tests/vst3/host/RunLoopPlugFrame.h"

#ifndef _WIN32

#include <poll.h>

#include <algorithm>
#include <chrono>

using namespace Steinberg;
using namespace Steinberg::Linux;

namespace
{

long long NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

RunLoopPlugFrame::~RunLoopPlugFrame()
{
    // A plug-in that forgot to unregister leaves its references here; give them back so the
    // leak shows as a count in the test, not as a crash.
    for (const Handler& entry : handlers)
        entry.handler->release();
    for (const Timer& entry : timers)
        entry.handler->release();
}

tresult PLUGIN_API RunLoopPlugFrame::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, FUnknown::iid, IPlugFrame)
    QUERY_INTERFACE(iid, obj, IPlugFrame::iid, IPlugFrame)
    if (offerRunLoop)
    {
        QUERY_INTERFACE(iid, obj, IRunLoop::iid, IRunLoop)
    }
    *obj = nullptr;
    return kNoInterface;
}

tresult PLUGIN_API RunLoopPlugFrame::resizeView(IPlugView* view, ViewRect* newSize)
{
    if (view == nullptr || newSize == nullptr)
        return kInvalidArgument;
    return view->onSize(newSize);
}

tresult PLUGIN_API RunLoopPlugFrame::registerEventHandler(IEventHandler* handler, FileDescriptor fd)
{
    if (handler == nullptr || fd < 0)
        return kInvalidArgument;
    handler->addRef();
    handlers.push_back({handler, fd});
    return kResultTrue;
}

tresult PLUGIN_API RunLoopPlugFrame::unregisterEventHandler(IEventHandler* handler)
{
    const auto found = std::find_if(handlers.begin(), handlers.end(),
                                    [&](const Handler& h) { return h.handler == handler; });
    if (found == handlers.end())
        return kInvalidArgument;
    handlers.erase(found);
    handler->release();
    return kResultTrue;
}

tresult PLUGIN_API RunLoopPlugFrame::registerTimer(ITimerHandler* handler, TimerInterval milliseconds)
{
    if (handler == nullptr || milliseconds == 0)
        return kInvalidArgument;
    handler->addRef();
    timers.push_back({handler, milliseconds, NowMs() + static_cast<long long>(milliseconds)});
    return kResultTrue;
}

tresult PLUGIN_API RunLoopPlugFrame::unregisterTimer(ITimerHandler* handler)
{
    const auto found =
        std::find_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.handler == handler; });
    if (found == timers.end())
        return kInvalidArgument;
    timers.erase(found);
    handler->release();
    return kResultTrue;
}

void RunLoopPlugFrame::RunOnce(int maxWaitMs)
{
    long long wait = maxWaitMs;
    for (const Timer& timer : timers)
        wait = std::min(wait, std::max(0LL, timer.dueMs - NowMs()));
    std::vector<pollfd> watched;
    for (const Handler& entry : handlers)
        watched.push_back({entry.fd, POLLIN, 0});
    poll(watched.data(), watched.size(), static_cast<int>(wait));
    // Handlers may unregister themselves (or others) from inside a call: act on a snapshot
    // and skip whatever has gone meanwhile.
    const std::vector<Handler> ready = handlers;
    for (size_t i = 0; i < watched.size(); ++i)
    {
        if ((watched[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0)
            continue;
        const bool stillThere = std::any_of(handlers.begin(), handlers.end(),
                                            [&](const Handler& h) { return h.handler == ready[i].handler; });
        if (stillThere)
            ready[i].handler->onFDIsSet(ready[i].fd);
    }
    const long long now = NowMs();
    std::vector<ITimerHandler*> due;
    for (Timer& timer : timers)
        if (timer.dueMs <= now)
        {
            timer.dueMs = now + static_cast<long long>(timer.periodMs);
            due.push_back(timer.handler);
        }
    for (ITimerHandler* handler : due)
        if (std::any_of(timers.begin(), timers.end(), [&](const Timer& t) { return t.handler == handler; }))
            handler->onTimer();
}

void RunLoopPlugFrame::RunFor(int milliseconds)
{
    const long long end = NowMs() + milliseconds;
    while (NowMs() < end)
        RunOnce(static_cast<int>(end - NowMs()));
}

bool RunLoopPlugFrame::RunUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const long long end = NowMs() + timeoutMs;
    while (!condition())
    {
        if (NowMs() >= end)
            return false;
        RunOnce(std::min<long long>(10, end - NowMs()));
    }
    return true;
}

#endif
