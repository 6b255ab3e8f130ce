#pragma once
// The tonal part's cosine oscillator. Its pitch follows its envelope: f0 at the peak,
// falling with the level down to f0 times the pitch floor. A silent envelope puts the
// phase back to 0, so every hit from silence starts at the cosine's peak.

#include "engine/CosineTable.h"
#include "engine/NumberGuards.h"

struct TonalOscillator
{
    // Block-rate settings from the pitch knob (0 to 1).
    void prepare(double pitchAmount, double reciprocalSampleRateIn)
    {
        baseFrequencyHz = 100.0 + 300.0 * pitchAmount;
        pitchFloor = pitchAmount;
        reciprocalSampleRate = reciprocalSampleRateIn;
    }

    // One sample at envelope level et; returns the quantised tone before its level.
    double step(double et, const CosineTable& table)
    {
        if (et == 0.0)
            phase = 0.0;
        double ratio = et;
        if (et <= pitchFloor)
            ratio = pitchFloor;
        else if (et >= 1.0)
            ratio = 1.0;
        phase = numberguard::wrapPhase(phase + ratio * baseFrequencyHz * reciprocalSampleRate);
        const double cosine = table.lookup(phase);
        return numberguard::quantise16(cosine * et);
    }

    // A run of samples: tones[i] = step(levels[i]) * tonalLevel, with the phase kept in a
    // local for the run (stores into tones cannot touch it).
    void processBlock(const double* levels, const CosineTable& table, double tonalLevel, double* tones,
                      int32_t count)
    {
        TonalOscillator work = *this;
        for (int32_t i = 0; i < count; ++i)
            tones[i] = work.step(levels[i], table) * tonalLevel;
        phase = work.phase;
    }

    // Memory: phase in cycles, in [0, 1).
    double phase = 0.0;

    // Block-rate settings.
    double baseFrequencyHz = 0.0;
    double pitchFloor = 0.0;
    double reciprocalSampleRate = 0.0;
};
