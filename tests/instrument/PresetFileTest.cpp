// The preset file on its own: the exact text written, how numbers are read (as the C
// conversion reads them, never in the process's locale), which line of a file counts, what
// hostile files do, the name a path shows, and saving that never leaves half a file.

#include "instrument/PresetFile.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <locale>

#include <gtest/gtest.h>

#include "engine/EngineParameterRecord.h"
#include "tests/render/TestTempPath.h"

namespace
{

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A decimal comma and a thousands dot, as many hosts' locales have them.
struct CommaNumpunct : std::numpunct<char>
{
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

// Sets a decimal-comma C++ global locale, and a decimal-comma C locale where the system has
// one; restores both at the end.
class DecimalCommaLocale
{
public:
    DecimalCommaLocale()
        : mPrevious(std::locale::global(std::locale(std::locale::classic(), new CommaNumpunct)))
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252", "German"})
        {
            if (std::setlocale(LC_NUMERIC, name))
            {
                cLocaleSet = true;
                break;
            }
        }
    }
    ~DecimalCommaLocale()
    {
        std::setlocale(LC_NUMERIC, "C");
        std::locale::global(mPrevious);
    }
    bool cLocaleSet = false;

private:
    std::locale mPrevious;
};

} // namespace

TEST(PresetFile, WritesOneLineWithDefaultStreamNumbersInAnyLocale)
{
    DecimalCommaLocale comma;
    PresetFile::Values values{0.8, 1, 0, 0.5, 0.1234567, 0.00001, 1, 0, 0.5, 0.25, 1234.5};
    EXPECT_EQ(PresetFile::Format(values),
              "<Company>Quorvex Audio</Company><Product>Kestrum</Product><Version>1.0.0</Version>"
              "<MainVolume>0.8</MainVolume><NoiseAmpLevel>1</NoiseAmpLevel><NoiseEnvAttack>0</NoiseEnvAttack>"
              "<NoiseEnvDecay>0.5</NoiseEnvDecay><NoiseFilterTone>0.123457</NoiseFilterTone>"
              "<StereoExpandOffOn>1e-05</StereoExpandOffOn><TonalAmpLevel>1</TonalAmpLevel>"
              "<TonalEnvAttack>0</TonalEnvAttack><TonalEnvDecay>0.5</TonalEnvDecay>"
              "<TonalPitchAmt>0.25</TonalPitchAmt><TransistorDistLoad>1234.5</TransistorDistLoad>");
    // Reading in the same locale takes "." as the decimal point.
    EXPECT_EQ(PresetFile::ParseNumber("0.75"), std::optional<double>(0.75));
    if (!comma.cLocaleSet)
        std::printf("(no decimal-comma C locale installed; the C++ locale was tested)\n");
}

TEST(PresetFile, NumbersReadAsTheCConversionReadsThemAndNonFiniteOnesAreSkipped)
{
    const struct
    {
        const char* text;
        std::optional<double> expected;
    } cases[] = {
        {"0.5abc", 0.5},
        {" \t0.25", 0.25},
        {"+0.5", 0.5},
        {".5", 0.5},
        {"2", 2.0},
        {"1e-05", static_cast<double>(1e-05f)},
        {"0.1", static_cast<double>(0.1f)}, // through a 32-bit float
        {"0x1p3", 8.0},
        {"0x", 0.0},
        {"-0", 0.0},
        {"1e-50", 0.0},
        {"1e999", std::nullopt},
        {"nan", std::nullopt},
        {"-inf", std::nullopt},
        {"Infinity", std::nullopt},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"--1", std::nullopt},
        {"0,5", 0.0},
    };
    for (const auto& c : cases)
    {
        const std::optional<double> read = PresetFile::ParseNumber(c.text);
        EXPECT_EQ(read, c.expected) << "'" << c.text << "'";
        if (read)
        {
            EXPECT_FALSE(std::signbit(*read)) << "'" << c.text << "'";
        }
    }
}

TEST(PresetFile, EachValueComesFromTheFirstOccurrenceOfItsTagsInAnyOrder)
{
    const PresetFile::ReadValues values = PresetFile::ParseLine(
        "junk<TonalPitchAmt>0.3</TonalPitchAmt> more <MainVolume>0.6</MainVolume><MainVolume>0.9</MainVolume>"
        "</NoiseAmpLevel>x<NoiseAmpLevel>0.7 and the rest"
        "<NoiseEnvDecay>0.4<NoiseFilterTone>0.2</NoiseFilterTone><TonalAmpLevel>nan</TonalAmpLevel>");
    const auto at = [&](int param)
    {
        for (int i = 0; i < PresetFile::kValueCount; ++i)
            if (PresetFile::Tags()[i].paramIndex == param)
                return values[i];
        return std::optional<double>();
    };
    EXPECT_EQ(at(kTonalPitchAmt), std::optional<double>(static_cast<double>(0.3f)));
    EXPECT_EQ(at(kMainVolume), std::optional<double>(static_cast<double>(0.6f)));
    // The closing tag before the opening one: the text runs to the end of the line.
    EXPECT_EQ(at(kNoiseAmpLevel), std::optional<double>(static_cast<double>(0.7f)));
    EXPECT_EQ(at(kNoiseEnvDecay), std::nullopt); // no closing tag
    EXPECT_EQ(at(kNoiseFilterTone), std::optional<double>(static_cast<double>(0.2f)));
    EXPECT_EQ(at(kTonalAmpLevel), std::nullopt);
    EXPECT_EQ(at(kStereoExpandOffOn), std::nullopt);
}

