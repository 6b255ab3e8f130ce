// The file seam on Windows.

#include "framework/PlatformFiles.h"

#include <algorithm>

#include <shlobj.h>
#include <windows.h>

namespace
{
constexpr int kCommonDocumentsFolderId = 46; // CSIDL_COMMON_DOCUMENTS
constexpr DWORD kCurrentPath = 0;            // SHGFP_TYPE_CURRENT

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
} // namespace

PlatformReadFile::~PlatformReadFile() { Close(); }

bool PlatformReadFile::Open(const char* path)
{
    Close();
    if (!path || !path[0])
        return false;
    const HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // A folder does not open without backup semantics; devices and pipes are no disk files.
    LARGE_INTEGER size{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size))
    {
        CloseHandle(file);
        return false;
    }
    mHandle = reinterpret_cast<intptr_t>(file);
    mSize = size.QuadPart;
    return true;
}

bool PlatformReadFile::ReadAt(int64_t offset, char* into, size_t bytes)
{
    if (AsHandle(mHandle) == INVALID_HANDLE_VALUE || offset < 0)
        return false;
    size_t done = 0;
    while (done < bytes)
    {
        OVERLAPPED at{};
        const uint64_t position = static_cast<uint64_t>(offset) + done;
        at.Offset = static_cast<DWORD>(position);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(AsHandle(mHandle), into + done, want, &got, &at) || got == 0)
            return false;
        done += got;
    }
    return true;
}

void PlatformReadFile::Close()
{
    if (AsHandle(mHandle) != INVALID_HANDLE_VALUE)
        CloseHandle(AsHandle(mHandle));
    mHandle = -1;
    mSize = 0;
}

std::FILE* PlatformFiles::CreateTemporaryBeside(const std::string& path, std::string& temporaryPath)
{
    const size_t slash = path.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    char name[MAX_PATH] = {};
    if (GetTempFileNameA(folder.c_str(), "kst", 0, name) == 0)
        return nullptr;
    std::FILE* file = std::fopen(name, "wb");
    if (!file)
    {
        DeleteFileA(name);
        return nullptr;
    }
    temporaryPath = name;
    return file;
}

bool PlatformFiles::FlushToDisk(std::FILE* file)
{
    // MOVEFILE_WRITE_THROUGH in MoveReplacing waits for the data to reach the disk.
    return std::fflush(file) == 0;
}

bool PlatformFiles::MoveReplacing(const std::string& from, const std::string& to)
{
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::string PlatformFiles::SharedDocumentsFolder()
{
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, kCommonDocumentsFolderId, nullptr, kCurrentPath, folder)) ||
        !folder[0])
        return std::string();
    std::string path = folder;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}
