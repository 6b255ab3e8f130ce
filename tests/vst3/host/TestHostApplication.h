#pragma once
// The host context handed to initialize (it answers its name) and a component handler
// that records every edit and restart request, so tests can check what the plug-in told
// its host.

#include "tests/vst3/host/HostObject.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <string>
#include <vector>

class TestHostApplication : public HostObject<Steinberg::Vst::IHostApplication>
{
public:
    explicit TestHostApplication(std::u16string name = u"Kestrum Test Host") : name(std::move(name)) {}

    Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
    Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid,
                                                 void** obj) override;

private:
    std::u16string name;
};

class RecordingComponentHandler : public HostObject<Steinberg::Vst::IComponentHandler>
{
public:
    struct Edit
    {
        char kind; // 'b' begin, 'p' perform, 'e' end
        Steinberg::Vst::ParamID id;
        Steinberg::Vst::ParamValue value;
    };

    std::vector<Edit> edits;
    std::vector<Steinberg::int32> restarts;

    Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
    Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                              Steinberg::Vst::ParamValue value) override;
    Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
    Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;
};
