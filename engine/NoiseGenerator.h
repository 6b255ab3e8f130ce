#pragma once
// The module-wide white-noise source. One 32-bit linear congruential state is shared by
// every engine in the loaded module; it starts at 2 when the module loads and is never
// reset by an engine.
//
// Thread safety: engines of different instances may render on different threads at the
// same time. The state is a std::atomic<uint32_t> read and written with relaxed order,
// so concurrent updates are never a data race (at worst two engines draw the same value
// or one step is lost, which only changes which noise they hear). An engine rendering
// alone sees exactly the sequence x -> x * 1664525 + 1013904223 (mod 2^32).

#include <atomic>
#include <cstdint>
#include <cstring>

class NoiseGenerator
{
public:
    // [audio thread of any engine, lock-free] Advances the shared state once and
    // returns the next noise value, in [-1, 1), computed in single precision.
    static double nextSample()
    {
        const uint32_t next = state_.load(std::memory_order_relaxed) * 1664525u + 1013904223u;
        state_.store(next, std::memory_order_relaxed);
        const uint32_t bits = (next & 0x007FFFFFu) | 0x3F800000u;
        float oneToTwo = 0.0f;
        std::memcpy(&oneToTwo, &bits, sizeof oneToTwo);
        const float noise = oneToTwo * 2.0f - 3.0f;
        return static_cast<double>(noise);
    }

    // [any thread] For tests and measurements that need a known starting point.
    static uint32_t currentState() { return state_.load(std::memory_order_relaxed); }
    static void setState(uint32_t state) { state_.store(state, std::memory_order_relaxed); }

private:
    static std::atomic<uint32_t> state_;
};
