#include "vst3/IPlugVST3.h"
#include "vst3/Vst3Conversions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

// The edit controller: the parameters declared to the host and their values and texts, the
// units and the program list.

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Vst3Conversions;

void IPlugVST3::DeclareParameters()
{
    if (NumPresets() > 0)
        parameters.addParameter(STR16("Preset"), nullptr, NumPresets(), 0.0, ParameterInfo::kIsProgramChange,
                                kPresetParamId, kRootUnitId);
    if (!IsInstrument())
    {
        auto* bypass = new StringListParameter(
            STR16("Bypass"), kBypassParamId, nullptr,
            ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass, kRootUnitId);
        bypass->appendString(STR16("off"));
        bypass->appendString(STR16("on"));
        parameters.addParameter(bypass);
    }
    for (int i = 0; i < NumParams(); ++i)
        DeclareCoreParameter(i);
}

UnitID IPlugVST3::UnitForGroup(const char* group)
{
    if (group == nullptr || group[0] == 0)
        return kRootUnitId;
    for (size_t i = 0; i < mGroups.size(); ++i)
        if (mGroups[i] == group)
            return static_cast<UnitID>(i + 1);
    mGroups.emplace_back(group);
    return static_cast<UnitID>(mGroups.size());
}

void IPlugVST3::DeclareCoreParameter(int paramIndex)
{
    const PluginParameter* p = GetParam(paramIndex);
    String128 title;
    String128 units;
    Widen(p->Name(), title);
    Widen(p->GetDisplayLabel(), units);
    const UnitID unit = UnitForGroup(p->Group());
    const ParamID id = static_cast<ParamID>(paramIndex);
    const int32 automate = p->CanAutomate() ? ParameterInfo::kCanAutomate : 0;

    if (p->Type() == ParameterType::BoolType || p->Type() == ParameterType::EnumType)
    {
        auto* list = new StringListParameter(title, id, units, ParameterInfo::kIsList | automate, unit);
        for (int value = 0; value < p->NumDisplayTexts(); ++value)
        {
            const char* text = "";
            for (const DisplayTextEntry& entry : p->DisplayTexts())
                if (entry.value == value)
                {
                    text = entry.text;
                    break;
                }
            String128 entryText;
            Widen(text, entryText);
            list->appendString(entryText);
        }
        parameters.addParameter(list);
        return;
    }
    auto* range =
        new RangeParameter(title, id, units, p->Min(), p->Max(), p->DefaultValue(), 0, automate, unit);
    range->setPrecision(static_cast<int32>(p->DisplayPrecision()));
    parameters.addParameter(range);
}

tresult PLUGIN_API IPlugVST3::getParameterInfo(int32 paramIndex, ParameterInfo& info)
{
    if (paramIndex < 0 || paramIndex >= parameters.getParameterCount())
        return kInvalidArgument;
    return SingleComponentEffect::getParameterInfo(paramIndex, info);
}

tresult PLUGIN_API IPlugVST3::getParamStringByValue(ParamID id, ParamValue normalized, String128 string)
{
    if (string == nullptr || id >= static_cast<ParamID>(NumParams()))
        return kResultFalse;
    const PluginParameter* p = GetParam(static_cast<int>(id));
    const double n = normalized > 0.0 ? std::min(1.0, normalized) : 0.0;
    const double plain = p->Min() + (p->Max() - p->Min()) * std::pow(n, p->Shape());

    char text[128] = {};
    const int truncated = static_cast<int>(plain);
    for (const DisplayTextEntry& entry : p->DisplayTexts())
    {
        if (entry.value == truncated && entry.text[0] != 0)
        {
            std::snprintf(text, sizeof(text), "%s", entry.text);
            break;
        }
    }
    if (text[0] == 0)
    {
        const double shown = p->NegateDisplay() ? -plain : plain;
        if (p->DisplayPrecision() > 0)
            std::snprintf(text, sizeof(text), "%.*f", static_cast<int>(p->DisplayPrecision()), shown);
        else
            std::snprintf(text, sizeof(text), "%d", static_cast<int>(shown));
    }
    Widen(text, string);
    return kResultOk;
}

