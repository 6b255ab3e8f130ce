#pragma once
// The preset bar as the preset actions see it, read from and written to the editor's
// controls: the load and save file selectors hold the current files (the file dialogs set
// them) and the text control shows the preset name. The editor owns the three controls and
// outlives this object's use: both belong to the instrument, which destroys its editor last.

#include "instrument/PresetBar.h"

class IFileSelectorControl;
class ITextControl;

class KestrumEditorPresetBar : public PresetBar
{
public:
    KestrumEditorPresetBar(ITextControl* nameDisplay, IFileSelectorControl* loadSelector,
                           IFileSelectorControl* saveSelector);

    // [any thread, under the plug-in lock]
    const std::string& LoadFile() const override;
    // [any thread, under the plug-in lock]
    void SetLoadFile(const char* path) override;
    // [any thread, under the plug-in lock]
    const std::string& SaveFile() const override;
    // [any thread, under the plug-in lock]
    void SetSaveFile(const char* path) override;
    // [any thread, under the plug-in lock]
    std::string Name() const override;
    // [any thread, under the plug-in lock: the text control only stores and marks]
    void ShowName(const char* name) override;
    using PresetBar::SetLoadFile;
    using PresetBar::SetSaveFile;
    using PresetBar::ShowName;

private:
    ITextControl* mNameDisplay;
    IFileSelectorControl* mLoadSelector;
    IFileSelectorControl* mSaveSelector;
};
