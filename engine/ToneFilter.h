#pragma once
// The noise part's tone control: a low-pass and a high-pass biquad (direct form I)
// crossfaded by one knob, low-pass below the middle and high-pass above it. The
// result is quantised to 16 bits.

#include "engine/NumberGuards.h"

struct ToneFilter
{
    struct Biquad
    {
        // y = b0 u + b1 x1 + b2 x2 - a1 y1 - a2 y2; memories stored through the denormal guard.
        // Below about 40 kHz the upper cutoffs pass the Nyquist frequency and the filter is
        // unstable; the not-a-number guard keeps its state finite there (it changes nothing
        // while the filter is stable).
        double step(double input)
        {
            const double result = numberguard::nanGuard(b0 * input + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2);
            // x1 and y1 were stored through the guard, which leaves its own results
            // unchanged: they move on as they are.
            x2 = x1;
            x1 = numberguard::denormalGuard(input);
            y2 = y1;
            y1 = numberguard::denormalGuard(result);
            return result;
        }

        bool isAtRest() const
        {
            return numberguard::isPositiveZero(x1) && numberguard::isPositiveZero(x2) &&
                   numberguard::isPositiveZero(y1) && numberguard::isPositiveZero(y2);
        }

        // Memories.
        double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
        // Block-rate coefficients.
        double b0 = 0.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    };

    // Block-rate: coefficients and crossfade weight from the tone knob (0 to 1).
    void prepare(double tone, double sampleRate);

    // One sample: filtered, crossfaded and quantised noise in [-1, 1].
    double step(double input)
    {
        const double lowPassed = lowPass.step(input);
        const double highPassed = highPass.step(input);
        return numberguard::quantise16(
            numberguard::nanGuard(lowPassed + (highPassed - lowPassed) * crossfade));
    }

    // A run of samples: outputs[i] = step(inputs[i]), memories in a local copy for the run.
    void processBlock(const double* inputs, double* outputs, int32_t count)
    {
        ToneFilter work = *this;
        for (int32_t i = 0; i < count; ++i)
            outputs[i] = work.step(inputs[i]);
        *this = work;
    }

    bool coefficientsAreFinite() const;

    Biquad lowPass;
    Biquad highPass;
    double crossfade = 0.0; // 0 pure low-pass, 1 pure high-pass
    double lowPassCutoffHz = 0.0;
    double highPassCutoffHz = 0.0;
};
