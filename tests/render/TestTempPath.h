#pragma once
// CTest runs each test case as its own process, several at a time, so every case needs
// file names of its own in the shared temporary folder.

#include <filesystem>
#include <fstream>
#include <system_error>
#include <string>

#include <gtest/gtest.h>

inline std::string TestTempPath(const std::string& suffix)
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "kestrum-";
    if (info)
        name += std::string(info->test_suite_name()) + "-" + info->name() + "-";
    for (char& c : name)
    {
        if (c == '/')
            c = '_';
    }
    return ::testing::TempDir() + name + suffix;
}

inline bool FileExists(const std::string& path) { return static_cast<bool>(std::ifstream(path)); }

// Replaces the file's content byte for byte.
inline void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

// True when a temporary file of a render of `path` (named after it, ending in ".partial")
// lies in its folder.
inline bool PartialFileBeside(const std::string& path)
{
    const std::filesystem::path target(path);
    const std::string prefix = target.filename().string() + ".";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(target.parent_path(), error))
    {
        const std::string name = entry.path().filename().string();
        if (name.size() > prefix.size() + 8 && name.compare(0, prefix.size(), prefix) == 0 &&
            name.compare(name.size() - 8, 8, ".partial") == 0)
            return true;
    }
    return false;
}
