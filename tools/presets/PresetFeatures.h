#pragma once
// Listening by measurement: one hit of a preset (note 38, velocity 127, two seconds)
// rendered through the instrument, and the figures that tell sounds apart.
//
// The tonal and noise parts are measured on 48 kHz renders of their own (the other part's
// level at 0 and the expander off, so both channels hold the same mono signal); onset, mono
// fold-down, peak, loudness and the spectrogram on the whole sound as it plays, the peak and
// loudness at each of the usual host rates.

#include <string>
#include <utility>
#include <vector>

#include "tools/presets/Spectrogram.h"

struct PresetSound
{
    std::string name;                                   // the catalogue name
    std::vector<std::pair<std::string, double>> values; // parameter name and plain value
};

constexpr double kFeatureSampleRate = 48000.0;
constexpr int kFeatureNote = 38;
constexpr int kFeatureVelocity = 127;
constexpr double kHostRates[] = {44100.0, 48000.0, 96000.0};
constexpr int kHostRateCount = 3;
constexpr int kFeatureRateIndex = 1; // 48 kHz in kHostRates

struct PresetFeatures
{
    // The tonal part's pitch from the cycle around each time after the note on.
    double pitchAt2msHz = 0.0;
    double pitchAt20msHz = 0.0;
    double pitchAt50msHz = 0.0;
    double tonalFallMs = 0.0; // from the part's peak until it stays 60 dB below it
    double noiseFallMs = 0.0;
    double noiseCentroidHz = 0.0; // spectral centroid of the noise part
    double noiseShare = 0.0;      // noise energy / (noise + tonal energy), 0 to 1
    // First sample above -40 dB of the hit's peak, per channel, from the note on.
    double onsetLeftMs = 0.0;
    double onsetRightMs = 0.0;
    double monoLossLu = 0.0; // stereo loudness minus that of (L + R) / 2 on both channels
    double peakDbfs[kHostRateCount] = {};
    double loudnessLufs[kHostRateCount] = {}; // EBU R128 integrated loudness
    Spectrogram spectrogram;
};

// Reads a preset file's values as the instrument's loader does; false when it loads nothing.
bool LoadPresetSound(const std::string& path, const std::string& name, PresetSound& sound);

// One hit of the sound, with parameter overrides applied after the preset's values.
bool RenderHit(const PresetSound& sound, const std::vector<std::pair<std::string, double>>& overrides,
               double sampleRate, std::vector<double>& left, std::vector<double>& right, std::string& error);

bool MeasurePreset(const PresetSound& sound, PresetFeatures& features, std::string& error);

// Integrated loudness of a stereo signal (libebur128); -70 or below for silence.
double IntegratedLoudness(const std::vector<double>& left, const std::vector<double>& right,
                          double sampleRate);

// The highest true peak (libebur128, oversampled) of either channel, linear.
double TruePeak(const std::vector<double>& left, const std::vector<double>& right, double sampleRate);

double Semitones(double fromHz, double toHz);
