#include "tools/render/RenderFiles.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{

constexpr int kCreateAttempts = 100;

// Eight hexadecimal digits. Exclusive creation makes a guessed name harmless; the random
// part only keeps renders beside one another from meeting.
std::string RandomPart()
{
    static std::mt19937_64 generator = []
    {
        std::random_device device;
        const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        std::seed_seq seed{device(), device(), static_cast<unsigned>(now), static_cast<unsigned>(now >> 32)};
        return std::mt19937_64(seed);
    }();
    char text[9];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(generator() & 0xFFFFFFFFu));
    return text;
}

std::string CandidateBeside(const std::string& path) { return path + "." + RandomPart() + ".partial"; }

} // namespace

namespace RenderFiles
{

PathKind KindOf(const std::string& path)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found ||
        status.type() == std::filesystem::file_type::none)
        return PathKind::Missing;
    if (std::filesystem::is_regular_file(status))
        return PathKind::RegularFile;
    if (std::filesystem::is_directory(status))
        return PathKind::Folder;
    return PathKind::Other;
}

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

std::string FolderOf(const std::string& path)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

#ifdef _WIN32

namespace
{

std::string WindowsErrorText(DWORD code)
{
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
        return "does not exist";
    return std::system_category().message(static_cast<int>(code));
}

struct HandleCloser
{
    HANDLE handle;
    ~HandleCloser() { CloseHandle(handle); }
};

} // namespace

bool ReadRegularFile(const std::string& path, size_t maxBytes, std::string& text, std::string& error)
{
    text.clear();
    // Backup semantics lets a folder open too, so that it is named as one.
    const HANDLE handle =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
    {
        error = WindowsErrorText(GetLastError());
        return false;
    }
    HandleCloser closer{handle};
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &information))
    {
        error = "is not a regular file";
        return false;
    }
    if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    {
        error = "is a folder, not a readable file";
        return false;
    }
    char chunk[1 << 16];
    for (;;)
    {
        DWORD got = 0;
        if (!ReadFile(handle, chunk, sizeof chunk, &got, nullptr))
        {
            error = WindowsErrorText(GetLastError());
            return false;
        }
        if (got == 0)
            return true;
        text.append(chunk, got);
        if (text.size() > maxBytes)
        {
            error = "is larger than " + std::to_string(maxBytes) + " bytes";
            return false;
        }
    }
}

std::FILE* CreateUniqueBeside(const std::string& path, std::string& createdPath, std::string& error)
{
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt)
    {
        const std::string candidate = CandidateBeside(path);
        // CREATE_NEW fails on any existing name, a link or a folder included.
        const HANDLE handle = CreateFileA(candidate.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
        {
            const DWORD code = GetLastError();
            if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
                continue;
            error = WindowsErrorText(code);
            return nullptr;
        }
        const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
        std::FILE* file = descriptor >= 0 ? _fdopen(descriptor, "wb") : nullptr;
        if (!file)
        {
            if (descriptor >= 0)
                _close(descriptor);
            else
                CloseHandle(handle);
            DeleteFileA(candidate.c_str());
            error = "cannot open the new file";
            return nullptr;
        }
        createdPath = candidate;
        return file;
    }
    error = "no free temporary name";
    return nullptr;
}

#else

namespace
{

std::string UnreadableText(int code) { return std::string("cannot be read (") + std::strerror(code) + ")"; }

} // namespace

bool ReadRegularFile(const std::string& path, size_t maxBytes, std::string& text, std::string& error)
{
    text.clear();
    // Without O_NONBLOCK, opening a named pipe waits for a writer, for ever if none comes.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
    {
        error = errno == ENOENT ? "does not exist" : UnreadableText(errno);
        return false;
    }
    struct Closer
    {
        int descriptor;
        ~Closer() { close(descriptor); }
    } closer{descriptor};
    struct stat information;
    if (fstat(descriptor, &information) != 0)
    {
        error = UnreadableText(errno);
        return false;
    }
    if (!S_ISREG(information.st_mode))
    {
        error = S_ISDIR(information.st_mode) ? "is a folder, not a readable file" : "is not a regular file";
        return false;
    }
    if (static_cast<uintmax_t>(information.st_size) > maxBytes)
    {
        error = "is larger than " + std::to_string(maxBytes) + " bytes";
        return false;
    }
    char chunk[1 << 16];
    for (;;)
    {
        const ssize_t got = read(descriptor, chunk, sizeof chunk);
        if (got < 0)
        {
            error = UnreadableText(errno);
            return false;
        }
        if (got == 0)
            return true;
        text.append(chunk, static_cast<size_t>(got));
        if (text.size() > maxBytes) // the file grew while it was read
        {
            error = "is larger than " + std::to_string(maxBytes) + " bytes";
            return false;
        }
    }
}

std::FILE* CreateUniqueBeside(const std::string& path, std::string& createdPath, std::string& error)
{
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt)
    {
        const std::string candidate = CandidateBeside(path);
        const int descriptor =
            open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor < 0)
        {
            if (errno == EEXIST)
                continue;
            error = std::strerror(errno);
            return nullptr;
        }
        std::FILE* file = fdopen(descriptor, "wb");
        if (!file)
        {
            error = std::strerror(errno);
            close(descriptor);
            unlink(candidate.c_str());
            return nullptr;
        }
        createdPath = candidate;
        return file;
    }
    error = "no free temporary name";
    return nullptr;
}

#endif

} // namespace RenderFiles
