#pragma once
// The preset bar as the preset actions see it: the current file of the load selector (the
// file loading reads), the current file of the save selector (the file saving writes) and
// the preset name display.
//
// The file selectors own their current files: the file dialogs set them. This base keeps
// them itself, which serves an instrument without an editor (offline rendering, tests:
// there a press finds whatever file was last set here, and no dialog ever opens). The
// editor replaces it with one that reads and writes its controls.
//
// A host that automates the preset selector makes the preset actions run on the audio
// thread, where nothing may allocate: files and names are handed over as texts and read back
// by reference, and the texts are stored in room sized once at construction (a later text
// that fits reuses it).

#include "instrument/PresetCatalogue.h"

#include <string>

class PresetBar
{
public:
    // Room reserved for a file path: more than any catalogue path needs (a system path of
    // at most 260 characters plus the library's sub-folder and file name).
    static constexpr size_t kPathRoom = 1024;

    PresetBar();
    // [the thread that destroys the instance]
    virtual ~PresetBar() = default;

    // The load selector's current file; empty when it has none.
    // [any thread, under the plug-in lock]
    virtual const std::string& LoadFile() const { return mLoadFile; }
    // [any thread, under the plug-in lock; allocates nothing for a path within kPathRoom]
    virtual void SetLoadFile(const char* path) { mLoadFile = path; }
    void SetLoadFile(const std::string& path) { SetLoadFile(path.c_str()); }
    // The save selector's current file; empty when it has none.
    // [any thread, under the plug-in lock]
    virtual const std::string& SaveFile() const { return mSaveFile; }
    // [any thread, under the plug-in lock]
    virtual void SetSaveFile(const char* path) { mSaveFile = path; }
    void SetSaveFile(const std::string& path) { SetSaveFile(path.c_str()); }
    // The text of the preset name display.
    // [any thread, under the plug-in lock]
    virtual std::string Name() const { return mName; }
    // [any thread, under the plug-in lock: an editor only stores and marks; allocates
    //  nothing for a name as the preset actions make them]
    virtual void ShowName(const char* name) { mName = name; }
    void ShowName(const std::string& name) { ShowName(name.c_str()); }

private:
    std::string mLoadFile;
    std::string mSaveFile;
    std::string mName = PresetCatalogue::kNoPresetText;
};

inline PresetBar::PresetBar()
{
    mLoadFile.reserve(kPathRoom);
    mSaveFile.reserve(kPathRoom);
    mName.reserve(kPathRoom);
}
