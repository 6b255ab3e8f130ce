#include "instrument/KestrumEditorPresetBar.h"

#include "graphics/IFileSelectorControl.h"
#include "graphics/ITextControl.h"

KestrumEditorPresetBar::KestrumEditorPresetBar(ITextControl* nameDisplay, IFileSelectorControl* loadSelector,
                                               IFileSelectorControl* saveSelector)
    : mNameDisplay(nameDisplay), mLoadSelector(loadSelector), mSaveSelector(saveSelector)
{
}

std::string KestrumEditorPresetBar::LoadFile() const
{
    return mLoadSelector->File();
}

void KestrumEditorPresetBar::SetLoadFile(const std::string& path)
{
    mLoadSelector->SetFile(path.c_str());
}

std::string KestrumEditorPresetBar::SaveFile() const
{
    return mSaveSelector->File();
}

void KestrumEditorPresetBar::SetSaveFile(const std::string& path)
{
    mSaveSelector->SetFile(path.c_str());
}

std::string KestrumEditorPresetBar::Name() const
{
    return mNameDisplay->GetText();
}

void KestrumEditorPresetBar::ShowName(const std::string& name)
{
    mNameDisplay->SetText(name.c_str());
}
