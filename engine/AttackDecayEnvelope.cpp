#include "engine/AttackDecayEnvelope.h"

#include "engine/NumberGuards.h"

using namespace numberguard;

void AttackDecayEnvelope::prepare(double attackSecondsIn, double decaySecondsIn, double sampleRateIn,
                                  int32_t blankSamplesIn, double fallingCoefficientIn)
{
    decaySeconds = decaySecondsIn;
    sampleRate = sampleRateIn;
    attackIncrement = safeReciprocal(attackSecondsIn * sampleRateIn);
    decayIncrement = safeReciprocal(decaySecondsIn * sampleRateIn);
    blankSamples = blankSamplesIn;
    fallingCoefficient = fallingCoefficientIn;
    updateReleaseIncrement();
}

bool AttackDecayEnvelope::isResting(double noteGate, double noteRetrig) const
{
    // No retrigger blank may start or run, and the gate must not move.
    if (!sameBits(noteRetrig, previousRetrig) || countdownSamples > 0.0)
        return false;
    if (!sameBits(noteGate, previousGate) || !isPositiveZero(output) || !isPositiveZero(slide))
        return false;
    if (!(fallingCoefficient > 0.0 && fallingCoefficient <= 1.0))
        return false;
    switch (stage)
    {
        case kIdle: return true;
        case kEnded: return isPositiveZero(phase);
        case kRelease:
            // A release from level 0 has length 0, hence increment 0: it never moves.
            return isPositiveZero(heldLevel) && isPositiveZero(phase);
        default: return false;
    }
}
