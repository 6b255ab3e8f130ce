#include "engine/AttackDecayEnvelope.h"

#include "engine/NumberGuards.h"

using namespace numberguard;

namespace {

// The envelope's curve; a negative base has no real power 2.001, and the not-a-number
// guard would turn it into 0 anyway, so pow (and its domain error) is skipped there.
double envelopeCurve(double base)
{
    return base < 0.0 ? 0.0 : guardedPower(base, 2.001);
}

} // namespace

void AttackDecayEnvelope::prepare(double attackSecondsIn, double decaySecondsIn, double sampleRateIn,
                                  int32_t blankSamplesIn, double fallingCoefficientIn)
{
    decaySeconds = decaySecondsIn;
    sampleRate = sampleRateIn;
    attackIncrement = safeReciprocal(attackSecondsIn * sampleRateIn);
    decayIncrement = safeReciprocal(decaySecondsIn * sampleRateIn);
    blankSamples = blankSamplesIn;
    fallingCoefficient = fallingCoefficientIn;
}

double AttackDecayEnvelope::conditionGate(double noteGate, double noteRetrig)
{
    if (noteRetrig != previousRetrig)
        countdownSamples = blankSamples;
    previousRetrig = noteRetrig;
    if (countdownSamples > 0.0) {
        countdownSamples -= 1.0;
        return 0.0;
    }
    return noteGate;
}

double AttackDecayEnvelope::step(double gate)
{
    const bool rise = gate - previousGate == 1.0;
    const bool fall = gate - previousGate == -1.0;
    previousGate = gate;
    // The release length belongs to the level held before this sample's changes.
    const double releaseSeconds = heldLevel * decaySeconds;
    if (rise) {
        stage = kAttack;
        phase = 0.0;
    } else if (fall) {
        stage = kRelease;
        phase = 0.0;
        heldLevel = output;
        releaseStep(releaseSeconds);
        return output;
    }
    switch (stage) {
    case kAttack:
        attackStep();
        break;
    case kDecay:
        decayStep();
        break;
    case kEnded:
        phase = 0.0;
        output = 0.0;
        break;
    case kRelease:
        releaseStep(releaseSeconds);
        break;
    default:
        break;
    }
    return output;
}

void AttackDecayEnvelope::attackStep()
{
    phase += attackIncrement;
    output = envelopeCurve(phase);
    if (phase > 1.0) {
        stage = kDecay;
        phase = 0.0;
        decayStep();
    }
}

void AttackDecayEnvelope::decayStep()
{
    phase += decayIncrement;
    output = envelopeCurve(1.0 - phase);
    if (phase > 1.0) {
        stage = kEnded;
        phase = 0.0;
        output = 0.0;
    }
}

void AttackDecayEnvelope::releaseStep(double releaseSeconds)
{
    phase += safeReciprocal(releaseSeconds * sampleRate);
    // A zero held level gives a zero output whatever the curve says (the curve is
    // finite and not negative), so the power is skipped for it.
    output = heldLevel == 0.0 ? heldLevel : heldLevel * envelopeCurve(1.0 - phase);
    if (phase > 3.0) {
        stage = kIdle;
        phase = 0.0;
        output = 0.0;
    }
}

double AttackDecayEnvelope::slideAndFloor(double level)
{
    const double coefficient = level > slide ? 1.0 : fallingCoefficient;
    slide = denormalGuard(slide + (level - slide) * coefficient);
    return slide < 0.00000001 ? 0.0 : slide;
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
    switch (stage) {
    case kIdle:
        return true;
    case kEnded:
        return isPositiveZero(phase);
    case kRelease:
        // A release from level 0 has length 0, hence increment 0: it never moves.
        return isPositiveZero(heldLevel) && isPositiveZero(phase);
    default:
        return false;
    }
}
