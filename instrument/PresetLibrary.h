#pragma once
// Where the preset files live: one library folder shared by all users of the computer,
// with the factory and welcome presets in "Factory/" and the user slots in "User/".
//
// Windows: the common documents folder (C:\Users\Public\Documents on current systems)
// followed by "/QuorvexAudio/Kestrum/Presets/", with forward slashes throughout.
// Linux: "/usr/local/share/QuorvexAudio/Kestrum/Presets/", the first of the system-wide
// data folders every desktop searches (XDG_DATA_DIRS defaults to /usr/local/share first)
// and the place the file-system hierarchy gives to data installed locally rather than by
// the distribution's packages. It is a fixed path: the product reads no setting of its own.
//
// The program never creates the folder or its files; scripts/install-presets does.

#include <string>

class PresetLibrary
{
public:
    static constexpr const char* kSubFolder = "/QuorvexAudio/Kestrum/Presets/";

    // The library folder, ending with "/"; empty when the system cannot name the shared
    // documents folder (then nothing loads from the catalogue).
    static std::string PresetLibraryFolder();

    // The folder with every "/" turned into "\", as the Windows file dialogs want it.
    static std::string WithBackslashes(const std::string& path);
};
