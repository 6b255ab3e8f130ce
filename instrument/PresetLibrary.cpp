#include "instrument/PresetLibrary.h"

#include <algorithm>

#include "framework/PlatformFiles.h"

std::string PresetLibrary::PresetLibraryFolder()
{
    const std::string shared = PlatformFiles::SharedDocumentsFolder();
    if (shared.empty())
        return std::string();
    return shared + kSubFolder;
}

std::string PresetLibrary::WithBackslashes(const std::string& path)
{
    std::string converted = path;
    std::replace(converted.begin(), converted.end(), '/', '\\');
    return converted;
}
