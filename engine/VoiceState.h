#pragma once
// The drum voice's per-sample memories, gathered so that a reset is one assignment.

#include "engine/AttackDecayEnvelope.h"
#include "engine/TonalOscillator.h"
#include "engine/ToneFilter.h"
#include "engine/TransistorShaper.h"

// Every per-sample memory of the drum voice; EngineReset sets all of it to zero.
struct VoiceState
{
    AttackDecayEnvelope tonalEnvelope;
    AttackDecayEnvelope noiseEnvelope;
    TonalOscillator oscillator;
    ToneFilter toneFilter;
    TransistorShaper shaper;
    double previousGateOffset = 0.0; // the previous block's (gate - 0.5)
    double latchedVelocity = 0.0;    // velocity gain source, 0 to 1
};
