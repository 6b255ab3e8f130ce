#pragma once
// The host side of a VST2 test: a callback that answers as the test scripts it (product
// name, version, process level, transport) and records every call, and an instance wrapper
// with stereo buffers in both precisions. One scripted host is active at a time.

#include "vst2/Vst2Abi.h"

#include <optional>
#include <string>
#include <vector>

class ScriptedHost
{
public:
    struct Call
    {
        int32_t operation;
        int32_t index;
        intptr_t value;
        float option;
    };

    ScriptedHost();
    ~ScriptedHost();
    ScriptedHost(const ScriptedHost&) = delete;
    ScriptedHost& operator=(const ScriptedHost&) = delete;

    // The callback handed to the module; routes to the active scripted host.
    static intptr_t Callback(Vst2Descriptor* descriptor, int32_t operation, int32_t index, intptr_t value,
                             void* pointer, float option);

    // Calls of one operation, in order.
    std::vector<Call> CallsOf(int32_t operation) const;

    std::string productName = "Test Host";
    intptr_t vendorVersion = 1000;
    intptr_t processLevel = 1;
    intptr_t eventsAnswer = 1;
    // The record answered to callback 7; none when empty.
    std::optional<Vst2TimeInfo> time;
    std::vector<Call> calls;
    // MIDI the plug-in sent: status, data 1, data 2 of each event.
    std::vector<std::vector<uint8_t>> midiOut;

private:
    intptr_t Answer(int32_t operation, intptr_t value, void* pointer);
};

class Vst2Instance
{
public:
    static constexpr int kMaxFrames = 4096;

    explicit Vst2Instance(ScriptedHost& host);
    ~Vst2Instance();
    Vst2Instance(const Vst2Instance&) = delete;
    Vst2Instance& operator=(const Vst2Instance&) = delete;

    bool Created() const { return descriptor != nullptr; }
    intptr_t Dispatch(int32_t operation, int32_t index = 0, intptr_t value = 0, void* pointer = nullptr,
                      float option = 0.0f);
    // Open, sample rate, block size, activation: what a host does before processing.
    void Start(float sampleRate = 44100.0f, int blockFrames = 256);
    // Closes the instance now (operation 1); the destructor then does nothing.
    void Close();

    // MIDI for the next block: status, data 1, data 2 at a frame offset (operation 25).
    void SendMidi(int32_t offset, uint8_t status, uint8_t data1, uint8_t data2);
    // Renders a block: float replacing, float accumulating or double replacing. Float
    // outputs are filled with `fill` first unless `keepOutputs`.
    void ProcessFloat(int frames, bool accumulate = false, bool keepOutputs = false, float fill = 0.0f);
    void ProcessDouble(int frames);
    float Param(int index) const;
    void SetParam(int index, float value);
    std::vector<uint8_t> Chunk(bool singleProgram);
    intptr_t SetChunk(bool singleProgram, const std::vector<uint8_t>& bytes);
    // The largest absolute sample of both channels over the first `frames` frames.
    double PeakFloat(int frames) const;

    Vst2Descriptor* descriptor = nullptr;
    std::vector<float> floatOut[2];
    std::vector<double> doubleOut[2];
    std::vector<float> floatIn[2];
    std::vector<double> doubleIn[2];
};
