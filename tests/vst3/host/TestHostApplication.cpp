#include "tests/vst3/host/TestHostApplication.h"

#include <algorithm>

using namespace Steinberg;
using namespace Steinberg::Vst;

tresult PLUGIN_API TestHostApplication::getName(String128 out)
{
    const size_t count = std::min<size_t>(name.size(), 127);
    std::copy_n(name.begin(), count, out);
    out[count] = 0;
    return kResultOk;
}

tresult PLUGIN_API TestHostApplication::createInstance(TUID, TUID, void** obj)
{
    *obj = nullptr;
    return kNotImplemented;
}

tresult PLUGIN_API RecordingComponentHandler::beginEdit(ParamID id)
{
    edits.push_back({'b', id, 0.0});
    return kResultOk;
}

tresult PLUGIN_API RecordingComponentHandler::performEdit(ParamID id, ParamValue value)
{
    edits.push_back({'p', id, value});
    return kResultOk;
}

tresult PLUGIN_API RecordingComponentHandler::endEdit(ParamID id)
{
    edits.push_back({'e', id, 0.0});
    return kResultOk;
}

tresult PLUGIN_API RecordingComponentHandler::restartComponent(int32 flags)
{
    restarts.push_back(flags);
    return kResultOk;
}
