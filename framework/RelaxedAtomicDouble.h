#pragma once
// A double that one thread may write while another reads it, with no lock: each access is a
// whole value (relaxed atomic), and nothing else is ordered by it. Copying copies the value,
// so records holding one stay copyable.

#include <atomic>

class RelaxedAtomicDouble
{
public:
    RelaxedAtomicDouble(double value = 0.0) : mValue(value) {}
    RelaxedAtomicDouble(const RelaxedAtomicDouble& other) : mValue(other.Load()) {}
    RelaxedAtomicDouble& operator=(const RelaxedAtomicDouble& other)
    {
        Store(other.Load());
        return *this;
    }

    double Load() const { return mValue.load(std::memory_order_relaxed); }
    void Store(double value) { mValue.store(value, std::memory_order_relaxed); }

private:
    std::atomic<double> mValue;
};
