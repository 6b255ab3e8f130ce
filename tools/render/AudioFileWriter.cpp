#include "tools/render/AudioFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "tools/render/ErrorText.h"
#include "tools/render/RenderFiles.h"

namespace
{

constexpr uint16_t kWaveFormatIeeeFloat = 3;
constexpr uint16_t kChannels = 2;
// The plain 16-byte format record and no other chunks: the canonical 44-byte header,
// which every reader accepts, including those that look for the samples at byte 44.
constexpr uint32_t kFmtChunkBytes = 16;
constexpr uint32_t kHeaderBytesAfterRiffSize = 4 + (8 + kFmtChunkBytes) + 8;

void PutU16(std::vector<unsigned char>& out, uint16_t v)
{
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void PutU32(std::vector<unsigned char>& out, uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>((v >> shift) & 0xFF));
}

void PutTag(std::vector<unsigned char>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

void PutSample(unsigned char*& out, double sample, AudioFileFormat format)
{
    if (format == AudioFileFormat::WavFloat32)
    {
        const float narrowed = static_cast<float>(sample);
        uint32_t bits;
        std::memcpy(&bits, &narrowed, sizeof bits);
        for (int shift = 0; shift < 32; shift += 8)
            *out++ = static_cast<unsigned char>((bits >> shift) & 0xFF);
    }
    else
    {
        uint64_t bits;
        std::memcpy(&bits, &sample, sizeof bits);
        for (int shift = 0; shift < 64; shift += 8)
            *out++ = static_cast<unsigned char>((bits >> shift) & 0xFF);
    }
}

uint32_t BytesPerSample(AudioFileFormat format) { return format == AudioFileFormat::WavFloat32 ? 4 : 8; }

} // namespace

AudioFileWriter::~AudioFileWriter() { Discard(); }

int64_t AudioFileWriter::MaxFrames(AudioFileFormat format)
{
    const int64_t maxDataBytes = int64_t{UINT32_MAX} - kHeaderBytesAfterRiffSize;
    return maxDataBytes / (int64_t{kChannels} * BytesPerSample(format));
}

void AudioFileWriter::Discard()
{
    if (mFile)
    {
        std::fclose(mFile);
        mFile = nullptr;
    }
    if (!mTemporaryPath.empty())
    {
        std::remove(mTemporaryPath.c_str());
        mTemporaryPath.clear();
    }
}

bool AudioFileWriter::Open(const std::string& path, AudioFileFormat format, double sampleRate,
                           int64_t totalFrames, std::string& error)
{
    Discard();
    if (totalFrames > MaxFrames(format))
    {
        error = std::string("too many frames for a ") +
                (format == AudioFileFormat::RawFloat64 ? ".f64" : "WAV") + " file (at most " +
                std::to_string(MaxFrames(format)) + ")";
        return false;
    }
    mPath = path;
    mFormat = format;
    mFramesAnnounced = totalFrames;
    mFramesWritten = 0;
    std::string createError;
    mFile = RenderFiles::CreateUniqueBeside(path, mTemporaryPath, createError);
    if (!mFile)
    {
        mTemporaryPath.clear();
        error = "cannot write " + QuotedExcerpt(path, kPathExcerptBytes) + ": " + createError;
        return false;
    }
    if (format != AudioFileFormat::RawFloat64 && !WriteWavHeader(sampleRate, totalFrames, error))
    {
        Discard();
        return false;
    }
    return true;
}

bool AudioFileWriter::WriteBytes(const void* bytes, size_t count, std::string& error)
{
    if (std::fwrite(bytes, 1, count, mFile) != count)
    {
        error = "cannot write " + QuotedExcerpt(mPath, kPathExcerptBytes) + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool AudioFileWriter::WriteWavHeader(double sampleRate, int64_t totalFrames, std::string& error)
{
    const uint32_t bytesPerSample = BytesPerSample(mFormat);
    const uint32_t blockAlign = kChannels * bytesPerSample;
    // The header holds an integer rate; renders at fractional rates are labelled with
    // the nearest one.
    const uint32_t rateHz = static_cast<uint32_t>(std::lround(sampleRate));
    const uint32_t dataBytes = static_cast<uint32_t>(totalFrames * blockAlign);

    std::vector<unsigned char> header;
    PutTag(header, "RIFF");
    PutU32(header, kHeaderBytesAfterRiffSize + dataBytes);
    PutTag(header, "WAVE");
    PutTag(header, "fmt ");
    PutU32(header, kFmtChunkBytes);
    PutU16(header, kWaveFormatIeeeFloat);
    PutU16(header, kChannels);
    PutU32(header, rateHz);
    PutU32(header, rateHz * blockAlign);
    PutU16(header, static_cast<uint16_t>(blockAlign));
    PutU16(header, static_cast<uint16_t>(bytesPerSample * 8));
    PutTag(header, "data");
    PutU32(header, dataBytes);
    return WriteBytes(header.data(), header.size(), error);
}

bool AudioFileWriter::WriteFrames(const double* left, const double* right, int32_t frames, std::string& error)
{
    if (!mFile)
    {
        error = "no output file is open";
        return false;
    }
    if (frames <= 0)
        return true;
    const size_t frameBytes = 2 * size_t{BytesPerSample(mFormat)};
    unsigned char chunk[4096];
    const int32_t framesPerChunk = static_cast<int32_t>(sizeof chunk / frameBytes);
    for (int32_t start = 0; start < frames; start += framesPerChunk)
    {
        const int32_t count = std::min(framesPerChunk, frames - start);
        unsigned char* out = chunk;
        for (int32_t i = start; i < start + count; ++i)
        {
            PutSample(out, left[i], mFormat);
            PutSample(out, right[i], mFormat);
        }
        if (!WriteBytes(chunk, static_cast<size_t>(out - chunk), error))
            return false;
    }
    mFramesWritten += frames;
    return true;
}

bool AudioFileWriter::Commit(std::string& error)
{
    if (!mFile)
    {
        error = "no output file is open";
        return false;
    }
    if (mFramesWritten != mFramesAnnounced)
    {
        error = "internal error: " + std::to_string(mFramesWritten) + " frames written, " +
                std::to_string(mFramesAnnounced) + " announced";
        Discard();
        return false;
    }
    const bool flushed = std::fflush(mFile) == 0;
    const bool closed = std::fclose(mFile) == 0;
    mFile = nullptr;
    if (!flushed || !closed)
    {
        error = "cannot write " + QuotedExcerpt(mPath, kPathExcerptBytes) + ": " + std::strerror(errno);
        Discard();
        return false;
    }
    // Replaces an existing file in one step on every target; an existing directory of
    // that name is refused, never removed.
    std::error_code renameError;
    std::filesystem::rename(mTemporaryPath, mPath, renameError);
    if (renameError)
    {
        error = "cannot move the finished render to " + QuotedExcerpt(mPath, kPathExcerptBytes) + ": " +
                renameError.message();
        Discard();
        return false;
    }
    mTemporaryPath.clear();
    return true;
}
