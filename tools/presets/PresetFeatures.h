#pragma once
// Listening by measurement: one hit of a preset (note 38, velocity 127, 48 kHz, two
// seconds) rendered through the instrument, and the figures that tell sounds apart.
//
// The tonal and noise parts are measured on renders of their own (the other part's level
// at 0 and the expander off, so both channels hold the same mono signal); peak and loudness
// on the whole sound as it plays.

#include <string>
#include <utility>
#include <vector>

struct PresetSound
{
    std::string name;                                   // the catalogue name
    std::vector<std::pair<std::string, double>> values; // parameter name and plain value
};

struct PresetFeatures
{
    double onsetPitchHz = 0.0; // the tonal part's first half cycle
    double pitchAt50msHz = 0.0;
    double tonalFallMs = 0.0; // from the part's peak until it stays 60 dB below it
    double noiseFallMs = 0.0;
    double noiseCentroidHz = 0.0; // spectral centroid of the noise part
    double noiseShare = 0.0;      // noise energy / (noise + tonal energy), 0 to 1
    double peakDbfs = 0.0;
    double loudnessLufs = 0.0; // EBU R128 integrated loudness
};

constexpr double kFeatureSampleRate = 48000.0;
constexpr int kFeatureNote = 38;
constexpr int kFeatureVelocity = 127;

// Reads a preset file's values as the instrument's loader does; false when it loads nothing.
bool LoadPresetSound(const std::string& path, const std::string& name, PresetSound& sound);

// One hit of the sound, with parameter overrides applied after the preset's values.
bool RenderHit(const PresetSound& sound, const std::vector<std::pair<std::string, double>>& overrides,
               std::vector<double>& left, std::vector<double>& right, std::string& error);

bool MeasurePreset(const PresetSound& sound, PresetFeatures& features, std::string& error);

// Integrated loudness of a stereo signal (libebur128); -70 or below for silence.
double IntegratedLoudness(const std::vector<double>& left, const std::vector<double>& right, double sampleRate);
