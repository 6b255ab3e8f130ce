#pragma once
// The VST 2.4 plug-in interface as a 64-bit host sees it, written from its published byte
// layout: the descriptor the entry point returns, the records passed through the dispatcher
// and the host callback, and the operation numbers this module uses. Every offset and size is
// checked at compile time, because the host reads these records by offset, not by name.

#include <cstddef>
#include <cstdint>

struct Vst2Descriptor;

// (descriptor, operation, index, value, pointer, option) -> answer; the same form serves the
// plug-in's dispatcher and the host's callback.
using Vst2Dispatch = intptr_t (*)(Vst2Descriptor* descriptor, int32_t operation, int32_t index,
                                  intptr_t value, void* pointer, float option);
using Vst2HostCallback = Vst2Dispatch;
using Vst2ProcessFloat = void (*)(Vst2Descriptor* descriptor, float** inputs, float** outputs,
                                  int32_t frames);
using Vst2ProcessDouble = void (*)(Vst2Descriptor* descriptor, double** inputs, double** outputs,
                                   int32_t frames);
using Vst2SetParameter = void (*)(Vst2Descriptor* descriptor, int32_t index, float value);
using Vst2GetParameter = float (*)(Vst2Descriptor* descriptor, int32_t index);

struct Vst2Descriptor
{
    int32_t magic;
    int32_t unused4;
    Vst2Dispatch dispatcher;
    Vst2ProcessFloat processAccumulating;
    Vst2SetParameter setParameter;
    Vst2GetParameter getParameter;
    int32_t numPrograms;
    int32_t numParams;
    int32_t numInputs;
    int32_t numOutputs;
    int32_t flags;
    int32_t unused60;
    intptr_t reserved64;
    intptr_t reserved72;
    int32_t initialDelay;
    int32_t unused84;
    int32_t unused88;
    float ioRatio;
    void* object;
    void* user;
    int32_t uniqueId;
    int32_t version;
    Vst2ProcessFloat processReplacing;
    Vst2ProcessDouble processDoubleReplacing;
    char future[56];
};
static_assert(offsetof(Vst2Descriptor, magic) == 0, "descriptor layout");
static_assert(offsetof(Vst2Descriptor, dispatcher) == 8, "descriptor layout");
static_assert(offsetof(Vst2Descriptor, processAccumulating) == 16, "descriptor layout");
static_assert(offsetof(Vst2Descriptor, setParameter) == 24, "descriptor layout");
static_assert(offsetof(Vst2Descriptor, getParameter) == 32, "descriptor layout");
static_assert(offsetof(Vst2Descriptor, numPrograms) == 40, "descriptor layout");
static_assert(offsetof(Vst2Descriptor, numParams) == 44, "descriptor layout");
static_assert(offsetof(Vst2Descriptor, numInputs) == 48, "descriptor layout");
static_assert(offsetof(Vst2Descriptor, numOutputs) == 52, "descriptor layout");
static_assert(offsetof(Vst2Descriptor, flags) == 56, "descriptor layout");
static_assert(offsetof(Vst2Descriptor, initialDelay) == 80, "descriptor layout");
static_assert(offsetof(Vst2Descriptor, ioRatio) == 92, "descriptor layout");
static_assert(offsetof(Vst2Descriptor, object) == 96, "descriptor layout");
static_assert(offsetof(Vst2Descriptor, uniqueId) == 112, "descriptor layout");
static_assert(offsetof(Vst2Descriptor, version) == 116, "descriptor layout");
static_assert(offsetof(Vst2Descriptor, processReplacing) == 120, "descriptor layout");
static_assert(offsetof(Vst2Descriptor, processDoubleReplacing) == 128, "descriptor layout");
static_assert(sizeof(Vst2Descriptor) == 192, "descriptor layout");

// Every event starts with type, size and the frame offset within the block.
struct Vst2Event
{
    int32_t type;
    int32_t byteSize;
    int32_t deltaFrames;
    int32_t flags;
    char data[16];
};
static_assert(offsetof(Vst2Event, deltaFrames) == 8 && sizeof(Vst2Event) == 32, "event layout");

