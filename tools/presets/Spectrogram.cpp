#include "tools/presets/Spectrogram.h"

#include <algorithm>
#include <cmath>

namespace
{

constexpr size_t kWindowFrames = 2048; // 43 ms at 48 kHz: about four bins in the 100 Hz band
constexpr double kColumnSeconds = 0.005;
constexpr int kFirstBand = 18; // centres 10^(k/10) Hz: 63 Hz ...
constexpr int kLastBand = 42;  // ... to 16 kHz
constexpr double kFloorBelowTopDb = 60.0;
constexpr double kTinyPower = 1e-30;

struct Band
{
    double lowHz, highHz, centreHz;
};

std::vector<Band> ThirdOctaveBands()
{
    std::vector<Band> bands;
    for (int k = kFirstBand; k <= kLastBand; ++k)
    {
        const double centre = std::pow(10.0, k / 10.0);
        bands.push_back({centre * std::pow(2.0, -1.0 / 6.0), centre * std::pow(2.0, 1.0 / 6.0), centre});
    }
    return bands;
}

// Power spectrum of one window of x centred on `centre` (zero outside the signal).
std::vector<double> WindowPower(const std::vector<double>& x, long centre, const std::vector<double>& hann)
{
    std::vector<std::complex<double>> spectrum(kWindowFrames);
    const long start = centre - static_cast<long>(kWindowFrames / 2);
    for (size_t i = 0; i < kWindowFrames; ++i)
    {
        const long at = start + static_cast<long>(i);
        if (at >= 0 && at < static_cast<long>(x.size()))
            spectrum[i] = x[at] * hann[i];
    }
    Fft(spectrum);
    std::vector<double> power(kWindowFrames / 2 + 1);
    for (size_t k = 0; k < power.size(); ++k)
        power[k] = std::norm(spectrum[k]);
    return power;
}

// A band's power: the bins inside it, or for bands narrower than a bin, the power
// interpolated at its centre and scaled to its width.
double BandPower(const std::vector<double>& power, const Band& band, double binHz)
{
    double sum = 0.0;
    bool any = false;
    for (size_t k = static_cast<size_t>(std::ceil(band.lowHz / binHz));
         k < power.size() && k * binHz < band.highHz; ++k)
    {
        sum += power[k];
        any = true;
    }
    if (any)
        return sum;
    const double at = band.centreHz / binHz;
    const size_t k = static_cast<size_t>(at);
    if (k + 1 >= power.size())
        return 0.0;
    const double fraction = at - static_cast<double>(k);
    return (power[k] + (power[k + 1] - power[k]) * fraction) * (band.highHz - band.lowHz) / binHz;
}

} // namespace

void Fft(std::vector<std::complex<double>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i)
    {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1)
    {
        const double angle = -2.0 * M_PI / static_cast<double>(length);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (size_t i = 0; i < n; i += length)
        {
            std::complex<double> w(1.0);
            for (size_t k = 0; k < length / 2; ++k, w *= step)
            {
                const std::complex<double> u = a[i + k], v = a[i + k + length / 2] * w;
                a[i + k] = u + v;
                a[i + k + length / 2] = u - v;
            }
        }
    }
}

Spectrogram ThirdOctaveSpectrogram(const std::vector<double>& left, const std::vector<double>& right,
                                   double sampleRate)
{
    const std::vector<Band> bands = ThirdOctaveBands();
    std::vector<double> hann(kWindowFrames);
    for (size_t i = 0; i < kWindowFrames; ++i)
        hann[i] = 0.5 - 0.5 * std::cos(2.0 * M_PI * static_cast<double>(i) / kWindowFrames);
    const double binHz = sampleRate / kWindowFrames;
    const long hop = std::lround(kColumnSeconds * sampleRate);

    Spectrogram grid;
    grid.bands = static_cast<int>(bands.size());
    grid.columns = hop > 0 ? static_cast<int>(static_cast<long>(left.size()) / hop) : 0;
    grid.levelsDb.reserve(static_cast<size_t>(grid.bands) * grid.columns);
    for (int column = 0; column < grid.columns; ++column)
    {
        const std::vector<double> l = WindowPower(left, column * hop, hann);
        const std::vector<double> r = WindowPower(right, column * hop, hann);
        for (const Band& band : bands)
        {
            const double power = 0.5 * (BandPower(l, band, binHz) + BandPower(r, band, binHz));
            grid.levelsDb.push_back(10.0 * std::log10(power + kTinyPower));
        }
    }
    return grid;
}

double SpectrogramDistanceDb(const Spectrogram& a, const Spectrogram& b)
{
    const size_t cells = std::min(a.levelsDb.size(), b.levelsDb.size());
    double top = -HUGE_VAL;
    for (size_t i = 0; i < cells; ++i)
        top = std::max({top, a.levelsDb[i], b.levelsDb[i]});
    const double floor = top - kFloorBelowTopDb;
    double sum = 0.0;
    size_t counted = 0;
    for (size_t i = 0; i < cells; ++i)
    {
        const double la = std::max(a.levelsDb[i], floor), lb = std::max(b.levelsDb[i], floor);
        if (la <= floor && lb <= floor)
            continue;
        sum += (la - lb) * (la - lb);
        ++counted;
    }
    return counted ? std::sqrt(sum / static_cast<double>(counted)) : 0.0;
}
