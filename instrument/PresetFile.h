#pragma once
// The preset file: one line of text holding the eleven sound-shaping values, e.g.
//   <Company>Quorvex Audio</Company><Product>Kestrum</Product><Version>1.0.0</Version>
//   <MainVolume>0.8</MainVolume><NoiseAmpLevel>1</NoiseAmpLevel>...
// (all on one line, no line break anywhere, not even at the end).
//
// Writing prints each value as a default-formatted stream prints a double (six significant
// digits, "." as decimal point). Reading takes the file's last line, finds the first
// occurrence of each value's tags in it and converts the leading number between them as
// the C library's text-to-float conversion does. Both sides ignore the process's C and C++
// locales: hosts set decimal-comma locales, and a preset file must read the same
// everywhere.
//
// Preset files are untrusted: reading looks at no more than the end of the file it needs,
// and a value that is no finite number is skipped, never passed on.
//
// Reading and naming have forms that work in buffers the caller owns and allocate nothing:
// a host that automates the preset selector makes the instrument read a file on the audio
// thread.

#include <array>
#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

struct PresetValueTag
{
    const char* name; // the tag name, which is also the parameter's name
    int paramIndex;   // the instrument parameter it holds
};

class PresetFile
{
public:
    static constexpr int kValueCount = 11;
    // A last line longer than this is no preset (a real one is about 450 bytes); reading
    // refuses it rather than scanning hundreds of megabytes.
    static constexpr size_t kMaxLineBytes = 1 << 20;

    // The eleven value elements in the order the file lists them.
    static const std::array<PresetValueTag, kValueCount>& Tags();

    using Values = std::array<double, kValueCount>; // in the order of Tags()
    using ReadValues = std::array<std::optional<double>, kValueCount>;

    // The whole file content: the header elements and the eleven values, one line.
    static std::string Format(const Values& values);
    // A double as a default-formatted output stream prints it, whatever the locale.
    static std::string FormatValue(double value);

    // The number a value element's text starts with, read as a 32-bit float and widened:
    // leading blanks skipped, an optional sign, then decimal or hexadecimal digits with an
    // optional exponent, "." as decimal point. None when the text does not start with a
    // number or the number is no finite float (nan, inf, 1e999); a -0 reads as 0.
    // [any thread; allocates nothing]
    static std::optional<double> ParseNumber(std::string_view text);

    // The values a line holds, each found by the first occurrence of its tags; none for a
    // value whose tags are missing or whose text is no number.
    // [any thread; allocates nothing]
    static ReadValues ParseLine(std::string_view line);

    // The file's last line: everything after its last line break (so a file that ends with
    // a line break gives an empty line), read into the end of `buffer` (`capacity` bytes);
    // `line` then points into the buffer. False when the file cannot be read, is a folder,
    // or its last line is longer than the buffer.
    // [any thread; allocates nothing]
    static bool ReadLastLine(const char* path, char* buffer, size_t capacity, std::string_view& line);
    // The same into a string, with a buffer of kMaxLineBytes. [any thread but the audio thread]
    static bool ReadLastLine(const std::string& path, std::string& line);

    // The values of the preset file at `path`, read from its last line through `buffer`.
    // False when that line cannot be read or is empty: then there is no preset to take values
    // from. [any thread; allocates nothing]
    static bool ReadFile(const char* path, char* buffer, size_t capacity, ReadValues& values);
    // The same with a buffer of kMaxLineBytes. [any thread but the audio thread]
    static bool ReadFile(const std::string& path, ReadValues& values);

    // The name a preset path shows: the file name without its folder and its last
    // extension, cut to 35 characters plus "..." when longer.
    static constexpr size_t kDisplayNameLimit = 35;
    using NameText = std::array<char, kDisplayNameLimit + 4>; // with "..." and the terminator
    // [any thread; allocates nothing]
    static void DisplayName(std::string_view path, NameText& name);
    static std::string DisplayName(const std::string& path);

    // Writes one block of bytes; false when not everything was written. The default is
    // fwrite; tests stand in for a full disk here.
    using BlockWriter = bool (*)(std::FILE* file, const char* data, size_t size);

    // Replaces the file at `path` by `content` without ever leaving a half-written file:
    // the content goes to a new temporary file in the same folder, which replaces the
    // target only once it is completely written and closed. On failure the temporary file
    // is removed and the old file (if any) is left as it was.
    static bool WriteAtomically(const std::string& path, const std::string& content,
                                BlockWriter writer = nullptr);
};
