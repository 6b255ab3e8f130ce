#pragma once
// CTest runs each test case as its own process, several at a time, so every case needs
// file names of its own in the shared temporary folder.

#include <fstream>
#include <string>

#include <gtest/gtest.h>

inline std::string TestTempPath(const std::string& suffix)
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "kestrum-";
    if (info) name += std::string(info->test_suite_name()) + "-" + info->name() + "-";
    for (char& c : name)
    {
        if (c == '/') c = '_';
    }
    return ::testing::TempDir() + name + suffix;
}

inline bool FileExists(const std::string& path)
{
    return static_cast<bool>(std::ifstream(path));
}

// Replaces the file's content byte for byte.
inline void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}
