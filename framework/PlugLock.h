#pragma once
// The one recursive lock of a plug-in instance. It serialises processing, parameter changes,
// state loading and preset actions between the audio thread and the window thread. The same
// thread may take it again: loading a state calls OnParameterChange, which locks once more.
// On Windows it is a critical section, elsewhere a std::recursive_mutex.
//
// The lower-case names make it usable with std::lock_guard and std::unique_lock as well.

#include <memory>

class PlugLock
{
public:
    PlugLock();
    ~PlugLock();
    PlugLock(const PlugLock&) = delete;
    PlugLock& operator=(const PlugLock&) = delete;

    void lock();
    void unlock();
    bool try_lock();

private:
    struct Impl;
    std::unique_ptr<Impl> mImpl;
};

// Holds the lock for the lifetime of the guard.
class PlugLockGuard
{
public:
    explicit PlugLockGuard(PlugLock& lock) : mLock(lock) { mLock.lock(); }
    ~PlugLockGuard() { mLock.unlock(); }
    PlugLockGuard(const PlugLockGuard&) = delete;
    PlugLockGuard& operator=(const PlugLockGuard&) = delete;

private:
    PlugLock& mLock;
};
