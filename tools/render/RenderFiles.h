#pragma once
// The renderer's file-system seam: the few file operations whose safe form differs between
// POSIX and Windows. Inputs are untrusted and outputs may go into folders other users can
// write to, so reading never blocks on a pipe or device and writing never follows a name
// someone else put in place.

#include <cstddef>
#include <cstdio>
#include <string>

namespace RenderFiles
{

enum class PathKind
{
    Missing,
    RegularFile,
    Folder,
    Other, // a device, pipe or socket
};

// What the path names, following symbolic links.
PathKind KindOf(const std::string& path);

// True when both paths name one existing file (through links or other spellings too).
bool SameFile(const std::string& a, const std::string& b);

// The folder a file path lies in: "." for a bare file name.
std::string FolderOf(const std::string& path);

// Reads the whole of a regular file of at most maxBytes. Whatever the path names is opened
// without waiting (a named pipe with no writer, a terminal) and refused unless it is a
// regular file. On failure, error is what is wrong with the file as a phrase that follows
// its name ("does not exist", "is not a regular file", "cannot be read (...)").
bool ReadRegularFile(const std::string& path, size_t maxBytes, std::string& text, std::string& error);

// Creates a new, empty file for writing in the folder of `path`, named after it with a
// random part and ".partial" appended. The file is created exclusively: never an existing
// file, and never through a symbolic link, whoever placed it there. Its permissions are
// those of any new file (the process's umask applies). On failure, error says why (the
// system's text).
std::FILE* CreateUniqueBeside(const std::string& path, std::string& createdPath, std::string& error);

} // namespace RenderFiles
