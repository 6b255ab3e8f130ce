#include "instrument/PresetFile.h"

#include <charconv>
#include <cmath>
#include <algorithm>
#include <cstring>
#include <locale>
#include <memory>
#include <sstream>

#include "engine/EngineParameterRecord.h"
#include "framework/PlatformFiles.h"

namespace
{

constexpr const char* kHeader =
    "<Company>Quorvex Audio</Company><Product>Kestrum</Product><Version>1.0.0</Version>";
constexpr size_t kReadChunkBytes = 64 * 1024;

// clang-format off
const std::array<PresetValueTag, PresetFile::kValueCount> kTags = {{
    {"MainVolume", kMainVolume},
    {"NoiseAmpLevel", kNoiseAmpLevel},
    {"NoiseEnvAttack", kNoiseEnvAttack},
    {"NoiseEnvDecay", kNoiseEnvDecay},
    {"NoiseFilterTone", kNoiseFilterTone},
    {"StereoExpandOffOn", kStereoExpandOffOn},
    {"TonalAmpLevel", kTonalAmpLevel},
    {"TonalEnvAttack", kTonalEnvAttack},
    {"TonalEnvDecay", kTonalEnvDecay},
    {"TonalPitchAmt", kTonalPitchAmt},
    {"TransistorDistLoad", kTransistorDistLoad},
}};
// clang-format on

// The blanks the C library's conversion skips in the "C" locale.
bool IsCBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool StartsWithNoCase(const char* p, const char* end, const char* word)
{
    for (; *word; ++p, ++word)
    {
        if (p == end || (*p | 0x20) != *word)
            return false;
    }
    return true;
}

// The float conversion of [p, end) by from_chars, which never looks at a locale. An
// overflow gives none; an underflow gives 0, as the C conversion's result rounds there.
std::optional<float> ConvertFloat(const char* p, const char* end, std::chars_format format)
{
    float value = 0.0f;
    const auto result = std::from_chars(p, end, value, format);
    if (result.ec == std::errc())
        return value;
    if (result.ec != std::errc::result_out_of_range)
        return std::nullopt;
    double wide = 0.0;
    const auto wideResult = std::from_chars(p, end, wide, format);
    if (wideResult.ec == std::errc() && std::fabs(wide) < 1.0)
        return 0.0f;
    return std::nullopt;
}

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool DefaultWriter(std::FILE* file, const char* data, size_t size)
{
    return std::fwrite(data, 1, size, file) == size;
}

// One value element's opening or closing tag, built on the stack.
class TagText
{
public:
    TagText(const char* name, bool closing)
    {
        const size_t nameLength = std::min(std::strlen(name), sizeof(mText) - 4);
        mText[mLength++] = '<';
        if (closing)
            mText[mLength++] = '/';
        std::memcpy(mText + mLength, name, nameLength);
        mLength += nameLength;
        mText[mLength++] = '>';
    }
    std::string_view View() const { return std::string_view(mText, mLength); }

private:
    char mText[48] = {};
    size_t mLength = 0;
};

} // namespace

const std::array<PresetValueTag, PresetFile::kValueCount>& PresetFile::Tags() { return kTags; }

std::string PresetFile::FormatValue(double value)
{
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << value;
    return text.str();
}

std::string PresetFile::Format(const Values& values)
{
    std::string content = kHeader;
    for (int i = 0; i < kValueCount; ++i)
    {
        const std::string name = kTags[i].name;
        content += "<" + name + ">" + FormatValue(values[i]) + "</" + name + ">";
    }
    return content;
}

std::optional<double> PresetFile::ParseNumber(std::string_view text)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end && IsCBlank(*p))
        ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    if (StartsWithNoCase(p, end, "inf") || StartsWithNoCase(p, end, "nan"))
        return std::nullopt;

    std::optional<float> number;
    if (p != end && *p == '0' && p + 1 != end && (p[1] | 0x20) == 'x')
    {
        // "0x" followed by no hexadecimal number is the number 0 followed by text.
        const char* digits = p + 2;
        const bool hasDigits =
            digits != end &&
            (IsHexDigit(*digits) || (*digits == '.' && digits + 1 != end && IsHexDigit(digits[1])));
        number = hasDigits ? ConvertFloat(digits, end, std::chars_format::hex) : std::optional<float>(0.0f);
    }
    else if (p != end && (IsDigit(*p) || (*p == '.' && p + 1 != end && IsDigit(p[1]))))
    {
        number = ConvertFloat(p, end, std::chars_format::general);
    }
    if (!number || !std::isfinite(*number))
        return std::nullopt;
    const double value = negative ? -static_cast<double>(*number) : static_cast<double>(*number);
    return value + 0.0; // -0 becomes 0
}

