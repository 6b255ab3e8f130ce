#pragma once
// Transistor-style waveshaper with a DC blocker. The curve is evaluated at the previous
// sample and half-way to the current one and the results averaged: two-times
// oversampling with the decimation folded in. It runs every sample even when bypassed,
// so switching it in never starts from stale memories.

#include "engine/NumberGuards.h"

#include <cmath>
#include <cstdint>

struct TransistorShaper
{
    // The DC blocker's pole: z = d - d_prev + kBlockerPole z.
    static constexpr double kBlockerPole = 0.9997;

    // Block-rate: drive constants from the load knob (0 to 1); load 0 bypasses.
    void prepare(double load);

    // One sample of the mix; returns the stage output (the mix itself when bypassed).
    double step(double mix)
    {
        const double midpoint = (mix + previousMix) * 0.5;
        const double a = curve(previousMix);
        const double b = curve(midpoint);
        const double decimated = ((a + previousA) * 0.5 + previousB) * 0.5;
        const double blocked = decimated - previousDecimated + kBlockerPole * previousBlocked;
        const double output = enabled ? numberguard::denormalGuard(blocked) : mix;
        previousMix = numberguard::denormalGuard(mix);
        previousA = numberguard::denormalGuard(a);
        previousB = numberguard::denormalGuard(b);
        previousDecimated = decimated;
        previousBlocked = blocked;
        return output;
    }

    // A run of samples: outputs[i] = step(mixes[i]), memories in a local copy for the run.
    void processBlock(const double* mixes, double* outputs, int32_t count)
    {
        TransistorShaper work = *this;
        for (int32_t i = 0; i < count; ++i)
            outputs[i] = work.step(mixes[i]);
        *this = work;
    }

    double curve(double x) const
    {
        if (normaliser == 0.0)
            return 0.0;
        // Gain, drive and normaliser are positive and finite, so a zero input gives that
        // same zero (sign included) without evaluating tanh.
        if (x == 0.0)
            return x;
        return numberguard::clampValue(gain * std::tanh(x * driveK2 * driveK1) / normaliser, -1.0, 1.0);
    }

    // True when a zero mix leaves A, B and the decimated value at +0, so that only the DC
    // blocker's own memory still moves (it decays by kBlockerPole per sample and, being stored
    // unguarded, may settle on a tiny denormal that it keeps for good).
    bool inputSideAtRest() const
    {
        using numberguard::isPositiveZero;
        return isPositiveZero(previousMix) && isPositiveZero(previousA) && isPositiveZero(previousB) &&
               previousDecimated == 0.0;
    }

    // One sample while inputSideAtRest() holds and the mix is a zero: the same result, to the
    // bit, as step() would give, with only the DC blocker computed.
    double stepAtRest()
    {
        const double blocked = (0.0 - previousDecimated) + kBlockerPole * previousBlocked;
        previousDecimated = 0.0;
        previousBlocked = blocked;
        return enabled ? numberguard::denormalGuard(blocked) : 0.0;
    }

    // Memories.
    double previousMix = 0.0;
    double previousA = 0.0;
    double previousB = 0.0;
    double previousDecimated = 0.0; // DC blocker input, stored unguarded
    double previousBlocked = 0.0;   // DC blocker output, stored unguarded

    // Block-rate settings.
    bool enabled = false;
    double driveK1 = 0.0;
    double driveK2 = 0.0;
    double normaliser = 0.0;
    double gain = 0.0;
};
