#pragma once
// An event list as a host hands it to process: events kept in the order they were added.

#include "tests/vst3/host/HostObject.h"
#include "pluginterfaces/vst/ivstevents.h"

#include <vector>

class HostEventList final : public HostObject<Steinberg::Vst::IEventList>
{
public:
    void AddNoteOn(Steinberg::int32 sampleOffset, Steinberg::int16 pitch, float velocity,
                   Steinberg::int16 channel = 0);
    void AddNoteOff(Steinberg::int32 sampleOffset, Steinberg::int16 pitch, Steinberg::int16 channel = 0);
    void Clear() { events.clear(); }

    Steinberg::int32 PLUGIN_API getEventCount() override;
    Steinberg::tresult PLUGIN_API getEvent(Steinberg::int32 index, Steinberg::Vst::Event& e) override;
    Steinberg::tresult PLUGIN_API addEvent(Steinberg::Vst::Event& e) override;

private:
    std::vector<Steinberg::Vst::Event> events;
};
