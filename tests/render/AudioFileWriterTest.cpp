#include "tools/render/AudioFileWriter.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "tests/render/TestTempPath.h"

namespace
{

std::vector<unsigned char> ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

uint32_t U32(const std::vector<unsigned char>& bytes, size_t at)
{
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
           (static_cast<uint32_t>(bytes[at + 3]) << 24);
}
uint16_t U16(const std::vector<unsigned char>& bytes, size_t at)
{
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}
std::string Tag(const std::vector<unsigned char>& bytes, size_t at)
{
    return std::string(bytes.begin() + at, bytes.begin() + at + 4);
}

class AudioFileWriterTest : public ::testing::Test
{
protected:
    void TearDown() override { std::remove(path.c_str()); }

    // Writes the frames in two calls, as blocks arrive.
    bool Write(AudioFileFormat format, double rate)
    {
        AudioFileWriter writer;
        std::string error;
        if (!writer.Open(path, format, rate, 5, error))
            return false;
        EXPECT_TRUE(writer.WriteFrames(left, right, 3, error)) << error;
        EXPECT_TRUE(writer.WriteFrames(left + 3, right + 3, 2, error)) << error;
        return writer.Commit(error);
    }

    std::string path = TestTempPath("writer.wav");
    const double left[5] = {0.0, 0.5, -1.0, 1.25, 1e-9};
    const double right[5] = {-0.25, 0.1, 0.75, -1.5, 3.0};
};

TEST_F(AudioFileWriterTest, Float32WavHeaderDescribesStereoIeeeFloat)
{
    ASSERT_TRUE(Write(AudioFileFormat::WavFloat32, 48000.0));
    const std::vector<unsigned char> bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 44u + 5 * 2 * 4);
    EXPECT_EQ(Tag(bytes, 0), "RIFF");
    EXPECT_EQ(U32(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(Tag(bytes, 8), "WAVE");
    EXPECT_EQ(Tag(bytes, 12), "fmt ");
    EXPECT_EQ(U32(bytes, 16), 16u);
    EXPECT_EQ(U16(bytes, 20), 3); // IEEE float
    EXPECT_EQ(U16(bytes, 22), 2);
    EXPECT_EQ(U32(bytes, 24), 48000u);
    EXPECT_EQ(U32(bytes, 28), 48000u * 8);
    EXPECT_EQ(U16(bytes, 32), 8);
    EXPECT_EQ(U16(bytes, 34), 32);
    EXPECT_EQ(Tag(bytes, 36), "data");
    EXPECT_EQ(U32(bytes, 40), 40u);
    for (int frame = 0; frame < 5; ++frame)
    {
        float l, r;
        std::memcpy(&l, &bytes[44 + frame * 8], 4);
        std::memcpy(&r, &bytes[44 + frame * 8 + 4], 4);
        EXPECT_EQ(l, static_cast<float>(left[frame])); // no clipping, no dither
        EXPECT_EQ(r, static_cast<float>(right[frame]));
    }
}

TEST_F(AudioFileWriterTest, Float64WavKeepsEveryBit)
{
    ASSERT_TRUE(Write(AudioFileFormat::WavFloat64, 44100.0));
    const std::vector<unsigned char> bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 44u + 5 * 2 * 8);
    EXPECT_EQ(U16(bytes, 20), 3);
    EXPECT_EQ(U32(bytes, 28), 44100u * 16);
    EXPECT_EQ(U16(bytes, 32), 16);
    EXPECT_EQ(U16(bytes, 34), 64);
    EXPECT_EQ(U32(bytes, 40), 80u);
    double last;
    std::memcpy(&last, &bytes[44 + 4 * 16 + 8], 8);
    EXPECT_EQ(last, 3.0);
}

TEST_F(AudioFileWriterTest, RawFloat64IsInterleavedWithoutHeader)
{
    path = TestTempPath("writer.f64");
    ASSERT_TRUE(Write(AudioFileFormat::RawFloat64, 44100.0));
    const std::vector<unsigned char> bytes = ReadFile(path);
    ASSERT_EQ(bytes.size(), 5u * 2 * 8);
    for (int frame = 0; frame < 5; ++frame)
    {
        double l, r;
        std::memcpy(&l, &bytes[frame * 16], 8);
        std::memcpy(&r, &bytes[frame * 16 + 8], 8);
        EXPECT_EQ(l, left[frame]);
        EXPECT_EQ(r, right[frame]);
    }
}

TEST_F(AudioFileWriterTest, AnUnfinishedFileNeverAppearsAtTheTarget)
{
    {
        AudioFileWriter writer;
        std::string error;
        ASSERT_TRUE(writer.Open(path, AudioFileFormat::WavFloat32, 44100.0, 5, error));
        ASSERT_TRUE(writer.WriteFrames(left, right, 3, error));
        EXPECT_FALSE(writer.Commit(error)); // two frames short
    }
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(PartialFileBeside(path));

    {
        AudioFileWriter writer;
        std::string error;
        ASSERT_TRUE(writer.Open(path, AudioFileFormat::WavFloat32, 44100.0, 5, error));
    } // abandoned
    EXPECT_FALSE(FileExists(path));
    EXPECT_FALSE(PartialFileBeside(path));
}

TEST_F(AudioFileWriterTest, ReplacesAnExistingFile)
{
    std::ofstream(path) << "old content";
    ASSERT_TRUE(Write(AudioFileFormat::WavFloat32, 44100.0));
    EXPECT_EQ(ReadFile(path).size(), 44u + 40u);
}

TEST_F(AudioFileWriterTest, AFolderInTheWayIsRefusedAndKept)
{
    path = TestTempPath("folder.wav");
    std::filesystem::create_directory(path);
    EXPECT_FALSE(Write(AudioFileFormat::WavFloat32, 44100.0));
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_FALSE(PartialFileBeside(path));
    std::filesystem::remove(path);
}

TEST_F(AudioFileWriterTest, TheTemporaryFileIsAlwaysANewOne)
{
    // A file at the name a temporary file could have is someone's file: it stays.
    WriteFile(path + ".partial", "keep");
    AudioFileWriter first, second;
    std::string error;
    ASSERT_TRUE(first.Open(path, AudioFileFormat::WavFloat32, 44100.0, 5, error)) << error;
    ASSERT_TRUE(second.Open(path, AudioFileFormat::WavFloat32, 44100.0, 5, error)) << error;
    EXPECT_NE(first.TemporaryPath(), second.TemporaryPath());
    ASSERT_TRUE(first.WriteFrames(left, right, 5, error));
    ASSERT_TRUE(first.Commit(error)) << error;
    EXPECT_EQ(ReadFile(path).size(), 44u + 40u);
    EXPECT_EQ(ReadFile(path + ".partial"), std::vector<unsigned char>({'k', 'e', 'e', 'p'}));
    std::remove((path + ".partial").c_str());
}

#ifndef _WIN32
// Another user of a shared folder (sticky, writable by all, as /tmp) places links where the
// render's temporary file could go, pointing at a file of the user who renders. The render
// must neither write through them nor fail on them.
TEST_F(AudioFileWriterTest, LinksPlacedByAnotherUserInASharedFolderAreNeverFollowed)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root, to place links as another user (CI runs as root)";
    const passwd* nobody = getpwnam("nobody");
    const uid_t otherUser = nobody ? nobody->pw_uid : 65534; // any unused uid serves as root
    const gid_t otherGroup = nobody ? nobody->pw_gid : 65534;

