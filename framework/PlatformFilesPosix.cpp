// The file seam on POSIX systems (Linux).

#include "framework/PlatformFiles.h"

#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

PlatformReadFile::~PlatformReadFile() { Close(); }

bool PlatformReadFile::Open(const char* path)
{
    Close();
    if (!path || !path[0])
        return false;
    // O_NONBLOCK: opening a named pipe must not wait for a writer; it is refused below.
    const int descriptor = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0)
        return false;
    struct stat info;
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode))
    {
        ::close(descriptor);
        return false;
    }
    mHandle = descriptor;
    mSize = static_cast<int64_t>(info.st_size);
    return true;
}

bool PlatformReadFile::ReadAt(int64_t offset, char* into, size_t bytes)
{
    if (mHandle < 0 || offset < 0)
        return false;
    size_t done = 0;
    while (done < bytes)
    {
        const ssize_t got = ::pread(static_cast<int>(mHandle), into + done, bytes - done,
                                    static_cast<off_t>(offset + static_cast<int64_t>(done)));
        if (got <= 0)
            return false;
        done += static_cast<size_t>(got);
    }
    return true;
}

void PlatformReadFile::Close()
{
    if (mHandle >= 0)
        ::close(static_cast<int>(mHandle));
    mHandle = -1;
    mSize = 0;
}

std::FILE* PlatformFiles::CreateTemporaryBeside(const std::string& path, std::string& temporaryPath)
{
    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof(suffix)); // with the terminator
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0)
        return nullptr;
    struct stat target;
    fchmod(descriptor, stat(path.c_str(), &target) == 0 ? (target.st_mode & 07777) : 0644);
    std::FILE* file = fdopen(descriptor, "wb");
    if (!file)
    {
        close(descriptor);
        unlink(name.data());
        return nullptr;
    }
    temporaryPath = name.data();
    return file;
}

bool PlatformFiles::FlushToDisk(std::FILE* file)
{
    return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

bool PlatformFiles::MoveReplacing(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

std::string PlatformFiles::SharedDocumentsFolder() { return "/usr/local/share"; }
