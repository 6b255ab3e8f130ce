#pragma once
// The host's frame around a plug-in view: it records every resize the view asks for and,
// like a host that can grant it, answers with onSize on the view.

#include "tests/vst3/host/HostObject.h"
#include "pluginterfaces/gui/iplugview.h"

#include <vector>

class RecordingPlugFrame : public HostObject<Steinberg::IPlugFrame>
{
public:
    Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view,
                                             Steinberg::ViewRect* newSize) override
    {
        if (view == nullptr || newSize == nullptr)
            return Steinberg::kInvalidArgument;
        requests.push_back(*newSize);
        return grant ? view->onSize(newSize) : Steinberg::kResultOk;
    }

    bool grant = true;
    std::vector<Steinberg::ViewRect> requests;
};
