#include "engine/ToneFilter.h"

#include <algorithm>
#include <cmath>

using namespace numberguard;

namespace
{

double cutoffHz(double knob) { return std::max(20.0 + 19980.0 * guardedPower(knob, 3.0), 0.0); }

struct Warp
{
    double cosine;
    double alpha;
    double gain;
};

Warp warp(double cutoff, double sampleRate)
{
    const double w = sampleRate == 0.0 ? 0.0 : cutoff * 6.2831853071796 / sampleRate;
    Warp result{};
    result.cosine = std::cos(w);
    result.alpha = std::sin(w) * 0.5 * 2.0;
    result.gain = safeReciprocal(1.0 + result.alpha);
    return result;
}

bool finite(const ToneFilter::Biquad& f)
{
    return std::isfinite(f.b0) && std::isfinite(f.b1) && std::isfinite(f.b2) && std::isfinite(f.a1) &&
           std::isfinite(f.a2);
}

} // namespace

void ToneFilter::prepare(double tone, double sampleRate)
{
    const double q = 0.12 + 0.78 * tone;
    lowPassCutoffHz = cutoffHz(2.0 * clampValue(q, 0.0, 0.5));
    highPassCutoffHz = cutoffHz(2.0 * (clampValue(q, 0.5, 1.0) - 0.5));

    const Warp low = warp(lowPassCutoffHz, sampleRate);
    lowPass.b0 = (1.0 - low.cosine) * 0.5 * low.gain;
    lowPass.b2 = lowPass.b0;
    lowPass.b1 = (1.0 - low.cosine) * low.gain;
    lowPass.a1 = -2.0 * low.cosine * low.gain;
    lowPass.a2 = (1.0 - low.alpha) * low.gain;

    const Warp high = warp(highPassCutoffHz, sampleRate);
    highPass.b0 = (1.0 + high.cosine) * 0.5 * high.gain;
    highPass.b2 = highPass.b0;
    highPass.b1 = -(1.0 + high.cosine) * high.gain;
    highPass.a1 = -2.0 * high.cosine * high.gain;
    highPass.a2 = (1.0 - high.alpha) * high.gain;

    if (q < 0.45)
        crossfade = 0.0;
    else if (q <= 0.55)
        crossfade = 10.0 * (q - 0.45);
    else
        crossfade = 1.0;
}

bool ToneFilter::coefficientsAreFinite() const
{
    return finite(lowPass) && finite(highPass) && std::isfinite(crossfade);
}
