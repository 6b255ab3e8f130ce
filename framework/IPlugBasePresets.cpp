#include "framework/IPlugBase.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

// Preset slots and the preset bank: loading, filling and modifying slots, and the bank body
// hosts store (per slot its name, its initialised flag and its state).

namespace
{
constexpr const char* kUserPresetText = "user preset";
constexpr const char* kUnnamedDefaultPreset = "Empty";
} // namespace

Preset* IPlugBase::GetPresetSlot(int presetIndex)
{
    if (presetIndex < 0 || presetIndex >= NumPresets())
        return nullptr;
    return mPresets[static_cast<size_t>(presetIndex)].get();
}

const char* IPlugBase::PresetNameAt(int presetIndex) const
{
    if (presetIndex < 0 || presetIndex >= NumPresets())
        return "";
    return mPresets[static_cast<size_t>(presetIndex)]->name;
}

bool IPlugBase::LoadPresetSlot(int presetIndex)
{
    Preset* slot = GetPresetSlot(presetIndex);
    if (!slot)
        return false;
    PlugLockGuard guard(mLock);
    bool loaded = false;
    if (slot->initialized)
    {
        loaded = LoadState(slot->state, 0) > 0;
    }
    else
    {
        slot->initialized = true;
        int userPresets = 0;
        for (const auto& preset : mPresets)
            if (std::strstr(preset->name, kUserPresetText))
                ++userPresets;
        char name[Preset::kNameBytes];
        std::snprintf(name, sizeof name, "%s %d", kUserPresetText, userPresets + 1);
        slot->SetName(name);
        slot->state.Clear();
        loaded = SaveState(slot->state);
    }
    if (loaded)
    {
        mCurrentPreset = presetIndex;
        OnPresetsChanged();
        RefreshParameterControls();
    }
    return loaded;
}

void IPlugBase::FillDefaultPresets(const char* name, int count)
{
    PlugLockGuard guard(mLock);
    const char* slotName = (name && name[0] != '\0') ? name : kUnnamedDefaultPreset;
    for (int pass = 0; pass < count; ++pass)
    {
        auto fresh = std::find_if(mPresets.begin(), mPresets.end(),
                                  [](const std::unique_ptr<Preset>& preset) { return !preset->initialized; });
        if (fresh == mPresets.end())
            break; // every later pass would find none either
        Preset& slot = **fresh;
        slot.initialized = true;
        slot.SetName(slotName);
        slot.state.Clear();
        SaveState(slot.state);
    }
}

void IPlugBase::ModifyCurrentPreset(const char* name)
{
    PlugLockGuard guard(mLock);
    Preset* slot = GetPresetSlot(mCurrentPreset);
    if (!slot)
        return;
    slot->state.Clear();
    SaveState(slot->state);
    if (name && name[0] != '\0')
        slot->SetName(name);
}

bool IPlugBase::SerializePresets(ChunkBuffer& chunk)
{
    PlugLockGuard guard(mLock);
    for (const auto& preset : mPresets)
    {
        if (!chunk.PutString(preset->name) || !chunk.PutByte(preset->initialized ? 1 : 0))
            return false;
        if (preset->initialized && !chunk.PutBytes(preset->state.Data(), preset->state.Size()))
            return false;
    }
    return true;
}

int32_t IPlugBase::ReadPresetName(const ChunkBuffer& chunk, int32_t pos, char* nameText, int nameBytes) const
{
    int32_t length = 0;
    const int32_t afterLength = chunk.GetInt32(length, pos);
    if (afterLength < 0)
        return -1;
    // A negative length would move the reading backwards; no writer produces one, so the
    // record is corrupt and reading stops here.
    if (length < 0)
        return -1;
    const int64_t end = static_cast<int64_t>(afterLength) + length;
    if (end > chunk.Size())
        return -1; // the name runs past the end: the flag cannot be read either
    if (length > 0)
    {
        const uint8_t* bytes = chunk.Data() + afterLength;
        int n = 0;
        for (; n < length && n < nameBytes - 1 && bytes[n] != 0; ++n)
            nameText[n] = static_cast<char>(bytes[n]);
        nameText[n] = '\0';
    }
    return static_cast<int32_t>(end);
}

int32_t IPlugBase::UnserializePresets(const ChunkBuffer& chunk, int32_t startPos)
{
    PlugLockGuard guard(mLock);
    // All or nothing: the whole bank is walked once without touching a slot, and applied
    // only when every record reads.
    const int32_t stateBytes = StateBytes();
    if (WalkPresetBank(chunk, startPos, stateBytes, false) < 0)
        return -1;
    const int32_t pos = WalkPresetBank(chunk, startPos, stateBytes, true);
    LoadPresetSlot(mCurrentPreset);
    return pos;
}

int32_t IPlugBase::WalkPresetBank(const ChunkBuffer& chunk, int32_t startPos, int32_t stateBytes, bool apply)
{
    int32_t pos = startPos;
    // A record with an empty name takes the previous record's name.
    char nameText[Preset::kNameBytes] = {};
    for (auto& preset : mPresets)
    {
        if (pos < 0)
            return -1;
        const int32_t nameEnd = ReadPresetName(chunk, pos, nameText, sizeof nameText);
        uint8_t flag = 0;
        pos = (nameEnd >= 0) ? chunk.GetByte(flag, nameEnd) : -1;
        if (pos < 0)
            return -1;
        const bool initialized = flag != 0;
        if (!apply)
        {
            if (initialized)
                pos = (static_cast<int64_t>(pos) + stateBytes <= chunk.Size()) ? pos + stateBytes : -1;
            continue;
        }
        preset->SetName(nameText);
        preset->initialized = initialized;
        if (initialized)
        {
            pos = LoadState(chunk, pos);
            if (pos > 0)
            {
                preset->state.Clear();
                SaveState(preset->state);
            }
        }
    }
    return pos;
}
