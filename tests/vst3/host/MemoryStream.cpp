#include "tests/vst3/host/MemoryStream.h"

#include <algorithm>
#include <cstring>

using namespace Steinberg;

tresult PLUGIN_API MemoryStream::read(void* buffer, int32 numBytes, int32* numBytesRead)
{
    if (numBytes < 0 || (numBytes > 0 && buffer == nullptr))
        return kInvalidArgument;
    const size_t available = data.size() - std::min(position, data.size());
    const size_t count = std::min(available, static_cast<size_t>(numBytes));
    if (count > 0)
        std::memcpy(buffer, data.data() + position, count);
    position += count;
    if (numBytesRead)
        *numBytesRead = static_cast<int32>(count);
    return kResultOk;
}

tresult PLUGIN_API MemoryStream::write(void* buffer, int32 numBytes, int32* numBytesWritten)
{
    if (numBytes < 0 || (numBytes > 0 && buffer == nullptr))
        return kInvalidArgument;
    if (position + numBytes > data.size())
        data.resize(position + numBytes);
    if (numBytes > 0)
        std::memcpy(data.data() + position, buffer, numBytes);
    position += numBytes;
    if (numBytesWritten)
        *numBytesWritten = numBytes;
    return kResultOk;
}

tresult PLUGIN_API MemoryStream::seek(int64 pos, int32 mode, int64* result)
{
    int64 base = 0;
    if (mode == kIBSeekCur)
        base = static_cast<int64>(position);
    else if (mode == kIBSeekEnd)
        base = static_cast<int64>(data.size());
    else if (mode != kIBSeekSet)
        return kInvalidArgument;
    if (base + pos < 0)
        return kResultFalse;
    position = static_cast<size_t>(base + pos);
    if (result)
        *result = static_cast<int64>(position);
    return kResultOk;
}

tresult PLUGIN_API MemoryStream::tell(int64* pos)
{
    if (pos == nullptr)
        return kInvalidArgument;
    *pos = static_cast<int64>(position);
    return kResultOk;
}
