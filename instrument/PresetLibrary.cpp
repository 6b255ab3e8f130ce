#include "instrument/PresetLibrary.h"

#include <algorithm>

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#endif

namespace
{

#ifdef _WIN32
constexpr int kCommonDocumentsFolderId = 46; // CSIDL_COMMON_DOCUMENTS
constexpr DWORD kCurrentPath = 0;            // SHGFP_TYPE_CURRENT
#else
constexpr const char* kSharedDataFolder = "/usr/local/share";
#endif

} // namespace

std::string PresetLibrary::PresetLibraryFolder()
{
#ifdef _WIN32
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, kCommonDocumentsFolderId, nullptr, kCurrentPath, folder)) || !folder[0])
        return std::string();
    std::string path = folder;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path + kSubFolder;
#else
    return std::string(kSharedDataFolder) + kSubFolder;
#endif
}

std::string PresetLibrary::WithBackslashes(const std::string& path)
{
    std::string converted = path;
    std::replace(converted.begin(), converted.end(), '/', '\\');
    return converted;
}
