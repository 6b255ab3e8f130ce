#pragma once
// A byte stream in memory, as hosts hand one to get/set state. A read limit lets a test
// offer a stream that ends early.

#include "tests/vst3/host/HostObject.h"
#include "pluginterfaces/base/ibstream.h"

#include <cstdint>
#include <vector>

class MemoryStream : public HostObject<Steinberg::IBStream>
{
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<uint8_t> bytes) : data(std::move(bytes)) {}

    const std::vector<uint8_t>& Bytes() const { return data; }
    void Rewind() { position = 0; }

    Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                       Steinberg::int32* numBytesRead) override;
    Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                        Steinberg::int32* numBytesWritten) override;
    Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode,
                                       Steinberg::int64* result) override;
    Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override;

private:
    std::vector<uint8_t> data;
    size_t position = 0;
};