PresetFile::ReadValues PresetFile::ParseLine(std::string_view line)
{
    ReadValues values;
    for (int i = 0; i < kValueCount; ++i)
    {
        const TagText opening(kTags[i].name, false);
        const size_t open = line.find(opening.View());
        const size_t close = line.find(TagText(kTags[i].name, true).View());
        if (open == std::string_view::npos || close == std::string_view::npos)
            continue;
        const size_t start = open + opening.View().size();
        const size_t stop = close >= start ? close : line.size();
        values[i] = ParseNumber(line.substr(start, stop - start));
    }
    return values;
}

bool PresetFile::ReadLastLine(const char* path, char* buffer, size_t capacity, std::string_view& line)
{
    line = std::string_view();
    PlatformReadFile file;
    if (!buffer || !file.Open(path))
        return false;

    // Read backwards from the end, one chunk at a time, until a line break turns up: only
    // the last line is ever read, however large the file. The line grows from the end of
    // the buffer towards its start.
    char* const bufferEnd = buffer + capacity;
    size_t filled = 0;
    int64_t position = file.Size();
    while (position > 0)
    {
        const size_t room = capacity - filled;
        if (room == 0)
        {
            // The buffer is full: the line fits only when a line break comes right before it.
            char before = 0;
            if (!file.ReadAt(position - 1, &before, 1) || before != '\n')
                return false;
            break;
        }
        const size_t chunk =
            static_cast<size_t>(std::min<int64_t>(position, std::min(room, kReadChunkBytes)));
        position -= static_cast<int64_t>(chunk);
        char* const at = bufferEnd - filled - chunk;
        if (!file.ReadAt(position, at, chunk))
            return false;
        filled += chunk;
        const std::string_view block(at, chunk);
        const size_t lineBreak = block.rfind('\n');
        if (lineBreak != std::string_view::npos)
        {
            line = std::string_view(at + lineBreak + 1, filled - lineBreak - 1);
            return true;
        }
    }
    line = std::string_view(bufferEnd - filled, filled);
    return true;
}

bool PresetFile::ReadLastLine(const std::string& path, std::string& line)
{
    line.clear();
    const std::unique_ptr<char[]> buffer(new char[kMaxLineBytes]);
    std::string_view found;
    if (!ReadLastLine(path.c_str(), buffer.get(), kMaxLineBytes, found))
        return false;
    line.assign(found);
    return true;
}

bool PresetFile::ReadFile(const char* path, char* buffer, size_t capacity, ReadValues& values)
{
    std::string_view line;
    if (!ReadLastLine(path, buffer, capacity, line) || line.empty())
        return false;
    values = ParseLine(line);
    return true;
}

bool PresetFile::ReadFile(const std::string& path, ReadValues& values)
{
    const std::unique_ptr<char[]> buffer(new char[kMaxLineBytes]);
    return ReadFile(path.c_str(), buffer.get(), kMaxLineBytes, values);
}

void PresetFile::DisplayName(std::string_view path, NameText& name)
{
    const size_t slash = path.find_last_of("/\\");
    std::string_view shown = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = shown.rfind('.');
    if (dot != std::string_view::npos)
        shown = shown.substr(0, dot);
    const bool cut = shown.size() > kDisplayNameLimit;
    if (cut)
        shown = shown.substr(0, kDisplayNameLimit);
    std::memcpy(name.data(), shown.data(), shown.size());
    size_t length = shown.size();
    if (cut)
    {
        std::memcpy(name.data() + length, "...", 3);
        length += 3;
    }
    name[length] = '\0';
}

std::string PresetFile::DisplayName(const std::string& path)
{
    NameText name;
    DisplayName(path, name);
    return name.data();
}

bool PresetFile::WriteAtomically(const std::string& path, const std::string& content, BlockWriter writer)
{
    if (path.empty())
        return false;
    std::string temporaryPath;
    FileHandle file(PlatformFiles::CreateTemporaryBeside(path, temporaryPath));
    if (!file)
        return false;
    const bool written = (writer ? writer : DefaultWriter)(file.get(), content.data(), content.size()) &&
                         PlatformFiles::FlushToDisk(file.get());
    const bool closed = std::fclose(file.release()) == 0;
    if (written && closed && PlatformFiles::MoveReplacing(temporaryPath, path))
        return true;
    std::remove(temporaryPath.c_str());
    return false;
}
