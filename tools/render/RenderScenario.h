#pragma once
// A render job for the offline renderer: the host set-up (rate, block size, tempo),
// parameter values to restore before rendering, and timed MIDI messages.
//
// JSON form (every key optional):
//   {"sample_rate": 44100, "block": 512, "frames": 88200, "tempo": 120,
//    "params": {"TonalPitchAmt": 0.3},
//    "events": [{"frame": 0, "status": 144, "d1": 60, "d2": 100}]}
// Missing keys: 44100 Hz, 512 frames per block, two seconds, 120 BPM, no parameters,
// no events. Within an event, "status" is required; "frame", "d1" and "d2" default to 0.
// status, d1 and d2 are whole numbers from 0 to 255. Status bytes below 0x80 (running
// status data) are accepted and passed on; the instrument ignores them as it ignores every
// message kind it does not handle.
// Unknown keys are ignored. Files larger than kMaxScenarioBytes, values nested more than
// kMaxJsonDepth levels deep, and objects or arrays beyond the count limits are refused
// before the document is built, so no file can exhaust memory or the stack.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct ScenarioEvent
{
    int64_t frame = 0; // absolute frame of the render
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};

struct RenderScenario
{
    static constexpr double kDefaultSampleRate = 44100.0;
    static constexpr int32_t kDefaultBlockFrames = 512;
    static constexpr double kDefaultSeconds = 2.0;
    static constexpr double kDefaultTempoBpm = 120.0;
    // Bounds that keep a job's memory and the engine's integer sample counts sane. The
    // lowest rate is the lowest a WAV header can name (it holds whole hertz).
    static constexpr double kMinSampleRate = 1.0;
    static constexpr double kMaxSampleRate = 10000000.0;
    static constexpr int32_t kMaxBlockFrames = 1 << 20;
    static constexpr size_t kMaxParams = 256;
    static constexpr size_t kMaxEvents = 1 << 20;
    // Limits on the file: a parsed document takes many times its text's size in memory.
    static constexpr size_t kMaxScenarioBytes = 8 << 20;
    static constexpr size_t kMaxJsonDepth = 16;

    double sampleRate = kDefaultSampleRate;
    int32_t blockFrames = kDefaultBlockFrames;
    int64_t frames = 0; // filled with two seconds' worth when not given
    double tempoBpm = kDefaultTempoBpm;
    std::vector<std::pair<std::string, double>> params; // in file order
    std::vector<ScenarioEvent> events;                  // in file order

    static bool IsValidSampleRate(double sampleRate)
    {
        return sampleRate >= kMinSampleRate && sampleRate <= kMaxSampleRate;
    }
    // Two seconds at the given rate, rounded to whole frames.
    static int64_t DefaultFrames(double sampleRate);
    // Checks the ranges of every field; the parser and the command line both use it.
    bool Validate(std::string& error) const;
};

// Parses a scenario from JSON text. On failure, error holds one line naming the problem.
bool ParseRenderScenario(const std::string& jsonText, RenderScenario& scenario, std::string& error);
