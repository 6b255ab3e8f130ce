#pragma once
// Number guards and small arithmetic helpers shared by the voice units.
// They keep every memory of the voice finite and free of denormal numbers, so a
// stray value can neither poison the sound for good nor slow the audio thread down.

#include <cmath>
#include <cstdint>
#include <cstring>

namespace numberguard
{

inline uint32_t exponentField(double x)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return static_cast<uint32_t>((bits >> 52) & 0x7FFu);
}

// Magnitudes of 2^1023 and above, infinities and not-a-number become 0.
inline double nanGuard(double x) { return exponentField(x) >= 0x7FEu ? 0.0 : x; }

// Magnitudes below 2^-1021 (denormals, tiny normals and both zeros) become +0.
inline double denormalGuard(double x) { return exponentField(x) <= 1u ? 0.0 : x; }

inline double safeReciprocal(double x) { return x == 0.0 ? 0.0 : 1.0 / x; }

// The C library's pow, always called at run time. Given a constant exponent of 2 the
// compiler would square instead, and x * x is not always what the library's pow returns
// (glibc's differs in the last bit for about one value in a thousand); the exponent is
// passed through a volatile so that every power is the library's.
inline double guardedPower(double base, double exponent)
{
    volatile double opaqueExponent = exponent;
    return nanGuard(std::pow(base, opaqueExponent));
}

// Below the lower bound gives the lower bound, otherwise above the upper bound gives
// the upper bound; not-a-number passes through unchanged.
inline double clampValue(double x, double lowest, double highest)
{
    if (x < lowest)
        return lowest;
    if (x > highest)
        return highest;
    return x;
}

// Brings a phase outside [0, 1) back by whole cycles.
inline double wrapPhase(double phase)
{
    if (phase >= 0.0 && phase < 1.0)
        return phase;
    return phase - (std::trunc(phase) - (phase < 0.0 ? 1.0 : 0.0));
}

// trunc for |x| below 2^63: the conversion to a 64-bit integer truncates toward zero, and
// copysign gives back the sign a zero result must keep (trunc(-0.5) is -0). Baseline
// x86-64 has no rounding instruction, so this saves the library's range handling.
inline double truncateSmall(double x)
{
    return std::copysign(static_cast<double>(static_cast<int64_t>(x)), x);
}

// 16-bit quantisation with truncation toward zero, as a fixed-point converter would do it.
// The clamp to [-1, 1] applies again after the truncation; a value already in [-1, 1]
// only moves toward zero there and a not-a-number passes both clamps, so only the first
// clamp can ever change anything.
inline double quantise16(double x)
{
    const double q = clampValue(x, -1.0, 1.0);
    if (q != q)
        return q;
    return truncateSmall(q * 32768.0) / 32768.0;
}

// Converts a rate-derived count to int32, saturating instead of overflowing.
inline int32_t truncateToInt32(double x)
{
    if (!(x > -2147483648.0))
        return x != x ? 0 : INT32_MIN;
    if (x >= 2147483647.0)
        return INT32_MAX;
    return static_cast<int32_t>(x);
}

inline bool isPositiveZero(double x)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return bits == 0u;
}

inline bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

} // namespace numberguard
