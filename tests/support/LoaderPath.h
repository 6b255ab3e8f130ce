#pragma once
// A path as the platform's library loader wants it: unchanged on Linux; under Wine the Unix
// root is drive Z: with backslashes.

#include <string>

inline std::string LoaderPath(const std::string& path)
{
#ifdef _WIN32
    if (path.empty() || path[0] != '/')
        return path;
    std::string native = "Z:" + path;
    for (char& c : native)
        if (c == '/')
            c = '\\';
    return native;
#else
    return path;
#endif
}
