#include "tools/presets/PresetFeatures.h"

#include <algorithm>
#include <cmath>
#include <complex>

#include <ebur128.h>

#include "instrument/PresetFile.h"
#include "tools/render/OfflineRenderer.h"

namespace
{

constexpr double kRenderSeconds = 2.0;
constexpr double kSixtyDb = 0.001;
constexpr size_t kSpectrumFrames = 16384;

// The times (in samples, interpolated) where a signal changes sign between two samples
// that are not zero.
std::vector<double> ZeroCrossings(const std::vector<double>& x)
{
    std::vector<double> crossings;
    for (size_t i = 1; i < x.size(); ++i)
    {
        if (x[i - 1] == 0.0 || x[i] == 0.0 || (x[i - 1] > 0.0) == (x[i] > 0.0)) continue;
        crossings.push_back(static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]));
    }
    return crossings;
}

// Frequency from the half cycle that holds `frame` (the first one for a negative frame).
double HalfCyclePitch(const std::vector<double>& crossings, double frame, double sampleRate)
{
    for (size_t k = 1; k < crossings.size(); ++k)
    {
        if (frame < 0.0 || (crossings[k - 1] <= frame && crossings[k] > frame))
            return sampleRate / (2.0 * (crossings[k] - crossings[k - 1]));
    }
    return 0.0;
}

double FallMs(const std::vector<double>& x, double sampleRate)
{
    size_t peakAt = 0;
    for (size_t i = 0; i < x.size(); ++i)
        if (std::fabs(x[i]) > std::fabs(x[peakAt])) peakAt = i;
    const double threshold = std::fabs(x[peakAt]) * kSixtyDb;
    if (threshold <= 0.0) return 0.0;
    size_t last = peakAt;
    for (size_t i = peakAt; i < x.size(); ++i)
        if (std::fabs(x[i]) >= threshold) last = i;
    return 1000.0 * static_cast<double>(last - peakAt) / sampleRate;
}

double Energy(const std::vector<double>& x)
{
    double sum = 0.0;
    for (double v : x) sum += v * v;
    return sum;
}

void Fft(std::vector<std::complex<double>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i)
    {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
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

double SpectralCentroidHz(const std::vector<double>& x, double sampleRate)
{
    std::vector<std::complex<double>> spectrum(kSpectrumFrames);
    for (size_t i = 0; i < kSpectrumFrames && i < x.size(); ++i)
    {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * M_PI * static_cast<double>(i) / kSpectrumFrames);
        spectrum[i] = x[i] * hann;
    }
    Fft(spectrum);
    double weighted = 0.0, total = 0.0;
    for (size_t k = 1; k < kSpectrumFrames / 2; ++k)
    {
        const double power = std::norm(spectrum[k]);
        weighted += power * static_cast<double>(k) * sampleRate / kSpectrumFrames;
        total += power;
    }
    return total > 0.0 ? weighted / total : 0.0;
}

} // namespace

bool LoadPresetSound(const std::string& path, const std::string& name, PresetSound& sound)
{
    PresetFile::ReadValues values;
    if (!PresetFile::ReadFile(path, values)) return false;
    sound.name = name;
    sound.values.clear();
    for (int i = 0; i < PresetFile::kValueCount; ++i)
        if (values[i]) sound.values.emplace_back(PresetFile::Tags()[i].name, *values[i]);
    return true;
}

bool RenderHit(const PresetSound& sound, const std::vector<std::pair<std::string, double>>& overrides,
               std::vector<double>& left, std::vector<double>& right, std::string& error)
{
    RenderScenario scenario;
    scenario.sampleRate = kFeatureSampleRate;
    scenario.frames = static_cast<int64_t>(kRenderSeconds * kFeatureSampleRate);
    scenario.params = sound.values;
    scenario.params.insert(scenario.params.end(), overrides.begin(), overrides.end());
    ScenarioEvent hit;
    hit.status = 0x90;
    hit.data1 = kFeatureNote;
    hit.data2 = kFeatureVelocity;
    scenario.events.push_back(hit);
    return OfflineRenderer::RenderToBuffers(scenario, left, right, error);
}

double IntegratedLoudness(const std::vector<double>& left, const std::vector<double>& right, double sampleRate)
{
    ebur128_state* meter = ebur128_init(2, static_cast<unsigned long>(sampleRate), EBUR128_MODE_I);
    if (!meter) return -HUGE_VAL;
    std::vector<double> interleaved(left.size() * 2);
    for (size_t i = 0; i < left.size(); ++i)
    {
        interleaved[2 * i] = left[i];
        interleaved[2 * i + 1] = right[i];
    }
    double loudness = -HUGE_VAL;
    if (ebur128_add_frames_double(meter, interleaved.data(), left.size()) != EBUR128_SUCCESS ||
        ebur128_loudness_global(meter, &loudness) != EBUR128_SUCCESS)
        loudness = -HUGE_VAL;
    ebur128_destroy(&meter);
    return loudness;
}

bool MeasurePreset(const PresetSound& sound, PresetFeatures& features, std::string& error)
{
    std::vector<double> left, right, tonal, noise, unused;
    if (!RenderHit(sound, {}, left, right, error) ||
        !RenderHit(sound, {{"NoiseAmpLevel", 0.0}, {"StereoExpandOffOn", 0.0}}, tonal, unused, error) ||
        !RenderHit(sound, {{"TonalAmpLevel", 0.0}, {"StereoExpandOffOn", 0.0}}, noise, unused, error))
        return false;

    const std::vector<double> crossings = ZeroCrossings(tonal);
    features.onsetPitchHz = HalfCyclePitch(crossings, -1.0, kFeatureSampleRate);
    features.pitchAt50msHz = HalfCyclePitch(crossings, 0.05 * kFeatureSampleRate, kFeatureSampleRate);
    features.tonalFallMs = FallMs(tonal, kFeatureSampleRate);
    features.noiseFallMs = FallMs(noise, kFeatureSampleRate);
    features.noiseCentroidHz = SpectralCentroidHz(noise, kFeatureSampleRate);
    const double tonalEnergy = Energy(tonal), noiseEnergy = Energy(noise);
    features.noiseShare = tonalEnergy + noiseEnergy > 0.0 ? noiseEnergy / (tonalEnergy + noiseEnergy) : 0.0;

    double peak = 0.0;
    for (size_t i = 0; i < left.size(); ++i) peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    features.peakDbfs = peak > 0.0 ? 20.0 * std::log10(peak) : -HUGE_VAL;
    features.loudnessLufs = IntegratedLoudness(left, right, kFeatureSampleRate);
    return true;
}
