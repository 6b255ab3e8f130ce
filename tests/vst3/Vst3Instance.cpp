#include "tests/vst3/Vst3Instance.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

VstModule& TheModule()
{
    static VstModule module(KESTRUM_VST3_MODULE_PATH);
    return module;
}

const TUID& KestrumClassId()
{
    static const TUID cid = INLINE_UID(0xF2AEE70D, 0x00DE4F4E, 0x51767278, 0x4B6D7138);
    return cid;
}

Vst3Instance::Vst3Instance(bool initialize)
{
    IPluginFactory* factory = TheModule().Factory();
    if (factory == nullptr)
        return;
    void* obj = nullptr;
    if (factory->createInstance(KestrumClassId(), IComponent::iid, &obj) != kResultOk || obj == nullptr)
        return;
    component = static_cast<IComponent*>(obj);
    component->queryInterface(IAudioProcessor::iid, reinterpret_cast<void**>(&processor));
    component->queryInterface(IEditController::iid, reinterpret_cast<void**>(&controller));
    component->queryInterface(IUnitInfo::iid, reinterpret_cast<void**>(&units));
    if (initialize)
    {
        initialized = component->initialize(&host) == kResultOk;
        if (controller)
            controller->setComponentHandler(&handler);
    }
}

Vst3Instance::~Vst3Instance()
{
    if (component == nullptr)
        return;
    if (initialized)
    {
        component->setActive(false);
        if (controller)
            controller->setComponentHandler(nullptr);
        component->terminate();
    }
    if (units)
        units->release();
    if (controller)
        controller->release();
    if (processor)
        processor->release();
    component->release();
}

bool Vst3Instance::Start(int32 symbolicSampleSize, int32 maxFrames, double sampleRate)
{
    // Hosts activate the buses flagged default-active before they start.
    component->activateBus(kAudio, kInput, 0, true);
    component->activateBus(kAudio, kOutput, 0, true);
    component->activateBus(kEvent, kInput, 0, true);
    ProcessSetup setup{kRealtime, symbolicSampleSize, maxFrames, sampleRate};
    if (processor->setupProcessing(setup) != kResultOk)
        return false;
    if (component->setActive(true) != kResultOk)
        return false;
    const tresult processing = processor->setProcessing(true);
    return processing == kResultOk || processing == kNotImplemented;
}

int Vst3Instance::IndexOfParameter(ParamID id)
{
    const int32 count = controller->getParameterCount();
    for (int32 i = 0; i < count; ++i)
    {
        ParameterInfo info{};
        if (controller->getParameterInfo(i, info) == kResultOk && info.id == id)
            return i;
    }
    return -1;
}

std::vector<uint8_t> Vst3Instance::State()
{
    MemoryStream stream;
    if (component->getState(&stream) != kResultOk)
        return {};
    return stream.Bytes();
}
