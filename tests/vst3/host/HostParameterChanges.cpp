#include "tests/vst3/host/HostParameterChanges.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

int32 PLUGIN_API HostParamValueQueue::getPointCount() { return static_cast<int32>(points.size()); }

tresult PLUGIN_API HostParamValueQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value)
{
    if (index < 0 || index >= getPointCount())
        return kInvalidArgument;
    sampleOffset = points[index].first;
    value = points[index].second;
    return kResultOk;
}

tresult PLUGIN_API HostParamValueQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index)
{
    index = getPointCount();
    points.emplace_back(sampleOffset, value);
    return kResultOk;
}

void HostParameterChanges::Add(ParamID id, int32 sampleOffset, ParamValue value)
{
    int32 index = 0;
    IParamValueQueue* queue = addParameterData(id, index);
    queue->addPoint(sampleOffset, value, index);
}

int32 PLUGIN_API HostParameterChanges::getParameterCount() { return static_cast<int32>(queues.size()); }

IParamValueQueue* PLUGIN_API HostParameterChanges::getParameterData(int32 index)
{
    if (index < 0 || index >= getParameterCount())
        return nullptr;
    return queues[index].get();
}

IParamValueQueue* PLUGIN_API HostParameterChanges::addParameterData(const ParamID& id, int32& index)
{
    for (size_t i = 0; i < queues.size(); ++i)
    {
        if (queues[i]->getParameterId() == id)
        {
            index = static_cast<int32>(i);
            return queues[i].get();
        }
    }
    index = getParameterCount();
    queues.push_back(std::make_unique<HostParamValueQueue>(id));
    return queues.back().get();
}
