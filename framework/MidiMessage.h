#pragma once
// MIDI as the core passes it between adapters and the instrument: every message carries its
// sample offset within the current block so that the instrument can order what arrives.

#include <cstdint>

struct MidiMessage
{
    int32_t sampleOffset = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;

    // The message kind in the upper four bits of the status (8 note-off, 9 note-on, 11 control change).
    int Kind() const { return status >> 4; }
    // The MIDI channel in the lower four bits, counted from 0.
    int Channel() const { return status & 0x0F; }
};

// A system-exclusive message; the bytes belong to whoever delivered the message and are only
// valid during the call that hands it over.
struct SysExMessage
{
    int32_t sampleOffset = 0;
    int32_t sizeBytes = 0;
    const uint8_t* bytes = nullptr;
};
