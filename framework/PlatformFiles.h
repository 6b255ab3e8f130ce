#pragma once
// The few file-system calls the instrument's preset files need, behind one seam: reading a
// regular file at an offset, writing a file next to another and putting it in its place in
// one step, and the folder shared by all users of the computer. CMake compiles one
// implementation: PlatformFilesWin.cpp on Windows, PlatformFilesPosix.cpp elsewhere.
//
// Reading goes straight to the system's calls into a buffer the caller owns, never through
// the C library's buffered streams (which allocate their buffers): a host that automates the
// preset selector makes the instrument read a preset file on the audio thread, where nothing
// may allocate.

#include <cstdint>
#include <cstdio>
#include <string>

// A regular file open for reading; closed when the object goes.
class PlatformReadFile
{
public:
    PlatformReadFile() = default;
    ~PlatformReadFile();
    PlatformReadFile(const PlatformReadFile&) = delete;
    PlatformReadFile& operator=(const PlatformReadFile&) = delete;

    // Opens `path` when it names a regular file. Folders, devices and pipes are refused:
    // reading one could block or never end.
    // [any thread; allocates nothing of its own on POSIX systems; on Windows the system's
    //  path conversion inside CreateFileA is beyond this seam]
    bool Open(const char* path);
    // The size in bytes the file had when it was opened.
    int64_t Size() const { return mSize; }
    // Reads exactly `bytes` bytes starting at `offset`; false when fewer could be read.
    // [any thread; allocates nothing]
    bool ReadAt(int64_t offset, char* into, size_t bytes);

private:
    void Close();

    intptr_t mHandle = -1; // a descriptor, or a Windows handle (-1 is INVALID_HANDLE_VALUE)
    int64_t mSize = 0;
};

namespace PlatformFiles
{
// Creates a new, empty file with a unique name in the folder of `path` and opens it for
// binary writing; its path goes to `temporaryPath`. A file that will replace an existing one
// gets that file's permissions, a new one is readable by every user (the preset library is
// shared by all users of the computer). None on failure, with nothing left behind.
// [window thread]
std::FILE* CreateTemporaryBeside(const std::string& path, std::string& temporaryPath);

// Pushes everything written to the file down to the disk; false when that failed.
// [window thread]
bool FlushToDisk(std::FILE* file);

// Moves the file `from` to `to`, replacing a file already there in one step.
// [window thread]
bool MoveReplacing(const std::string& from, const std::string& to);

// The folder for data shared by all users of the computer, with forward slashes and without
// a trailing slash: Windows' common documents folder; elsewhere "/usr/local/share", the first
// of the system-wide data folders every desktop searches and the place the file-system
// hierarchy gives to data installed locally. Empty when the system cannot name it.
// [any thread]
std::string SharedDocumentsFolder();
} // namespace PlatformFiles