    const std::string shared = TestTempPath("shared");
    std::filesystem::remove_all(shared);
    ASSERT_TRUE(std::filesystem::create_directory(shared));
    ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
    const std::string victim = TestTempPath("victim.txt");
    WriteFile(victim, "the renderer's own file");
    const std::string target = shared + "/out.wav";

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        int failed = setgroups(0, nullptr) != 0 || setgid(otherGroup) != 0 || setuid(otherUser) != 0;
        failed |= symlink(victim.c_str(), (target + ".partial").c_str()) != 0;
        _exit(failed);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other user could not place the link";

    path = target;
    ASSERT_TRUE(Write(AudioFileFormat::WavFloat32, 44100.0));
    EXPECT_EQ(ReadFile(victim).size(), std::string("the renderer's own file").size());
    EXPECT_TRUE(std::filesystem::is_symlink(target + ".partial")); // the other user's link, left alone
    EXPECT_FALSE(std::filesystem::is_symlink(target));
    EXPECT_EQ(ReadFile(target).size(), 44u + 40u);
    std::filesystem::remove_all(shared);
    std::remove(victim.c_str());
}
#endif

TEST_F(AudioFileWriterTest, UnwritablePlacesAndOversizedFilesAreRefused)
{
    AudioFileWriter writer;
    std::string error;
    EXPECT_FALSE(writer.Open(::testing::TempDir() + "no-such-folder/x/out.wav", AudioFileFormat::WavFloat32,
                             44100.0, 5, error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;

    error.clear();
    EXPECT_FALSE(writer.Open(path, AudioFileFormat::WavFloat32, 44100.0, int64_t{1} << 30, error));
    EXPECT_NE(error.find("WAV"), std::string::npos) << error;
    EXPECT_FALSE(FileExists(path));
    // Raw output is held to the size of a 64-bit WAV file, so no render fills the disk.
    const int64_t rawLimit = AudioFileWriter::MaxFrames(AudioFileFormat::RawFloat64);
    EXPECT_EQ(rawLimit, AudioFileWriter::MaxFrames(AudioFileFormat::WavFloat64));
    EXPECT_FALSE(writer.Open(path, AudioFileFormat::RawFloat64, 44100.0, rawLimit + 1, error));
    EXPECT_TRUE(writer.Open(path, AudioFileFormat::RawFloat64, 44100.0, rawLimit, error));
}

} // namespace