TEST(PresetFile, OnlyTheLastLineIsReadAndHostileFilesAreRefusedQuickly)
{
    const std::string path = TestTempPath("last-line.kestrumpreset");
    const struct
    {
        std::string content;
        bool readable;
        std::string line;
    } cases[] = {
        {"", true, ""},
        {"<MainVolume>1</MainVolume>", true, "<MainVolume>1</MainVolume>"},
        {"first\nsecond\r\nlast", true, "last"},
        {"content\n", true, ""},
        {std::string("\0\xff\n\x01<A>", 7), true, std::string("\x01<A>", 4)},
        {std::string(PresetFile::kMaxLineBytes + 1, 'x'), false, ""},
        {std::string(PresetFile::kMaxLineBytes + 1, 'x') + "\nshort", true, "short"},
    };
    for (const auto& c : cases)
    {
        WriteFile(path, c.content);
        std::string line = "untouched";
        EXPECT_EQ(PresetFile::ReadLastLine(path, line), c.readable) << c.content.size();
        if (c.readable)
        {
            EXPECT_EQ(line, c.line);
        }
    }

    // Hundreds of megabytes (sparse, so the test stays cheap): only the end is looked at.
    for (const bool withLineBreak : {true, false})
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
#ifdef _WIN32
        _fseeki64(file, 400ll << 20, SEEK_SET);
#else
        fseeko(file, static_cast<off_t>(400) << 20, SEEK_SET);
#endif
        std::fputs(withLineBreak ? "\n<MainVolume>0.25</MainVolume>" : "<MainVolume>0.25</MainVolume>", file);
        std::fclose(file);
        std::string line;
        EXPECT_EQ(PresetFile::ReadLastLine(path, line), withLineBreak);
        if (withLineBreak)
        {
            EXPECT_EQ(line, "<MainVolume>0.25</MainVolume>");
        }
    }
    std::remove(path.c_str());

    std::string line;
    EXPECT_FALSE(PresetFile::ReadLastLine(::testing::TempDir(), line)); // a folder
    EXPECT_FALSE(PresetFile::ReadLastLine("", line));
    EXPECT_FALSE(PresetFile::ReadLastLine(TestTempPath("missing"), line));
#ifndef _WIN32
    EXPECT_FALSE(PresetFile::ReadLastLine("/dev/zero", line)); // endless, never read
#endif
}

TEST(PresetFile, DisplayNameDropsFolderAndLastExtensionAndCutsAt35)
{
    const std::string name48 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuv";
    ASSERT_EQ(name48.size(), 48u);
    const struct
    {
        std::string path;
        std::string shown;
    } cases[] = {
        {"/library/Factory/EDM - Electro A.kestrumpreset", "EDM - Electro A"},
        {"C:\\presets\\a.b.kestrumpreset", "a.b"},
        {"mixed/dir\\x.y/no extension", "no extension"},
        {"/p/" + name48 + ".kestrumpreset", name48.substr(0, 35) + "..."},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PresetFile::DisplayName(c.path), c.shown) << c.path;
}

TEST(PresetFile, SavingReplacesTheFileWholeOrLeavesTheOldOneIntact)
{
    namespace fs = std::filesystem;
    const fs::path folder = TestTempPath("save-folder");
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string target = (folder / "x.kestrumpreset").string();
    const auto entries = [&]
    {
        int count = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
            ++count;
        return count;
    };

    ASSERT_TRUE(PresetFile::WriteAtomically(target, "new"));
    ASSERT_TRUE(PresetFile::WriteAtomically(target, "old"));
    EXPECT_EQ(ReadFile(target), "old");

    // A full disk: the writer gets half of the content out and reports the failure.
    const PresetFile::BlockWriter diskFull = [](std::FILE* file, const char* data, size_t size)
    {
        std::fwrite(data, 1, size / 2, file);
        return false;
    };
    EXPECT_FALSE(PresetFile::WriteAtomically(target, "a much longer replacement", diskFull));
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_EQ(entries(), 1) << "the temporary file is removed";

    // No folder to write into, a folder in the way of the target, and an empty path.
    EXPECT_FALSE(PresetFile::WriteAtomically((folder / "missing" / "y.kestrumpreset").string(), "x"));
    fs::create_directories(folder / "folder.kestrumpreset");
    EXPECT_FALSE(PresetFile::WriteAtomically((folder / "folder.kestrumpreset").string(), "x"));
    EXPECT_FALSE(PresetFile::WriteAtomically("", "x"));
    EXPECT_EQ(entries(), 2);

    // A read-only folder (only meaningful where permissions bind; root ignores them).
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    std::FILE* probe = std::fopen((folder / "probe").string().c_str(), "wb");
    if (!probe)
    {
        EXPECT_FALSE(PresetFile::WriteAtomically(target, "replacement"));
        EXPECT_EQ(ReadFile(target), "old");
    }
    else
    {
        std::fclose(probe);
    }
    fs::permissions(folder, fs::perms::owner_all);
    fs::remove_all(folder);
}
