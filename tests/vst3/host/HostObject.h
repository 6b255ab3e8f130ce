#pragma once
// Host objects that the test owns on its stack or in a member: each offers its one interface,
// and the plug-in may take and drop references, but never deletes them. The count is kept so
// that a test can see that every reference taken was given back.

#include "pluginterfaces/base/funknown.h"

#include <atomic>

template <class Interface>
class HostObject : public Interface
{
public:
    Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override
    {
        QUERY_INTERFACE(iid, obj, Steinberg::FUnknown::iid, Interface)
        QUERY_INTERFACE(iid, obj, Interface::iid, Interface)
        *obj = nullptr;
        return Steinberg::kNoInterface;
    }
    Steinberg::uint32 PLUGIN_API addRef() override { return ++references; }
    Steinberg::uint32 PLUGIN_API release() override { return --references; }
    // References the plug-in holds at the moment (the owner's own is not counted).
    Steinberg::uint32 ReferencesHeld() const { return references; }

private:
    std::atomic<Steinberg::uint32> references{0};
};
