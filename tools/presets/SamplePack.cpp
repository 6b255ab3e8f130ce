#include "tools/presets/SamplePack.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "tools/render/AudioFileWriter.h"

namespace
{

constexpr double kTrimBelowPeak = 0.001; // -60 dB
constexpr double kFadeSeconds = 0.005;
constexpr double kTruePeakTarget = 0.891250938133746; // -1 dBFS
constexpr int kBitsPerSample = 24;
constexpr double kFullScale = 8388608.0; // 2^23

struct Span
{
    size_t begin = 0, end = 0; // samples [begin, end) are kept
    size_t fadeFrom = 0;       // the first one past the audible hit
};

// From the first sample that is not silent to 5 ms past the last one within 60 dB of the peak.
Span AudibleSpan(const std::vector<double>& left, const std::vector<double>& right, double sampleRate)
{
    double peak = 0.0;
    for (size_t i = 0; i < left.size(); ++i)
        peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    Span span;
    if (peak == 0.0)
        return span;
    while (left[span.begin] == 0.0 && right[span.begin] == 0.0)
        ++span.begin;
    size_t last = span.begin;
    for (size_t i = span.begin; i < left.size(); ++i)
        if (std::max(std::fabs(left[i]), std::fabs(right[i])) >= kTrimBelowPeak * peak)
            last = i;
    span.fadeFrom = last + 1;
    span.end =
        std::min(left.size(), span.fadeFrom + static_cast<size_t>(std::lround(kFadeSeconds * sampleRate)));
    return span;
}

// A raised-cosine fade over the samples past `audibleEnd`.
void FadeOut(std::vector<double>& x, size_t audibleEnd)
{
    const size_t length = x.size() - std::min(audibleEnd, x.size());
    for (size_t i = 0; i < length; ++i)
        x[audibleEnd + i] *=
            0.5 + 0.5 * std::cos(M_PI * static_cast<double>(i + 1) / static_cast<double>(length));
}

void PutLittleEndian(std::string& bytes, uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

int32_t ToPcm24(double x)
{
    const double scaled = std::round(x * kFullScale);
    return static_cast<int32_t>(std::clamp(scaled, -kFullScale, kFullScale - 1.0));
}

// RIFF/WAVE, PCM (format tag 1), two channels of 24-bit samples.
std::string Pcm24Wav(const std::vector<double>& left, const std::vector<double>& right, double sampleRate)
{
    const uint32_t rate = static_cast<uint32_t>(sampleRate);
    const uint32_t blockAlign = 2 * kBitsPerSample / 8;
    const uint32_t dataBytes = static_cast<uint32_t>(left.size()) * blockAlign;
    std::string bytes = "RIFF";
    PutLittleEndian(bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    PutLittleEndian(bytes, 16, 4);
    PutLittleEndian(bytes, 1, 2); // PCM
    PutLittleEndian(bytes, 2, 2);
    PutLittleEndian(bytes, rate, 4);
    PutLittleEndian(bytes, rate * blockAlign, 4);
    PutLittleEndian(bytes, blockAlign, 2);
    PutLittleEndian(bytes, kBitsPerSample, 2);
    bytes += "data";
    PutLittleEndian(bytes, dataBytes, 4);
    for (size_t i = 0; i < left.size(); ++i)
    {
        PutLittleEndian(bytes, static_cast<uint32_t>(ToPcm24(left[i])), 3);
        PutLittleEndian(bytes, static_cast<uint32_t>(ToPcm24(right[i])), 3);
    }
    return bytes;
}

// Written beside the target and renamed, so a failed run never leaves a file that looks whole.
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& error)
{
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file)
        ok = std::fclose(file) == 0 && ok;
    if (ok)
        ok = std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
    {
        std::remove(temporary.c_str());
        error = "cannot write " + path;
    }
    return ok;
}

} // namespace

bool WritePackedHit(const PresetSound& sound, const std::string& out, PackedHit& hit, std::string& error)
{
    const double sr = kFeatureSampleRate;
    std::vector<double> left, right;
    if (!RenderHit(sound, {}, sr, left, right, error))
        return false;
    const Span span = AudibleSpan(left, right, sr);
    if (span.end <= span.begin)
    {
        error = sound.name + " is silent";
        return false;
    }
    left.assign(left.begin() + span.begin, left.begin() + span.end);
    right.assign(right.begin() + span.begin, right.begin() + span.end);
    FadeOut(left, span.fadeFrom - span.begin);
    FadeOut(right, span.fadeFrom - span.begin);
    const double gain = kTruePeakTarget / TruePeak(left, right, sr);
    for (size_t i = 0; i < left.size(); ++i)
        left[i] *= gain, right[i] *= gain;

    hit.file = sound.name + ".wav";
    hit.seconds = static_cast<double>(left.size()) / sr;
    hit.gainDb = 20.0 * std::log10(gain);
    return WriteWholeFile(out + hit.file, Pcm24Wav(left, right, sr), error);
}

bool WriteFloatHit(const PresetSound& sound, const std::string& out, std::string& error)
{
    std::vector<double> left, right;
    AudioFileWriter writer;
    return RenderHit(sound, {}, kFeatureSampleRate, left, right, error) &&
           writer.Open(out + sound.name + ".wav", AudioFileFormat::WavFloat32, kFeatureSampleRate,
                       static_cast<int64_t>(left.size()), error) &&
           writer.WriteFrames(left.data(), right.data(), static_cast<int32_t>(left.size()), error) &&
           writer.Commit(error);
}
