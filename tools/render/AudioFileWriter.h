#pragma once
// Writes a stereo render to disk as it is produced, block by block:
//   - WAV: RIFF/WAVE with IEEE float samples (format tag 3), 32 or 64 bits, a 16-byte
//     "fmt " chunk followed directly by the "data" chunk (a 44-byte header);
//   - raw .f64: interleaved little-endian float64 (L0 R0 L1 R1 ...), no header.
// Samples are written as they are: no dithering, no normalisation, no clipping.
//
// The file is written beside the target under a new, unique temporary name (created
// exclusively, so never through a link or over a file someone else put there) and only
// renamed to the target by Commit, so a failed or interrupted render never leaves a file
// that looks complete. The destructor removes an uncommitted temporary file.

#include <cstdint>
#include <cstdio>
#include <string>

enum class AudioFileFormat
{
    WavFloat32,
    WavFloat64,
    RawFloat64,
};

class AudioFileWriter
{
public:
    AudioFileWriter() = default;
    ~AudioFileWriter();
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // The largest frame count a file of this format may hold: what a WAV file can describe
    // (its sizes are 32-bit), and for raw output as much as a 64-bit WAV file, so that
    // no render can run on until the disk is full.
    static int64_t MaxFrames(AudioFileFormat format);

    // Creates the temporary file and writes the header for totalFrames stereo frames.
    bool Open(const std::string& path, AudioFileFormat format, double sampleRate, int64_t totalFrames,
              std::string& error);
    bool WriteFrames(const double* left, const double* right, int32_t frames, std::string& error);
    // Closes the file and moves it to its final name; fails when fewer frames were
    // written than announced.
    bool Commit(std::string& error);
    // The temporary file between Open and Commit; empty otherwise.
    const std::string& TemporaryPath() const { return mTemporaryPath; }

private:
    bool WriteBytes(const void* bytes, size_t count, std::string& error);
    bool WriteWavHeader(double sampleRate, int64_t totalFrames, std::string& error);
    void Discard();

    std::FILE* mFile = nullptr;
    std::string mPath;
    std::string mTemporaryPath;
    AudioFileFormat mFormat = AudioFileFormat::WavFloat32;
    int64_t mFramesAnnounced = 0;
    int64_t mFramesWritten = 0;
};
