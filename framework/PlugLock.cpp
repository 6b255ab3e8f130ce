#include "framework/PlugLock.h"

#ifdef _WIN32
#include <windows.h>

struct PlugLock::Impl
{
    Impl() { InitializeCriticalSection(&section); }
    ~Impl() { DeleteCriticalSection(&section); }
    CRITICAL_SECTION section;
};

PlugLock::PlugLock() : mImpl(new Impl) {}
PlugLock::~PlugLock() = default;
void PlugLock::lock() { EnterCriticalSection(&mImpl->section); }
void PlugLock::unlock() { LeaveCriticalSection(&mImpl->section); }
bool PlugLock::try_lock() { return TryEnterCriticalSection(&mImpl->section) != 0; }

#else
#include <mutex>

struct PlugLock::Impl
{
    std::recursive_mutex mutex;
};

PlugLock::PlugLock() : mImpl(new Impl) {}
PlugLock::~PlugLock() = default;
void PlugLock::lock() { mImpl->mutex.lock(); }
void PlugLock::unlock() { mImpl->mutex.unlock(); }
bool PlugLock::try_lock() { return mImpl->mutex.try_lock(); }
#endif
