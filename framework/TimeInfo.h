#pragma once
// The host's transport as the adapters obtain it. GetTimeInfo only overwrites what the host
// reports, so the defaults below are what a caller sees from a host that reports nothing.

#include <cstdint>

struct TimeInfo
{
    double tempoBpm = 120.0;
    double samplePosition = 0.0;
    double positionQuarterNotes = 0.0;
    double lastBarStartQuarterNotes = 0.0;
    double cycleStartQuarterNotes = 0.0;
    double cycleEndQuarterNotes = 0.0;
    int32_t timeSignatureNumerator = 4;
    int32_t timeSignatureDenominator = 4;
    bool transportPlaying = false;
    bool cycleActive = false;
};
