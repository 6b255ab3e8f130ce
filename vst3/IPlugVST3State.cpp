#include "vst3/IPlugVST3.h"
#include "vst3/Vst3Conversions.h"

#include "pluginterfaces/base/ibstream.h"

// The state stream: the core's state chunk followed by the 32-bit bypass word.

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Vst3Conversions;

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

tresult PLUGIN_API IPlugVST3::setState(IBStream* state)
{
  if (state == nullptr)
    return kInvalidArgument;
  PlugLockGuard guard(PluginLock());
  // The stored state has the size of the current one; what the stream lacks keeps the
  // current values.
  ChunkBuffer chunk;
  SaveState(chunk);
  const int32 size = chunk.Size();
  if (size <= 0)
    return kResultFalse;
  for (int32 got = 0; got < size;)
  {
    int32 read = 0;
    if (state->read(chunk.Data() + got, size - got, &read) != kResultOk || read <= 0)
      break;
    got += read;
  }
  LoadState(chunk, 0);

  uint8 word[4] = {};
  int32 read = 0;
  if (state->read(word, 4, &read) != kResultOk || read != 4)
    return kResultFalse;
  mBypassed = (word[0] | word[1] | word[2] | word[3]) != 0;
  RefreshParameterControls();
  return kResultOk;
}

