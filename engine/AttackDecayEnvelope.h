#pragma once
// One attack/decay envelope of the voice with its gate conditioning and its slide:
// a rising gate plays attack then decay to 0 (nothing is sustained), a falling gate
// releases from the current level, and a retrigger token change blanks the gate for a
// millisecond so that a held note restarts from a release.

#include <cstdint>

struct AttackDecayEnvelope
{
    enum Stage : int32_t { kIdle = 0, kAttack = 1, kDecay = 2, kEnded = 3, kRelease = 4 };

    // Block-rate settings.
    void prepare(double attackSeconds, double decaySeconds, double sampleRate,
                 int32_t blankSamples, double fallingCoefficient);

    // One sample: gate conditioning, envelope step, slide and floor. Returns the level
    // the oscillator and the noise use (0 below 1e-8).
    double process(double noteGate, double noteRetrig)
    {
        return slideAndFloor(step(conditionGate(noteGate, noteRetrig)));
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

private:
    void attackStep();
    void decayStep();
    void releaseStep(double releaseSeconds);
};