struct Vst2MidiEvent
{
    int32_t type; // kVst2EventMidi
    int32_t byteSize;
    int32_t deltaFrames;
    int32_t flags;
    int32_t noteLength;
    int32_t noteOffset;
    uint8_t midiData[4]; // status, data 1, data 2, 0
    char detune;
    uint8_t noteOffVelocity;
    uint8_t reserved30;
    uint8_t reserved31;
};
static_assert(offsetof(Vst2MidiEvent, deltaFrames) == 8, "MIDI event layout");
static_assert(offsetof(Vst2MidiEvent, noteLength) == 16, "MIDI event layout");
static_assert(offsetof(Vst2MidiEvent, midiData) == 24, "MIDI event layout");
static_assert(sizeof(Vst2MidiEvent) == 32, "MIDI event layout");

struct Vst2SysExEvent
{
    int32_t type; // kVst2EventSysEx
    int32_t byteSize;
    int32_t deltaFrames;
    int32_t flags;
    int32_t dumpBytes;
    int32_t unused20;
    intptr_t reserved24;
    uint8_t* sysexDump;
    intptr_t reserved40;
};
static_assert(offsetof(Vst2SysExEvent, dumpBytes) == 16, "SysEx event layout");
static_assert(offsetof(Vst2SysExEvent, sysexDump) == 32, "SysEx event layout");
static_assert(sizeof(Vst2SysExEvent) == 48, "SysEx event layout");

// A count, then that many event pointers from offset 16 (the array runs past its declared
// length in lists the host builds).
struct Vst2EventList
{
    int32_t numEvents;
    int32_t unused4;
    intptr_t reserved;
    Vst2Event* events[2];
};
static_assert(offsetof(Vst2EventList, reserved) == 8, "event list layout");
static_assert(offsetof(Vst2EventList, events) == 16, "event list layout");

struct Vst2TimeInfo
{
    double samplePos;
    double sampleRate;
    double nanoSeconds;
    double ppqPos;
    double tempo;
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    int32_t timeSigNumerator;
    int32_t timeSigDenominator;
    int32_t smpteOffset;
    int32_t smpteFrameRate;
    int32_t samplesToNextClock;
    int32_t flags;
};
static_assert(offsetof(Vst2TimeInfo, samplePos) == 0, "time info layout");
static_assert(offsetof(Vst2TimeInfo, ppqPos) == 24, "time info layout");
static_assert(offsetof(Vst2TimeInfo, tempo) == 32, "time info layout");
static_assert(offsetof(Vst2TimeInfo, barStartPos) == 40, "time info layout");
static_assert(offsetof(Vst2TimeInfo, cycleStartPos) == 48, "time info layout");
static_assert(offsetof(Vst2TimeInfo, cycleEndPos) == 56, "time info layout");
static_assert(offsetof(Vst2TimeInfo, timeSigNumerator) == 64, "time info layout");
static_assert(offsetof(Vst2TimeInfo, timeSigDenominator) == 68, "time info layout");
static_assert(offsetof(Vst2TimeInfo, flags) == 84, "time info layout");
static_assert(sizeof(Vst2TimeInfo) == 88, "time info layout");

struct Vst2SpeakerProperties
{
    float azimuth;
    float elevation;
    float radius;
    float reserved12;
    char name[64];
    int32_t type;
    char future[28];
};
static_assert(offsetof(Vst2SpeakerProperties, name) == 16, "speaker layout");
static_assert(offsetof(Vst2SpeakerProperties, type) == 80, "speaker layout");
static_assert(sizeof(Vst2SpeakerProperties) == 112, "speaker layout");

struct Vst2SpeakerArrangement
{
    int32_t type;
    int32_t numChannels;
    Vst2SpeakerProperties speakers[8];
};
static_assert(offsetof(Vst2SpeakerArrangement, numChannels) == 4, "speaker arrangement layout");
static_assert(offsetof(Vst2SpeakerArrangement, speakers) == 8, "speaker arrangement layout");
static_assert(sizeof(Vst2SpeakerArrangement) == 904, "speaker arrangement layout");

struct Vst2PinProperties
{
    char label[64];
    int32_t flags;
    int32_t arrangementType;
    char shortLabel[8];
    char future[48];
};
static_assert(offsetof(Vst2PinProperties, flags) == 64, "pin properties layout");
static_assert(offsetof(Vst2PinProperties, arrangementType) == 68, "pin properties layout");
static_assert(offsetof(Vst2PinProperties, shortLabel) == 72, "pin properties layout");
static_assert(sizeof(Vst2PinProperties) == 128, "pin properties layout");

