#pragma once
// A plug-in core with 28 parameters and a recording of what the core calls on it, plus a
// recording editor. Parameter 2 has the range 5..10, so "zero clamped into the range" is
// visible; the others range over 0..1 with default 0.5, except parameter 27 (0..1000).

#include "framework/IPlugBase.h"

#include <string>
#include <vector>

constexpr int kTestParams = 28;

inline PluginConfig TestConfig(int numPresets = 1, const char* channels = "2-2")
{
    PluginConfig config;
    config.numParams = kTestParams;
    config.numPresets = numPresets;
    config.channelIoString = channels;
    config.effectName = "Kestrum";
    config.manufacturerName = "QuorvexAudio";
    config.version = PackVersion(1, 0, 2);
    config.uniqueId = FourCharCode('K', 'm', 'q', '8');
    config.manufacturerId = FourCharCode('Q', 'v', 'r', 'x');
    config.isInstrument = true;
    config.doesMidi = true;
    config.pluginApi = kApiVst3;
    return config;
}

class TestPlugin : public IPlugBase
{
public:
    explicit TestPlugin(const PluginConfig& config = TestConfig()) : IPlugBase(config)
    {
        for (int i = 0; i < NumParams(); ++i)
        {
            const std::string name = "Param" + std::to_string(i);
            if (i == 2)
                GetParam(i)->DefineContinuous(name.c_str(), 7.0, 5.0, 10.0, 0.00001, "ms");
            else if (i == 27)
                GetParam(i)->DefineContinuous(name.c_str(), 120.0, 0.0, 1000.0, 0.00001, "bpm");
            else
                GetParam(i)->DefineContinuous(name.c_str(), 0.5, 0.0, 1.0, 0.00001);
        }
    }

    void OnParameterChange(int paramIndex) override
    {
        IPlugBase::OnParameterChange(paramIndex);
        changes.push_back(paramIndex);
        events.push_back("change " + std::to_string(paramIndex));
    }
    void NotifyHostOfParameterChange(int paramIndex, double normalizedValue) override
    {
        events.push_back("notify " + std::to_string(paramIndex) + " " + std::to_string(normalizedValue));
    }
    void OnPresetsChanged() override { events.push_back("presets changed"); }

    // Every parameter to `value` (clamped by each range).
    void SetAll(double value)
    {
        for (int i = 0; i < NumParams(); ++i)
            GetParam(i)->SetPlainValue(value);
    }

    std::vector<int> changes;
    std::vector<std::string> events;
};

class RecordingEditor : public EditorLink
{
public:
    struct Push
    {
        int paramIndex;
        double value;
        bool normalized;
    };

    explicit RecordingEditor(std::vector<std::string>* log = nullptr) : mLog(log) {}
    ~RecordingEditor() override
    {
        if (mLog)
            mLog->push_back("editor destroyed");
    }
    void PushValueToControls(int paramIndex, double value, bool normalized) override
    {
        pushes.push_back({paramIndex, value, normalized});
    }
    void PrepareDrawing() override { preparedAfterPushes = static_cast<int>(pushes.size()); }

    std::vector<Push> pushes;
    int preparedAfterPushes = -1;

private:
    std::vector<std::string>* mLog;
};
