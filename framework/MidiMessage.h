#pragma once
// MIDI as the core passes it between adapters and the instrument: every message carries its
// sample offset within the current block so that the instrument can order what arrives.

#include <cstdint>

// The message kinds the core handles, as the upper four bits of a status byte.
enum MidiKind : int
{
    kMidiNoteOff = 8,
    kMidiNoteOn = 9,
    kMidiControlChange = 11,
};

// The status byte of a message kind on a channel counted from 0.
constexpr uint8_t MidiStatus(MidiKind kind, int channel)
{
    return static_cast<uint8_t>((kind << 4) | (channel & 0x0F));
}

// Notes are numbered 0 to 127.
constexpr int kMidiNoteCount = 128;
constexpr bool IsMidiNote(int note) { return note >= 0 && note < kMidiNoteCount; }

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
    // A note-on with velocity 0 is a note-off, as running-status senders use it.
    bool IsNoteOn() const { return Kind() == kMidiNoteOn && data2 > 0; }
    bool IsNoteOff() const { return Kind() == kMidiNoteOff || (Kind() == kMidiNoteOn && data2 == 0); }
};

// A system-exclusive message; the bytes belong to whoever delivered the message and are only
// valid during the call that hands it over.
struct SysExMessage
{
    int32_t sampleOffset = 0;
    int32_t sizeBytes = 0;
    const uint8_t* bytes = nullptr;
};
