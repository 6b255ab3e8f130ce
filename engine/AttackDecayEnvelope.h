#pragma once
// One attack/decay envelope of the voice with its gate conditioning and its slide:
// a rising gate plays attack then decay to 0 (nothing is sustained), a falling gate
// releases from the current level, and a retrigger token change blanks the gate for a
// millisecond so that a held note restarts from a release.

#include "engine/NumberGuards.h"

#include <cstdint>

struct AttackDecayEnvelope
{
    enum Stage : int32_t
    {
        kIdle = 0,
        kAttack = 1,
        kDecay = 2,
        kEnded = 3,
        kRelease = 4
    };

    // Block-rate settings.
    void prepare(double attackSeconds, double decaySeconds, double sampleRate, int32_t blankSamples,
                 double fallingCoefficient);

    // One sample: gate conditioning, envelope step, slide and floor. Returns the level
    // the oscillator and the noise use (0 below 1e-8).
    double process(double noteGate, double noteRetrig)
    {
        return slideAndFloor(step(conditionGate(noteGate, noteRetrig)));
    }

    // A run of samples: process() for each, into levels. Gate and retrigger values only
    // change between blocks. The memories live in a local copy for the run, so that the
    // compiler can keep them in registers (stores into levels cannot touch a local).
    void processBlock(double noteGate, double noteRetrig, double* levels, int32_t count)
    {
        AttackDecayEnvelope work = *this;
        for (int32_t i = 0; i < count; ++i)
            levels[i] = work.process(noteGate, noteRetrig);
        *this = work;
    }

    double conditionGate(double noteGate, double noteRetrig);
    double step(double gate);
    double slideAndFloor(double level);

    // True when process() with these gate and retrigger values would return +0 and
    // leave every memory bit for bit as it is, for any number of samples.
    bool isResting(double noteGate, double noteRetrig) const;

    // Memories.
    double countdownSamples = 0.0;
    double previousRetrig = 0.0;
    double previousGate = 0.0;
    int32_t stage = kIdle;
    double phase = 0.0;
    double output = 0.0;
    double heldLevel = 0.0;
    double slide = 0.0;

    // Block-rate settings.
    double decaySeconds = 0.0;
    double sampleRate = 0.0;
    double attackIncrement = 0.0;
    double decayIncrement = 0.0;
    double fallingCoefficient = 0.0;
    int32_t blankSamples = 0;

    // The release increment for the current held level, inc(heldLevel x decaySeconds). The
    // length only changes with the held level (at a falling gate) and with the block-rate
    // settings, so the division is only done then.
    double releaseIncrement = 0.0;

private:
    // The envelope's curve; a negative base has no real power 2.001, and the
    // not-a-number guard would turn it into 0 anyway, so pow (and its domain error) is
    // skipped there.
    static double envelopeCurve(double base)
    {
        return base < 0.0 ? 0.0 : numberguard::guardedPower(base, 2.001);
    }

    void updateReleaseIncrement()
    {
        const double releaseSeconds = heldLevel * decaySeconds;
        releaseIncrement = numberguard::safeReciprocal(releaseSeconds * sampleRate);
    }

    void attackStep();
    void decayStep();
    void releaseStep();
};

inline double AttackDecayEnvelope::conditionGate(double noteGate, double noteRetrig)
{
    if (noteRetrig != previousRetrig)
        countdownSamples = blankSamples;
    previousRetrig = noteRetrig;
    if (countdownSamples > 0.0)
    {
        countdownSamples -= 1.0;
        return 0.0;
    }
    return noteGate;
}

inline double AttackDecayEnvelope::step(double gate)
{
    const bool rise = gate - previousGate == 1.0;
    const bool fall = gate - previousGate == -1.0;
    previousGate = gate;
    if (rise)
    {
        stage = kAttack;
        phase = 0.0;
    }
    else if (fall)
    {
        stage = kRelease;
        phase = 0.0;
        heldLevel = output;
        // The release length belongs to the level held before this sample's changes:
        // the step still uses the old increment, later samples the new one.
        releaseStep();
        updateReleaseIncrement();
        return output;
    }
    switch (stage)
    {
        case kAttack: attackStep(); break;
        case kDecay: decayStep(); break;
        case kEnded:
            phase = 0.0;
            output = 0.0;
            break;
        case kRelease: releaseStep(); break;
        default: break;
    }
    return output;
}

inline void AttackDecayEnvelope::attackStep()
{
    phase += attackIncrement;
    output = envelopeCurve(phase);
    if (phase > 1.0)
    {
        stage = kDecay;
        phase = 0.0;
        decayStep();
    }
}

inline void AttackDecayEnvelope::decayStep()
{
    phase += decayIncrement;
    output = envelopeCurve(1.0 - phase);
    if (phase > 1.0)
    {
        stage = kEnded;
        phase = 0.0;
        output = 0.0;
    }
}

inline void AttackDecayEnvelope::releaseStep()
{
    phase += releaseIncrement;
    // A zero held level gives a zero output whatever the curve says (the curve is
    // finite and not negative), so the power is skipped for it.
    output = heldLevel == 0.0 ? heldLevel : heldLevel * envelopeCurve(1.0 - phase);
    if (phase > 3.0)
    {
        stage = kIdle;
        phase = 0.0;
        output = 0.0;
    }
}

inline double AttackDecayEnvelope::slideAndFloor(double level)
{
    const double coefficient = level > slide ? 1.0 : fallingCoefficient;
    slide = numberguard::denormalGuard(slide + (level - slide) * coefficient);
    return slide < 0.00000001 ? 0.0 : slide;
}
