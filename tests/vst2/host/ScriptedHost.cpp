#include "tests/vst2/host/ScriptedHost.h"

#include "tests/vst2/host/Vst2Module.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
ScriptedHost* gActiveHost = nullptr;
}

ScriptedHost::ScriptedHost() { gActiveHost = this; }

ScriptedHost::~ScriptedHost()
{
    if (gActiveHost == this)
        gActiveHost = nullptr;
}

intptr_t ScriptedHost::Callback(Vst2Descriptor* /*descriptor*/, int32_t operation, int32_t index,
                                intptr_t value, void* pointer, float option)
{
    if (!gActiveHost)
        return 0;
    gActiveHost->calls.push_back({operation, index, value, option});
    return gActiveHost->Answer(operation, value, pointer);
}

intptr_t ScriptedHost::Answer(int32_t operation, intptr_t /*value*/, void* pointer)
{
    switch (operation)
    {
        case kVst2HostGetTime: return time ? reinterpret_cast<intptr_t>(&*time) : 0;
        case kVst2HostGetProcessLevel: return processLevel;
        case kVst2HostGetProductString:
            std::strncpy(static_cast<char*>(pointer), productName.c_str(), 255);
            return 1;
        case kVst2HostGetVendorVersion: return vendorVersion;
        case kVst2HostProcessEvents:
        {
            const auto* list = static_cast<const Vst2EventList*>(pointer);
            for (int32_t i = 0; list && i < list->numEvents; ++i)
                if (list->events[i]->type == kVst2EventMidi)
                {
                    const auto* midi = reinterpret_cast<const Vst2MidiEvent*>(list->events[i]);
                    midiOut.push_back({midi->midiData[0], midi->midiData[1], midi->midiData[2]});
                }
            return eventsAnswer;
        }
        default: return 0;
    }
}

std::vector<ScriptedHost::Call> ScriptedHost::CallsOf(int32_t operation) const
{
    std::vector<Call> found;
    for (const Call& call : calls)
        if (call.operation == operation)
            found.push_back(call);
    return found;
}

Vst2Instance::Vst2Instance(ScriptedHost& /*host*/)
{
    descriptor = TheVst2Module().Create(&ScriptedHost::Callback);
    for (int c = 0; c < 2; ++c)
    {
        floatOut[c].assign(kMaxFrames, 0.0f);
        doubleOut[c].assign(kMaxFrames, 0.0);
        floatIn[c].assign(kMaxFrames, 0.0f);
        doubleIn[c].assign(kMaxFrames, 0.0);
    }
}

Vst2Instance::~Vst2Instance() { Close(); }

void Vst2Instance::Close()
{
    if (descriptor)
        descriptor->dispatcher(descriptor, kVst2Close, 0, 0, nullptr, 0.0f);
    descriptor = nullptr;
}

intptr_t Vst2Instance::Dispatch(int32_t operation, int32_t index, intptr_t value, void* pointer, float option)
{
    return descriptor->dispatcher(descriptor, operation, index, value, pointer, option);
}

void Vst2Instance::Start(float sampleRate, int blockFrames)
{
    Dispatch(kVst2Open);
    Dispatch(kVst2SetSampleRate, 0, 0, nullptr, sampleRate);
    Dispatch(kVst2SetBlockSize, 0, blockFrames);
    Dispatch(kVst2MainsChanged, 0, 1);
}

void Vst2Instance::SendMidi(int32_t offset, uint8_t status, uint8_t data1, uint8_t data2)
{
    Vst2MidiEvent event{};
    event.type = kVst2EventMidi;
    event.byteSize = sizeof event;
    event.deltaFrames = offset;
    event.midiData[0] = status;
    event.midiData[1] = data1;
    event.midiData[2] = data2;
    Vst2EventList list{};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<Vst2Event*>(&event);
    Dispatch(kVst2ProcessEvents, 0, 0, &list);
}

void Vst2Instance::ProcessFloat(int frames, bool accumulate, bool keepOutputs, float fill)
{
    if (!keepOutputs)
        for (auto& channel : floatOut)
            std::fill(channel.begin(), channel.end(), fill);
    float* inputs[2] = {floatIn[0].data(), floatIn[1].data()};
    float* outputs[2] = {floatOut[0].data(), floatOut[1].data()};
    if (accumulate)
        descriptor->processAccumulating(descriptor, inputs, outputs, frames);
    else
        descriptor->processReplacing(descriptor, inputs, outputs, frames);
}

void Vst2Instance::ProcessDouble(int frames)
{
    double* inputs[2] = {doubleIn[0].data(), doubleIn[1].data()};
    double* outputs[2] = {doubleOut[0].data(), doubleOut[1].data()};
    descriptor->processDoubleReplacing(descriptor, inputs, outputs, frames);
}

float Vst2Instance::Param(int index) const { return descriptor->getParameter(descriptor, index); }

void Vst2Instance::SetParam(int index, float value) { descriptor->setParameter(descriptor, index, value); }

std::vector<uint8_t> Vst2Instance::Chunk(bool singleProgram)
{
    void* data = nullptr;
    const intptr_t size = Dispatch(kVst2GetChunk, singleProgram ? 1 : 0, 0, &data);
    if (size <= 0 || !data)
        return {};
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

intptr_t Vst2Instance::SetChunk(bool singleProgram, const std::vector<uint8_t>& bytes)
{
    return Dispatch(kVst2SetChunk, singleProgram ? 1 : 0, static_cast<intptr_t>(bytes.size()),
                    const_cast<uint8_t*>(bytes.data()));
}

double Vst2Instance::PeakFloat(int frames) const
{
    double peak = 0.0;
    for (const auto& channel : floatOut)
        for (int i = 0; i < frames; ++i)
            peak = std::max(peak, std::fabs(static_cast<double>(channel[i])));
    return peak;
}
