#include "instrument/PresetFile.h"

#include <charconv>
#include <cmath>
#include <algorithm>
#include <locale>
#include <memory>
#include <sstream>
#include <vector>

#include <sys/stat.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <unistd.h>
#endif

#include "engine/EngineParameterRecord.h"

namespace
{

constexpr const char* kHeader =
    "<Company>Quorvex Audio</Company><Product>Kestrum</Product><Version>1.0.0</Version>";
constexpr size_t kDisplayNameLimit = 35;
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
bool IsCBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool StartsWithNoCase(const char* p, const char* end, const char* word)
{
    for (; *word; ++p, ++word)
    {
        if (p == end || (*p | 0x20) != *word) return false;
    }
    return true;
}

// The float conversion of [p, end) by from_chars, which never looks at a locale. An
// overflow gives none; an underflow gives 0, as the C conversion's result rounds there.
std::optional<float> ConvertFloat(const char* p, const char* end, std::chars_format format)
{
    float value = 0.0f;
    const auto result = std::from_chars(p, end, value, format);
    if (result.ec == std::errc()) return value;
    if (result.ec != std::errc::result_out_of_range) return std::nullopt;
    double wide = 0.0;
    const auto wideResult = std::from_chars(p, end, wide, format);
    if (wideResult.ec == std::errc() && std::fabs(wide) < 1.0) return 0.0f;
    return std::nullopt;
}

#ifdef _WIN32
using FileOffset = __int64;
int SeekTo(std::FILE* file, FileOffset offset) { return _fseeki64(file, offset, SEEK_SET); }
bool IsRegularFile(const std::string& path, FileOffset& size)
{
    struct _stat64 info;
    if (_stat64(path.c_str(), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) return false;
    size = info.st_size;
    return true;
}
#else
using FileOffset = off_t;
int SeekTo(std::FILE* file, FileOffset offset) { return fseeko(file, offset, SEEK_SET); }
bool IsRegularFile(const std::string& path, FileOffset& size)
{
    // Devices and pipes are refused too: reading one could block or never end.
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    size = info.st_size;
    return true;
}
#endif

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool DefaultWriter(std::FILE* file, const char* data, size_t size)
{
    return std::fwrite(data, 1, size, file) == size;
}

// Creates a new, empty temporary file next to the target and opens it for writing.
FileHandle CreateTemporaryBeside(const std::string& path, std::string& temporaryPath)
{
#ifdef _WIN32
    const size_t slash = path.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    char name[MAX_PATH] = {};
    if (GetTempFileNameA(folder.c_str(), "kst", 0, name) == 0) return nullptr;
    temporaryPath = name;
    FileHandle file(std::fopen(name, "wb"));
    if (!file) DeleteFileA(name);
    return file;
#else
    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof(suffix)); // with the terminator
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0) return nullptr;
    temporaryPath = name.data();
    // A replaced file keeps its permissions; a new one is readable by everyone, as the
    // library folder is shared by all users of the computer.
    struct stat target;
    fchmod(descriptor, stat(path.c_str(), &target) == 0 ? (target.st_mode & 07777) : 0644);
    FileHandle file(fdopen(descriptor, "wb"));
    if (!file)
    {
        close(descriptor);
        unlink(name.data());
    }
    return file;
#endif
}

bool ReplaceWith(const std::string& temporaryPath, const std::string& path)
{
#ifdef _WIN32
    return MoveFileExA(temporaryPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(temporaryPath.c_str(), path.c_str()) == 0;
#endif
}

bool FlushToDisk(std::FILE* file)
{
    if (std::fflush(file) != 0) return false;
#ifdef _WIN32
    return true;
#else
    return fsync(fileno(file)) == 0;
#endif
}

} // namespace

const std::array<PresetValueTag, PresetFile::kValueCount>& PresetFile::Tags()
{
    return kTags;
}

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

std::optional<double> PresetFile::ParseNumber(const std::string& text)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end && IsCBlank(*p)) ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    if (StartsWithNoCase(p, end, "inf") || StartsWithNoCase(p, end, "nan")) return std::nullopt;

    std::optional<float> number;
    if (p != end && *p == '0' && p + 1 != end && (p[1] | 0x20) == 'x')
    {
        // "0x" followed by no hexadecimal number is the number 0 followed by text.
        const char* digits = p + 2;
        const bool hasDigits = digits != end && (IsHexDigit(*digits) || (*digits == '.' && digits + 1 != end &&
                                                                          IsHexDigit(digits[1])));
        number = hasDigits ? ConvertFloat(digits, end, std::chars_format::hex) : std::optional<float>(0.0f);
    }
    else if (p != end && (IsDigit(*p) || (*p == '.' && p + 1 != end && IsDigit(p[1]))))
    {
        number = ConvertFloat(p, end, std::chars_format::general);
    }
    if (!number || !std::isfinite(*number)) return std::nullopt;
    const double value = negative ? -static_cast<double>(*number) : static_cast<double>(*number);
    return value + 0.0; // -0 becomes 0
}

PresetFile::ReadValues PresetFile::ParseLine(const std::string& line)
{
    ReadValues values;
    for (int i = 0; i < kValueCount; ++i)
    {
        const std::string name = kTags[i].name;
        const std::string opening = "<" + name + ">";
        const size_t open = line.find(opening);
        const size_t close = line.find("</" + name + ">");
        if (open == std::string::npos || close == std::string::npos) continue;
        const size_t start = open + opening.size();
        const size_t stop = close >= start ? close : line.size();
        values[i] = ParseNumber(line.substr(start, stop - start));
    }
    return values;
}

bool PresetFile::ReadLastLine(const std::string& path, std::string& line)
{
    line.clear();
    FileOffset size = 0;
    if (path.empty() || !IsRegularFile(path, size)) return false;
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;

    // Read backwards from the end, one chunk at a time, until a line break turns up: only
    // the last line is ever read, however large the file.
    std::string tail;
    FileOffset position = size;
    while (position > 0)
    {
        const FileOffset chunk = std::min<FileOffset>(position, kReadChunkBytes);
        position -= chunk;
        std::string block(static_cast<size_t>(chunk), '\0');
        if (SeekTo(file.get(), position) != 0 || std::fread(block.data(), 1, block.size(), file.get()) != block.size())
            return false;
        const size_t lineBreak = block.rfind('\n');
        if (lineBreak != std::string::npos)
        {
            tail.insert(0, block, lineBreak + 1, std::string::npos);
            break;
        }
        tail.insert(0, block);
        if (tail.size() > kMaxLineBytes) return false;
    }
    if (tail.size() > kMaxLineBytes) return false;
    line = std::move(tail);
    return true;
}

bool PresetFile::ReadFile(const std::string& path, ReadValues& values)
{
    std::string line;
    if (!ReadLastLine(path, line) || line.empty()) return false;
    values = ParseLine(line);
    return true;
}

std::string PresetFile::DisplayName(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    if (name.size() > kDisplayNameLimit) name = name.substr(0, kDisplayNameLimit) + "...";
    return name;
}

bool PresetFile::WriteAtomically(const std::string& path, const std::string& content, BlockWriter writer)
{
    if (path.empty()) return false;
    std::string temporaryPath;
    FileHandle file = CreateTemporaryBeside(path, temporaryPath);
    if (!file) return false;
    const bool written = (writer ? writer : DefaultWriter)(file.get(), content.data(), content.size()) &&
                         FlushToDisk(file.get());
    const bool closed = std::fclose(file.release()) == 0;
    if (written && closed && ReplaceWith(temporaryPath, path)) return true;
    std::remove(temporaryPath.c_str());
    return false;
}
