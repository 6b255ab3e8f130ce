#pragma once
// What a host sends when it automates every parameter of the instrument, in rounds of one
// block each: every sound, voice and host parameter moved twice, then the preset parameters
// as automation lanes drive them (a catalogue choice, the step buttons pressed and released,
// the load and save switches). Values are normalised.

#include <vector>

struct AutomatedValue
{
    int index;
    double normalized;
};

inline std::vector<std::vector<AutomatedValue>> AutomationRounds()
{
    constexpr int kParams = 28;
    constexpr int kPresetBackward = 9, kPresetForward = 10, kPresetLoad = 11, kPresetSave = 12;
    constexpr int kPresetSelector = 13;
    constexpr double kWelcomePreset = 2.0 / 10001.0; // catalogue number 1 on the range -1 ... 10000
    std::vector<std::vector<AutomatedValue>> rounds;
    for (const double value : {0.25, 1.0, 0.5})
    {
        std::vector<AutomatedValue> round;
        for (int i = 0; i < kParams; ++i)
            if (i < kPresetBackward || i > kPresetSelector)
                round.push_back({i, value});
        rounds.push_back(round);
    }
    rounds.push_back({{kPresetSelector, kWelcomePreset}});
    rounds.push_back({{kPresetForward, 1.0}});
    rounds.push_back({{kPresetForward, 0.0}, {kPresetBackward, 1.0}});
    rounds.push_back({{kPresetBackward, 0.0}, {kPresetLoad, 1.0}, {kPresetSave, 1.0}});
    rounds.push_back({{kPresetLoad, 0.0}, {kPresetSave, 0.0}, {kPresetSelector, 0.0}});
    return rounds;
}
