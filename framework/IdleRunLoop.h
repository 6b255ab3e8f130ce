#pragma once
// A run loop for hosts that offer none but call the plug-in now and then on their UI thread
// (a VST2 host's editor idle): each Idle handles waiting events and, once a period has
// passed since the last tick, ticks. Ticks are never caught up: a host that idles late gets
// one tick, not a burst. Tests drive window layers through it as well.
// [host UI thread]

#include "framework/EditorRunLoop.h"

class IdleRunLoop : public EditorRunLoop
{
public:
    bool Watch(EditorRunLoopClient* client, int fd, int periodMs) override;
    void Unwatch() override;

    // Events, then a tick when one is due. Nothing happens while nothing is watched.
    void Idle();

    bool Watching() const { return mClient != nullptr; }
    // The descriptor being watched, or -1.
    int Fd() const { return mFd; }

private:
    EditorRunLoopClient* mClient = nullptr;
    int mFd = -1;
    int mPeriodMs = 0;
    long long mLastTickMs = 0;
};