struct Vst2MidiKeyName
{
    int32_t thisProgramIndex;
    int32_t thisKeyNumber;
    char keyName[64];
    int32_t reserved;
    int32_t flags;
};
static_assert(offsetof(Vst2MidiKeyName, thisKeyNumber) == 4, "key name layout");
static_assert(offsetof(Vst2MidiKeyName, keyName) == 8, "key name layout");
static_assert(sizeof(Vst2MidiKeyName) == 80, "key name layout");

// The editor rectangle the host reads through operation 13.
struct Vst2Rect
{
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};
static_assert(sizeof(Vst2Rect) == 8, "rectangle layout");

constexpr int32_t kVst2Magic = 0x56737450;    // "VstP"
constexpr int32_t kVst2Identify = 0x4E764566; // "NvEf"
constexpr intptr_t kVst2ExtensionAnswer = 0xBEEF;
constexpr int32_t kVst2InterfaceVersion = 2400;

enum Vst2Flag : int32_t
{
    kVst2HasEditor = 0x1,
    kVst2CanMono = 0x8,
    kVst2CanReplacing = 0x10,
    kVst2ProgramChunks = 0x20,
    kVst2IsSynth = 0x100,
    kVst2CanDoubleReplacing = 0x1000,
};

enum Vst2EventType : int32_t
{
    kVst2EventMidi = 1,
    kVst2EventSysEx = 6,
};

enum Vst2TimeFlag : int32_t
{
    kVst2TransportPlaying = 0x2,
    kVst2CycleActive = 0x4,
    kVst2PpqPosValid = 0x200,
    kVst2TempoValid = 0x400,
    kVst2BarsValid = 0x800,
    kVst2CyclePosValid = 0x1000,
    kVst2TimeSigValid = 0x2000,
};

// Operations of the plug-in's dispatcher.
enum Vst2PluginOp : int32_t
{
    kVst2Open = 0,
    kVst2Close = 1,
    kVst2SetProgram = 2,
    kVst2GetProgram = 3,
    kVst2SetProgramName = 4,
    kVst2GetProgramName = 5,
    kVst2GetParamLabel = 6,
    kVst2GetParamDisplay = 7,
    kVst2GetParamName = 8,
    kVst2SetSampleRate = 10,
    kVst2SetBlockSize = 11,
    kVst2MainsChanged = 12,
    kVst2EditGetRect = 13,
    kVst2EditOpen = 14,
    kVst2EditClose = 15,
    kVst2EditIdle = 19,
    kVst2IdentifyOp = 22,
    kVst2GetChunk = 23,
    kVst2SetChunk = 24,
    kVst2ProcessEvents = 25,
    kVst2CanBeAutomated = 26,
    kVst2StringToParameter = 27,
    kVst2GetProgramNameIndexed = 29,
    kVst2GetInputProperties = 33,
    kVst2GetOutputProperties = 34,
    kVst2GetCategory = 35,
    kVst2SetSpeakerArrangement = 42,
    kVst2GetEffectName = 45,
    kVst2GetVendorString = 47,
    kVst2GetProductString = 48,
    kVst2GetVendorVersion = 49,
    kVst2VendorSpecific = 50,
    kVst2CanDo = 51,
    kVst2GetTailSize = 52,
    kVst2Idle = 53,
    kVst2GetInterfaceVersion = 58,
    kVst2GetMidiKeyName = 66,
    kVst2GetSpeakerArrangement = 69,
};

// Operations of the host's callback.
enum Vst2HostOp : int32_t
{
    kVst2HostAutomate = 0,
    kVst2HostWantMidi = 6,
    kVst2HostGetTime = 7,
    kVst2HostProcessEvents = 8,
    kVst2HostSizeWindow = 15,
    kVst2HostGetProcessLevel = 23,
    kVst2HostGetProductString = 33,
    kVst2HostGetVendorVersion = 34,
    kVst2HostUpdateDisplay = 42,
    kVst2HostBeginEdit = 43,
    kVst2HostEndEdit = 44,
};

constexpr intptr_t kVst2ProcessLevelOffline = 4;

// The answers of kVst2GetCategory this module gives.
enum Vst2Category : intptr_t
{
    kVst2CategoryEffect = 1,
    kVst2CategorySynth = 2,
};

// Flags of a pin's properties.
enum Vst2PinFlag : int32_t
{
    kVst2PinIsActive = 0x1,
    kVst2PinIsStereo = 0x2, // the first pin of a stereo pair
};
