#pragma once
// The preset bar as the preset actions see it: the current file of the load selector (the
// file loading reads), the current file of the save selector (the file saving writes) and
// the preset name display.
//
// The file selectors own their current files: the file dialogs set them. This base keeps
// them itself, which serves an instrument without an editor (offline rendering, tests:
// there a press finds whatever file was last set here, and no dialog ever opens). The
// editor replaces it with one that reads and writes its controls.

#include "instrument/PresetCatalogue.h"

#include <string>

class PresetBar
{
public:
    // [the thread that destroys the instance]
    virtual ~PresetBar() = default;

    // The load selector's current file; empty when it has none.
    // [any thread, under the plug-in lock]
    virtual std::string LoadFile() const { return mLoadFile; }
    // [any thread, under the plug-in lock]
    virtual void SetLoadFile(const std::string& path) { mLoadFile = path; }
    // The save selector's current file; empty when it has none.
    // [any thread, under the plug-in lock]
    virtual std::string SaveFile() const { return mSaveFile; }
    // [any thread, under the plug-in lock]
    virtual void SetSaveFile(const std::string& path) { mSaveFile = path; }
    // The text of the preset name display.
    // [any thread, under the plug-in lock]
    virtual std::string Name() const { return mName; }
    // [any thread, under the plug-in lock: an editor only stores and marks]
    virtual void ShowName(const std::string& name) { mName = name; }

private:
    std::string mLoadFile;
    std::string mSaveFile;
    std::string mName = PresetCatalogue::kNoPresetText;
};
