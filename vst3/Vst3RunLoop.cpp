#include "vst3/Vst3RunLoop.h"

#if !SMTG_OS_LINUX

std::unique_ptr<EditorRunLoop> HostRunLoopOf(Steinberg::IPlugFrame* /*frame*/) { return nullptr; }

#else

#include <atomic>

using namespace Steinberg;
using namespace Steinberg::Linux;

// One object for both registrations, counted by its references: the host may keep it a
// little longer than we do.
class Vst3RunLoop::Handler final : public IEventHandler, public ITimerHandler
{
public:
    explicit Handler(EditorRunLoopClient* client) : mClient(client) {}

    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override
    {
        QUERY_INTERFACE(iid, obj, FUnknown::iid, IEventHandler)
        QUERY_INTERFACE(iid, obj, IEventHandler::iid, IEventHandler)
        QUERY_INTERFACE(iid, obj, ITimerHandler::iid, ITimerHandler)
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return ++mReferences; }
    uint32 PLUGIN_API release() override
    {
        const uint32 left = --mReferences;
        if (left == 0)
            delete this;
        return left;
    }

    // [host UI thread]
    void PLUGIN_API onFDIsSet(FileDescriptor /*fd*/) override
    {
        if (mClient)
            mClient->OnEventsReady();
    }
    // [host UI thread]
    void PLUGIN_API onTimer() override
    {
        if (mClient)
            mClient->OnTimer();
    }

    void Forget() { mClient = nullptr; }

private:
    ~Handler() = default;

    EditorRunLoopClient* mClient;
    std::atomic<uint32> mReferences{1};
};

std::unique_ptr<Vst3RunLoop> Vst3RunLoop::FromFrame(IPlugFrame* frame)
{
    if (!frame)
        return nullptr;
    IRunLoop* loop = nullptr;
    if (frame->queryInterface(IRunLoop::iid, reinterpret_cast<void**>(&loop)) != kResultOk || !loop)
        return nullptr;
    return std::make_unique<Vst3RunLoop>(loop);
}

std::unique_ptr<EditorRunLoop> HostRunLoopOf(IPlugFrame* frame) { return Vst3RunLoop::FromFrame(frame); }

Vst3RunLoop::Vst3RunLoop(IRunLoop* loop) : mLoop(loop) {}

Vst3RunLoop::~Vst3RunLoop()
{
    Unwatch();
    mLoop->release();
}

bool Vst3RunLoop::Watch(EditorRunLoopClient* client, int fd, int periodMs)
{
    if (!client || mHandler || fd < 0 || periodMs <= 0)
        return false;
    mHandler = new Handler(client);
    mEventRegistered = mLoop->registerEventHandler(mHandler, fd) == kResultTrue;
    mTimerRegistered = mEventRegistered &&
                       mLoop->registerTimer(mHandler, static_cast<TimerInterval>(periodMs)) == kResultTrue;
    if (!mTimerRegistered)
    {
        Unwatch();
        return false;
    }
    return true;
}

void Vst3RunLoop::Unwatch()
{
    if (!mHandler)
        return;
    if (mTimerRegistered)
        mLoop->unregisterTimer(mHandler);
    if (mEventRegistered)
        mLoop->unregisterEventHandler(mHandler);
    mTimerRegistered = false;
    mEventRegistered = false;
    mHandler->Forget();
    mHandler->release();
    mHandler = nullptr;
}

#endif
