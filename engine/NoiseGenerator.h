#pragma once
// The module-wide white-noise source. One 32-bit linear congruential state is shared by
// every engine in the loaded module; it starts at 2 when the module loads and is never
// reset by an engine.
//
// Thread safety: engines of different instances may render on different threads at the
// same time. The state is a std::atomic<uint32_t> read and written with relaxed order,
// so concurrent updates are never a data race (at worst two engines draw the same values
// or some steps are lost, which only changes which noise they hear). The sample loop
// loads it once per run of samples and stores it once at the end (fill()). An engine
// rendering alone sees exactly the sequence x -> x * 1664525 + 1013904223 (mod 2^32).

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
        const uint32_t next = advance(state_.load(std::memory_order_relaxed));
        state_.store(next, std::memory_order_relaxed);
        return valueOf(next);
    }

    // [audio thread of any engine, lock-free] The next count noise values, as count calls
    // of nextSample() would give them. The shared state is loaded once before and stored
    // once after the run instead of at every sample: for an engine rendering alone the
    // sequence is the same, and two engines rendering at once still never race (both
    // accesses are atomic); they may then draw overlapping values, which per-sample
    // updates allow as well.
    static void fill(double* values, int32_t count)
    {
        uint32_t state = state_.load(std::memory_order_relaxed);
        for (int32_t i = 0; i < count; ++i)
        {
            state = advance(state);
            values[i] = valueOf(state);
        }
        state_.store(state, std::memory_order_relaxed);
    }

    // [audio thread of any engine, lock-free] Advances the shared state by count steps at
    // once, for stretches in which the noise values cannot reach the output; the state
    // ends exactly where count calls of nextSample() would leave it.
    static void skip(int32_t count)
    {
        uint32_t stepMultiplier = 1664525u;
        uint32_t stepIncrement = 1013904223u;
        uint32_t multiplier = 1u;
        uint32_t increment = 0u;
        for (uint32_t remaining = count > 0 ? static_cast<uint32_t>(count) : 0u; remaining != 0u;
             remaining >>= 1)
        {
            if (remaining & 1u)
            {
                multiplier *= stepMultiplier;
                increment = increment * stepMultiplier + stepIncrement;
            }
            stepIncrement *= stepMultiplier + 1u;
            stepMultiplier *= stepMultiplier;
        }
        state_.store(state_.load(std::memory_order_relaxed) * multiplier + increment,
                     std::memory_order_relaxed);
    }

    // [any thread] For tests and measurements that need a known starting point.
    static uint32_t currentState() { return state_.load(std::memory_order_relaxed); }
    static void setState(uint32_t state) { state_.store(state, std::memory_order_relaxed); }

private:
    static uint32_t advance(uint32_t state) { return state * 1664525u + 1013904223u; }

    // The mantissa bits as a single-precision number in [1, 2), mapped to [-1, 1).
    static double valueOf(uint32_t state)
    {
        const uint32_t bits = (state & 0x007FFFFFu) | 0x3F800000u;
        float oneToTwo = 0.0f;
        std::memcpy(&oneToTwo, &bits, sizeof oneToTwo);
        const float noise = oneToTwo * 2.0f - 3.0f;
        return static_cast<double>(noise);
    }

    static std::atomic<uint32_t> state_;
};
