#include "framework/IdleRunLoop.h"

#include <chrono>

namespace
{
long long NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

bool IdleRunLoop::Watch(EditorRunLoopClient* client, int fd, int periodMs)
{
    if (!client || mClient || periodMs <= 0)
        return false;
    mClient = client;
    mFd = fd;
    mPeriodMs = periodMs;
    mLastTickMs = NowMs();
    return true;
}

void IdleRunLoop::Unwatch()
{
    mClient = nullptr;
    mFd = -1;
}

void IdleRunLoop::Idle()
{
    if (!mClient)
        return;
    // The client may unwatch from inside either call (its window closed).
    mClient->OnEventsReady();
    const long long now = NowMs();
    if (mClient && now - mLastTickMs >= mPeriodMs)
    {
        mLastTickMs = now;
        mClient->OnTimer();
    }
}
