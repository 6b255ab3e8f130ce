#include "vst3/IPlugVST3.h"

#include "pluginterfaces/base/ibstream.h"

// The state stream: the core's state chunk followed by the 32-bit bypass word.

using namespace Steinberg;
using namespace Steinberg::Vst;

tresult PLUGIN_API IPlugVST3::getState(IBStream* state)
{
    if (state == nullptr)
        return kInvalidArgument;
    PlugLockGuard guard(PluginLock());
    ChunkBuffer chunk;
    if (!SaveState(chunk))
        return kResultFalse;
    int32 written = 0;
    if (state->write(chunk.Data(), chunk.Size(), &written) != kResultOk || written != chunk.Size())
        return kResultFalse;
    const int32 bypass = mBypassed ? 1 : 0;
    uint8 word[4] = {static_cast<uint8>(bypass), 0, 0, 0};
    if (state->write(word, 4, &written) != kResultOk || written != 4)
        return kResultFalse;
    return kResultOk;
}

namespace
{

// Reads up to `size` bytes, also from streams that deliver them in pieces; the count read.
int32 ReadFully(IBStream& stream, uint8* into, int32 size)
{
    int32 got = 0;
    while (got < size)
    {
        int32 read = 0;
        if (stream.read(into + got, size - got, &read) != kResultOk || read <= 0 || read > size - got)
            break;
        got += read;
    }
    return got;
}

} // namespace

tresult PLUGIN_API IPlugVST3::setState(IBStream* state)
{
    if (state == nullptr)
        return kInvalidArgument;
    PlugLockGuard guard(PluginLock());
    // The stored state has the size of the current one. Everything is read before anything is
    // applied: a stream that breaks off inside the parameter values changes nothing.
    ChunkBuffer chunk;
    SaveState(chunk);
    const int32 size = chunk.Size();
    if (size <= 0 || ReadFully(*state, chunk.Data(), size) != size)
        return kResultFalse;
    uint8 word[4] = {};
    const bool haveBypassWord = ReadFully(*state, word, 4) == 4;
    const uint32 bypass = word[0] | (word[1] << 8) | (word[2] << 16) | (static_cast<uint32>(word[3]) << 24);

    if (LoadState(chunk, 0) < 0)
        return kResultFalse;
    // This product writes 0 or 1. Any other word is damage: the parameters still load, but a
    // damaged word must not mute the instrument, and a missing one keeps the flag. Either
    // answers false, as the state was not whole.
    const bool wholeState = haveBypassWord && bypass <= 1;
    if (haveBypassWord)
        mBypassed = bypass == 1;
    RefreshParameterControls();
    return wholeState ? kResultOk : kResultFalse;
}
