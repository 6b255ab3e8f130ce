#include "instrument/KestrumEditorPresetBar.h"

#include "graphics/IFileSelectorControl.h"
#include "graphics/ITextControl.h"

KestrumEditorPresetBar::KestrumEditorPresetBar(ITextControl* nameDisplay, IFileSelectorControl* loadSelector,
                                               IFileSelectorControl* saveSelector)
    : mNameDisplay(nameDisplay),
      mLoadSelector(loadSelector),
      mSaveSelector(saveSelector)
{
    // The controls keep their texts in strings that reuse their room for any text that fits:
    // sizing that room once here lets a preset chosen by host automation (on the audio
    // thread) store its path and name without allocating.
    const std::string room(kPathRoom, ' ');
    const std::string name = mNameDisplay->GetText();
    mNameDisplay->SetText(room.c_str());
    mNameDisplay->SetText(name.c_str());
    mLoadSelector->SetFile(room.c_str());
    mLoadSelector->SetFile("");
    mSaveSelector->SetFile(room.c_str());
    mSaveSelector->SetFile("");
}

const std::string& KestrumEditorPresetBar::LoadFile() const { return mLoadSelector->File(); }

void KestrumEditorPresetBar::SetLoadFile(const char* path) { mLoadSelector->SetFile(path); }

const std::string& KestrumEditorPresetBar::SaveFile() const { return mSaveSelector->File(); }

void KestrumEditorPresetBar::SetSaveFile(const char* path) { mSaveSelector->SetFile(path); }

std::string KestrumEditorPresetBar::Name() const { return mNameDisplay->GetText(); }

void KestrumEditorPresetBar::ShowName(const char* name) { mNameDisplay->SetText(name); }
