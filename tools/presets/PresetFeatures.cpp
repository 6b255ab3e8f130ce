#include "tools/presets/PresetFeatures.h"

#include <algorithm>
#include <cmath>
#include <complex>

#include <ebur128.h>

#include "framework/MidiMessage.h"
#include "instrument/PresetFile.h"
#include "tools/render/OfflineRenderer.h"

namespace
{

constexpr double kRenderSeconds = 2.0;
constexpr double kSixtyDb = 0.001;
constexpr size_t kSpectrumFrames = 16384;

// The times (in samples, interpolated) where a signal changes sign. Samples that are
// exactly zero are stepped over: the tonal part is quantised, so a crossing often lands on
// a zero sample, and it must still count once.
std::vector<double> ZeroCrossings(const std::vector<double>& x)
{
    std::vector<double> crossings;
    size_t last = x.size(); // the latest sample that was not zero
    for (size_t i = 0; i < x.size(); ++i)
    {
        if (x[i] == 0.0)
            continue;
        if (last < x.size() && (x[last] > 0.0) != (x[i] > 0.0))
            crossings.push_back(static_cast<double>(last) +
                                static_cast<double>(i - last) * x[last] / (x[last] - x[i]));
        last = i;
    }
    return crossings;
}

// Frequency from the whole cycle around `frame`: the half cycle that holds it and its
// neighbour (a whole cycle is not thrown by the DC the shaper's curve may leave). 0 when
// the tone has ended before `frame`.
double PitchAt(const std::vector<double>& crossings, double frame, double sampleRate)
{
    if (crossings.size() < 3)
        return 0.0;
    const size_t next =
        static_cast<size_t>(std::upper_bound(crossings.begin(), crossings.end(), frame) - crossings.begin());
    if (next >= crossings.size())
        return 0.0;
    const size_t first = next == 0 ? 0 : (next + 1 < crossings.size() ? next - 1 : next - 2);
    return sampleRate / (crossings[first + 2] - crossings[first]);
}

// Time of the first sample of x at or above `threshold` in magnitude.
double OnsetMs(const std::vector<double>& x, double threshold, double sampleRate)
{
    for (size_t i = 0; i < x.size(); ++i)
        if (std::fabs(x[i]) >= threshold)
            return 1000.0 * static_cast<double>(i) / sampleRate;
    return HUGE_VAL;
}

double PeakOf(const std::vector<double>& left, const std::vector<double>& right)
{
    double peak = 0.0;
    for (size_t i = 0; i < left.size(); ++i)
        peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    return peak;
}

double Dbfs(double linear) { return linear > 0.0 ? 20.0 * std::log10(linear) : -HUGE_VAL; }

double FallMs(const std::vector<double>& x, double sampleRate)
{
    size_t peakAt = 0;
    for (size_t i = 0; i < x.size(); ++i)
        if (std::fabs(x[i]) > std::fabs(x[peakAt]))
            peakAt = i;
    const double threshold = std::fabs(x[peakAt]) * kSixtyDb;
    if (threshold <= 0.0)
        return 0.0;
    size_t last = peakAt;
    for (size_t i = peakAt; i < x.size(); ++i)
        if (std::fabs(x[i]) >= threshold)
            last = i;
    return 1000.0 * static_cast<double>(last - peakAt) / sampleRate;
}

double Energy(const std::vector<double>& x)
{
    double sum = 0.0;
    for (double v : x)
        sum += v * v;
    return sum;
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
    if (!PresetFile::ReadFile(path, values))
        return false;
    sound.name = name;
    sound.values.clear();
    for (int i = 0; i < PresetFile::kValueCount; ++i)
        if (values[i])
            sound.values.emplace_back(PresetFile::Tags()[i].name, *values[i]);
    return true;
}

bool RenderHit(const PresetSound& sound, const std::vector<std::pair<std::string, double>>& overrides,
               double sampleRate, std::vector<double>& left, std::vector<double>& right, std::string& error)
{
    RenderScenario scenario;
    scenario.sampleRate = sampleRate;
    scenario.frames = static_cast<int64_t>(kRenderSeconds * sampleRate);
    scenario.params = sound.values;
    scenario.params.insert(scenario.params.end(), overrides.begin(), overrides.end());
    ScenarioEvent hit;
    hit.status = MidiStatus(kMidiNoteOn, 0);
    hit.data1 = kFeatureNote;
    hit.data2 = kFeatureVelocity;
    scenario.events.push_back(hit);
    return OfflineRenderer::RenderToBuffers(scenario, left, right, error);
}

double IntegratedLoudness(const std::vector<double>& left, const std::vector<double>& right,
                          double sampleRate)
{
    ebur128_state* meter = ebur128_init(2, static_cast<unsigned long>(sampleRate), EBUR128_MODE_I);
    if (!meter)
        return -HUGE_VAL;
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

double TruePeak(const std::vector<double>& left, const std::vector<double>& right, double sampleRate)
{
    ebur128_state* meter = ebur128_init(2, static_cast<unsigned long>(sampleRate), EBUR128_MODE_TRUE_PEAK);
    if (!meter)
        return HUGE_VAL;
    std::vector<double> interleaved(left.size() * 2);
    for (size_t i = 0; i < left.size(); ++i)
    {
        interleaved[2 * i] = left[i];
        interleaved[2 * i + 1] = right[i];
    }
    double peak = HUGE_VAL, l = 0.0, r = 0.0;
    if (ebur128_add_frames_double(meter, interleaved.data(), left.size()) == EBUR128_SUCCESS &&
        ebur128_true_peak(meter, 0, &l) == EBUR128_SUCCESS &&
        ebur128_true_peak(meter, 1, &r) == EBUR128_SUCCESS)
        peak = std::max(l, r);
    ebur128_destroy(&meter);
    return peak;
}

double Semitones(double fromHz, double toHz)
{
    return fromHz > 0.0 && toHz > 0.0 ? 12.0 * std::log2(toHz / fromHz) : 0.0;
}

bool MeasurePreset(const PresetSound& sound, PresetFeatures& features, std::string& error)
{
    const double sr = kFeatureSampleRate;
    std::vector<double> tonal, noise, unused;
    if (!RenderHit(sound, {{"NoiseAmpLevel", 0.0}, {"StereoExpandOffOn", 0.0}}, sr, tonal, unused, error) ||
        !RenderHit(sound, {{"TonalAmpLevel", 0.0}, {"StereoExpandOffOn", 0.0}}, sr, noise, unused, error))
        return false;
    const std::vector<double> crossings = ZeroCrossings(tonal);
    features.pitchAt2msHz = PitchAt(crossings, 0.002 * sr, sr);
    features.pitchAt20msHz = PitchAt(crossings, 0.020 * sr, sr);
    features.pitchAt50msHz = PitchAt(crossings, 0.050 * sr, sr);
    features.tonalFallMs = FallMs(tonal, sr);
    features.noiseFallMs = FallMs(noise, sr);
    features.noiseCentroidHz = SpectralCentroidHz(noise, sr);
    const double tonalEnergy = Energy(tonal), noiseEnergy = Energy(noise);
    features.noiseShare = tonalEnergy + noiseEnergy > 0.0 ? noiseEnergy / (tonalEnergy + noiseEnergy) : 0.0;

    for (int r = 0; r < kHostRateCount; ++r)
    {
        std::vector<double> left, right;
        if (!RenderHit(sound, {}, kHostRates[r], left, right, error))
            return false;
        const double peak = PeakOf(left, right);
        features.peakDbfs[r] = Dbfs(peak);
        features.loudnessLufs[r] = IntegratedLoudness(left, right, kHostRates[r]);
        if (r != kFeatureRateIndex)
            continue;
        features.onsetLeftMs = OnsetMs(left, 0.01 * peak, sr);
        features.onsetRightMs = OnsetMs(right, 0.01 * peak, sr);
        std::vector<double> mono(left.size());
        for (size_t i = 0; i < left.size(); ++i)
            mono[i] = 0.5 * (left[i] + right[i]);
        features.monoLossLu = features.loudnessLufs[r] - IntegratedLoudness(mono, mono, sr);
        features.spectrogram = ThirdOctaveSpectrogram(left, right, sr);
    }
    return true;
}
