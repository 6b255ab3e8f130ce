// The preset actions of the Kestrum instrument: stepping through the catalogue, choosing
// from the preset menu, and the load and save buttons, each reading or writing one preset
// file in the library folder. They run inside OnParameterChange, under the plug-in lock.

#include "instrument/Kestrum.h"

#include "instrument/PresetCatalogue.h"
#include "instrument/PresetFile.h"

#include <cstring>
#include <string_view>

void Kestrum::OnPresetParameterChange(int paramIndex)
{
    // A restored state carries the preset parameters as well; they are stored values, not
    // choices or presses, and must neither load nor write anything.
    if (mRestoringState)
        return;
    const double value = GetParam(paramIndex)->Value();
    switch (paramIndex)
    {
        case kPresetBackward:
        case kPresetForward:
            // The step buttons report 1 when pressed and 0 when released.
            if (value != 1.0)
                return;
            VoiceReset();
            SetPresetSelector(mLastPresetNumber);
            StepPreset(paramIndex == kPresetForward ? +1 : -1);
            FinishPresetSelection();
            return;
        case kPresetLoad:
            // Only a press of the button loads: a host replaying the parameter (automation,
            // echoes of the editor's own change) must not reload a file behind the user's back.
            if (mPressedFileButton == kPresetLoad)
                LoadPresetFile();
            return;
        case kPresetSave:
            // Only a press writes: anything else would overwrite a file without a prompt.
            if (mPressedFileButton == kPresetSave)
                SavePresetFile();
            return;
        case kPresetSelector:
            VoiceReset();
            FinishPresetSelection();
            return;
        default: return;
    }
}

int32_t Kestrum::LoadState(const ChunkBuffer& chunk, int32_t startPos)
{
    PlugLockGuard guard(PluginLock());
    mRestoringState = true;
    const int32_t position = PluginAdapter::LoadState(chunk, startPos);
    mRestoringState = false;
    // The voice values in a state are those of the moment it was saved. A key held then is
    // not held now: without this the engine would see the stored open gate as a new hit. So
    // the gate closes and the notes are forgotten. The retrigger token stays as restored (the
    // engine already has it): the next note-on steps it to a new value, which the engine
    // takes as a new hit even when the gate it last saw was open, and a state saved again
    // right away reads back byte for byte. A refused chunk changed nothing, the voice included.
    if (position < 0)
        return position;
    const float restoredToken = static_cast<float>(GetParam(kVoice00_NoteRetrig)->Value());
    VoiceReset();
    mRetriggerToken = restoredToken;
    return position;
}

void Kestrum::SetPresetBar(std::unique_ptr<PresetBar> bar)
{
    if (bar)
        mPresetBar = std::move(bar);
}

void Kestrum::SetPresetSelector(double value)
{
    PluginParameter* selector = GetParam(kPresetSelector);
    selector->SetPlainValue(value); // clamped to -1 ... 10000
    EngineSetParameter(mEngine, kPresetSelector, selector->Value());
}

void Kestrum::StepPreset(int direction) { SetPresetSelector(GetParam(kPresetSelector)->Value() + direction); }

void Kestrum::FinishPresetSelection()
{
    SelectPresetFile();
    LoadPresetFile();
    // The selector only carries a choice; the next step starts from the number chosen.
    mLastPresetNumber = static_cast<float>(GetParam(kPresetSelector)->Value());
    SetPresetSelector(0.0); // the host is not told
}

void Kestrum::SelectPresetFile()
{
    // Without a library folder a catalogue file would become a path relative to whatever
    // folder the host runs in; then nothing is selected. The path is built on the stack: a
    // host that automates the selector makes this run on the audio thread.
    const char* file = PresetCatalogue::PresetFileNameForNumber(GetParam(kPresetSelector)->Value());
    const std::string_view folder = mPresetLibraryFolder;
    const std::string_view name = file ? file : "";
    char path[PresetBar::kPathRoom];
    if (folder.empty() || folder.size() + name.size() >= sizeof path)
    {
        mPresetBar->SetLoadFile("");
        return;
    }
    std::memcpy(path, folder.data(), folder.size());
    std::memcpy(path + folder.size(), name.data(), name.size());
    path[folder.size() + name.size()] = '\0';
    mPresetBar->SetLoadFile(path);
}

void Kestrum::LoadPresetFile()
{
    // Reads through the instance's own line buffer and names the preset on the stack: on the
    // audio thread (host automation of the preset parameters) nothing may allocate.
    const std::string& path = mPresetBar->LoadFile();
    PresetFile::ReadValues values;
    if (!PresetFile::ReadFile(path.c_str(), mPresetLine.get(), PresetFile::kMaxLineBytes, values))
        return;

    for (int i = 0; i < PresetFile::kValueCount; ++i)
    {
        if (!values[i])
            continue; // missing tags or no number: the parameter keeps its value
        // Shown in the editor, passed to the engine; the host is not told.
        ApplyParameterValue(PresetFile::Tags()[i].paramIndex, *values[i], false, ValueOrigin::Instrument);
    }
    PresetFile::NameText name;
    PresetFile::DisplayName(path, name);
    mPresetBar->ShowName(name.data());
}

void Kestrum::SavePresetFile()
{
    const std::string& path = mPresetBar->SaveFile();
    PresetFile::Values values{};
    for (int i = 0; i < PresetFile::kValueCount; ++i)
        values[i] = GetParam(PresetFile::Tags()[i].paramIndex)->Value();
    // A file that cannot be written is not reported; the old file stays as it was.
    PresetFile::WriteAtomically(path, PresetFile::Format(values));
    const std::string name = PresetFile::DisplayName(path);
    if (!name.empty())
        mPresetBar->ShowName(name);
}
