#include "tests/vst3/host/HostEventList.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

void HostEventList::AddNoteOn(int32 sampleOffset, int16 pitch, float velocity, int16 channel)
{
    Event e{};
    e.type = Event::kNoteOnEvent;
    e.sampleOffset = sampleOffset;
    e.noteOn.channel = channel;
    e.noteOn.pitch = pitch;
    e.noteOn.velocity = velocity;
    e.noteOn.noteId = -1;
    events.push_back(e);
}

void HostEventList::AddNoteOff(int32 sampleOffset, int16 pitch, int16 channel)
{
    Event e{};
    e.type = Event::kNoteOffEvent;
    e.sampleOffset = sampleOffset;
    e.noteOff.channel = channel;
    e.noteOff.pitch = pitch;
    e.noteOff.noteId = -1;
    events.push_back(e);
}

int32 PLUGIN_API HostEventList::getEventCount() { return static_cast<int32>(events.size()); }

tresult PLUGIN_API HostEventList::getEvent(int32 index, Event& e)
{
    if (index < 0 || index >= getEventCount())
        return kInvalidArgument;
    e = events[index];
    return kResultOk;
}

tresult PLUGIN_API HostEventList::addEvent(Event& e)
{
    events.push_back(e);
    return kResultOk;
}