ParamValue PLUGIN_API IPlugVST3::plainParamToNormalized(ParamID id, ParamValue plain)
{
    if (id >= static_cast<ParamID>(NumParams()))
        return plain;
    const PluginParameter* p = GetParam(static_cast<int>(id));
    if (!(p->Max() > p->Min()))
        return 0.0;
    const double clamped = std::clamp(plain, p->Min(), p->Max());
    return std::pow((clamped - p->Min()) / (p->Max() - p->Min()), 1.0 / p->Shape());
}

ParamValue PLUGIN_API IPlugVST3::getParamNormalized(ParamID id)
{
    if (id == kBypassParamId)
        return mBypassed ? 1.0 : 0.0;
    if (id >= static_cast<ParamID>(NumParams()))
        return 0.0;
    const PluginParameter* p = GetParam(static_cast<int>(id));
    return p->GetNormalized();
}

tresult PLUGIN_API IPlugVST3::setParamNormalized(ParamID id, ParamValue value)
{
    if (id >= static_cast<ParamID>(NumParams()))
        return kResultFalse;
    // The controller's copy only: the host sends every change it makes to process() as well,
    // where SetParameterFromHost applies it on the audio thread (engine, editor, preset
    // reactions). Applying it here too would run each reaction twice: a step button automated
    // by the host would step two presets, and the file would be read on this thread behind the
    // audio thread's back.
    GetParam(static_cast<int>(id))->SetFromNormalized(LimitNormalized(value));
    return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getParamValueByString(ParamID id, TChar* string, ParamValue& normalized)
{
    // The parameters' own parsers would read through a missing text.
    if (string == nullptr)
        return kInvalidArgument;
    ParamValue parsed = 0.0;
    if (SingleComponentEffect::getParamValueByString(id, string, parsed) != kResultTrue || std::isnan(parsed))
        return kResultFalse;
    normalized = LimitNormalized(parsed);
    return kResultOk;
}

// Units and programs.

int32 PLUGIN_API IPlugVST3::getUnitCount() { return static_cast<int32>(mGroups.size()) + 1; }

tresult PLUGIN_API IPlugVST3::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
    if (unitIndex < 0 || unitIndex > static_cast<int32>(mGroups.size()))
        return kResultFalse;
    info.id = unitIndex;
    info.parentUnitId = unitIndex == 0 ? kNoParentUnitId : kRootUnitId;
    info.programListId = kNoProgramListId;
    Widen(unitIndex == 0 ? "Root Unit" : mGroups[unitIndex - 1].c_str(), info.name);
    return kResultOk;
}

int32 PLUGIN_API IPlugVST3::getProgramListCount() { return 0; }

tresult PLUGIN_API IPlugVST3::getProgramListInfo(int32 listIndex, ProgramListInfo& info)
{
    if (listIndex != 0)
        return kResultFalse;
    info.id = kPresetListId;
    Widen("Factory Presets", info.name);
    info.programCount = NumPresets();
    return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name)
{
    if (listId != kPresetListId || name == nullptr)
        return kResultFalse;
    Widen(PresetNameAt(programIndex), name);
    return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramInfo(ProgramListID, int32, Vst::CString, String128)
{
    return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::hasProgramPitchNames(ProgramListID, int32) { return kNotImplemented; }

tresult PLUGIN_API IPlugVST3::getProgramPitchName(ProgramListID, int32, int16, String128)
{
    return kNotImplemented;
}

UnitID PLUGIN_API IPlugVST3::getSelectedUnit() { return kRootUnitId; }

tresult PLUGIN_API IPlugVST3::selectUnit(UnitID) { return kNotImplemented; }

tresult PLUGIN_API IPlugVST3::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&)
{
    return kNotImplemented;
}

tresult PLUGIN_API IPlugVST3::setUnitProgramData(int32, int32, IBStream*) { return kNotImplemented; }
