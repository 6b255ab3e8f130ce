#include "framework/IPlugBase.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

// Channels and buffers: the channel configurations, connecting channels, attaching the host's
// buffers in either precision, converting back, the bypass path and the scratch buffers.

namespace
{
// The channel string is the plug-in's own, but a typo such as "2-22222222" must not try to
// allocate billions of channels.
constexpr int kMaxChannels = 256;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Reads a decimal integer the way "%d" does (leading white space skipped, optional sign);
// out-of-range numbers saturate instead of being undefined.
bool ReadDecimal(const char*& text, int& value)
{
    const char* start = text;
    while (IsBlank(*start))
        ++start;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(start, &end, 10);
    if (end == start)
        return false;
    value = static_cast<int>(std::max<long>(INT_MIN, std::min<long>(INT_MAX, parsed)));
    text = end;
    return true;
}

// One "inputs-outputs" pair at the start of the text; {0, 0} when it cannot be read.
ChannelIoPair ReadChannelIoPair(const char* text)
{
    ChannelIoPair pair;
    int numInputs = 0;
    int numOutputs = 0;
    const char* p = text;
    if (ReadDecimal(p, numInputs) && *p == '-')
    {
        ++p;
        if (ReadDecimal(p, numOutputs))
        {
            pair.numInputs = numInputs;
            pair.numOutputs = numOutputs;
        }
    }
    return pair;
}

// Walks the channels firstChannel .. firstChannel + numChannels - 1 that exist. Each
// points at its own scratch buffer first; a connected channel then takes the next host
// buffer (only connected channels consume host buffers), or none when the host gave none.
template <typename Channel, typename HostBuffer, typename Take>
void AttachChannels(std::vector<Channel>& channels, int firstChannel, int numChannels,
                    HostBuffer* const* hostBuffers, Take take)
{
    const int64_t end = std::min<int64_t>(static_cast<int64_t>(firstChannel) + numChannels,
                                          static_cast<int64_t>(channels.size()));
    int next = 0;
    for (int64_t i = std::max(firstChannel, 0); i < end; ++i)
    {
        Channel& channel = channels[static_cast<size_t>(i)];
        *channel.slot = channel.scratch.data();
        if (!channel.connected)
            continue;
        take(channel, hostBuffers ? hostBuffers[next] : nullptr);
        ++next;
    }
}

} // namespace

void IPlugBase::ParseChannelConfigurations(const char* channelIoString)
{
    const char* text = channelIoString ? channelIoString : "";
    int maxInputs = 0;
    int maxOutputs = 0;
    for (;;)
    {
        const ChannelIoPair pair = ReadChannelIoPair(text);
        mChannelIoPairs.push_back(pair);
        maxInputs = std::max(maxInputs, pair.numInputs);
        maxOutputs = std::max(maxOutputs, pair.numOutputs);
        const char* space = std::strchr(text, ' ');
        if (!space)
            break;
        text = space + 1;
    }
    CreateChannels(std::min(maxInputs, kMaxChannels), std::min(maxOutputs, kMaxChannels));
}

void IPlugBase::CreateChannels(int numInputs, int numOutputs)
{
    mInputPointers.assign(static_cast<size_t>(numInputs), nullptr);
    mOutputPointers.assign(static_cast<size_t>(numOutputs), nullptr);
    mInputs.resize(static_cast<size_t>(numInputs));
    mOutputs.resize(static_cast<size_t>(numOutputs));
    for (int i = 0; i < numInputs; ++i)
        mInputs[i].slot = &mInputPointers[i];
    for (int i = 0; i < numOutputs; ++i)
        mOutputs[i].slot = &mOutputPointers[i];
}

void IPlugBase::ApplyBlockSize(int frames)
{
    if (frames < 0 || frames == mBlockSize)
        return;
    for (InputChannel& channel : mInputs)
        channel.scratch.assign(static_cast<size_t>(frames), 0.0);
    for (OutputChannel& channel : mOutputs)
        channel.scratch.assign(static_cast<size_t>(frames), 0.0);
    mBlockSize = frames;
    // The old scratch buffers are gone: no slot may keep pointing into them. Connected
    // channels are attached afresh before every block anyway.
    for (InputChannel& channel : mInputs)
        *channel.slot = channel.scratch.data();
    for (OutputChannel& channel : mOutputs)
    {
        *channel.slot = channel.scratch.data();
        channel.floatDestination = nullptr;
    }
}

bool IPlugBase::LegalIO(int numInputs, int numOutputs) const
{
    for (const ChannelIoPair& pair : mChannelIoPairs)
        if ((numInputs < 0 || numInputs == pair.numInputs) &&
            (numOutputs < 0 || numOutputs == pair.numOutputs))
            return true;
    return false;
}

void IPlugBase::SetInputChannelConnections(int firstChannel, int numChannels, bool connected)
{
    const int end =
        static_cast<int>(std::min<int64_t>(static_cast<int64_t>(firstChannel) + numChannels, NumInputs()));
    for (int i = std::max(firstChannel, 0); i < end; ++i)
    {
        mInputs[i].connected = connected;
        if (!connected)
            *mInputs[i].slot = mInputs[i].scratch.data();
    }
}

void IPlugBase::SetOutputChannelConnections(int firstChannel, int numChannels, bool connected)
{
    const int end =
        static_cast<int>(std::min<int64_t>(static_cast<int64_t>(firstChannel) + numChannels, NumOutputs()));
    for (int i = std::max(firstChannel, 0); i < end; ++i)
    {
        mOutputs[i].connected = connected;
        if (!connected)
        {
            *mOutputs[i].slot = mOutputs[i].scratch.data();
            mOutputs[i].floatDestination = nullptr;
        }
    }
}

bool IPlugBase::IsInputConnected(int channel) const
{
    return channel >= 0 && channel < NumInputs() && mInputs[channel].connected;
}

bool IPlugBase::IsOutputConnected(int channel) const
{
    return channel >= 0 && channel < NumOutputs() && mOutputs[channel].connected;
}

void IPlugBase::LimitToStereoChannels()
{
    SetInputChannelConnections(2, NumInputs(), false);
    SetOutputChannelConnections(2, NumOutputs(), true);
}

int IPlugBase::UsableFrames(int frames) const { return std::max(0, std::min(frames, mBlockSize)); }

void IPlugBase::AttachInputBuffers(int firstChannel, int numChannels, float* const* hostBuffers, int frames)
{
    const int usable = UsableFrames(frames);
    AttachChannels(mInputs, firstChannel, numChannels, hostBuffers,
                   [usable](InputChannel& channel, const float* source)
                   {
                       if (source)
                           std::copy(source, source + usable, channel.scratch.begin());
                       else
                           std::fill(channel.scratch.begin(), channel.scratch.begin() + usable, 0.0);
                   });
}

void IPlugBase::AttachOutputBuffers(int firstChannel, int numChannels, float* const* hostBuffers)
{
    AttachChannels(mOutputs, firstChannel, numChannels, hostBuffers,
                   [](OutputChannel& channel, float* destination)
                   { channel.floatDestination = destination; });
}

void IPlugBase::AttachInputBuffers(int firstChannel, int numChannels, double* const* hostBuffers)
{
    AttachChannels(mInputs, firstChannel, numChannels, hostBuffers,
                   [](InputChannel& channel, double* buffer)
                   {
                       if (buffer)
                           *channel.slot = buffer;
                   });
}

void IPlugBase::AttachOutputBuffers(int firstChannel, int numChannels, double* const* hostBuffers)
{
    for (OutputChannel& channel : mOutputs)
        channel.floatDestination = nullptr;
    AttachChannels(mOutputs, firstChannel, numChannels, hostBuffers,
                   [](OutputChannel& channel, double* buffer)
                   {
                       if (buffer)
                           *channel.slot = buffer;
                   });
}

void IPlugBase::ConvertOutputsToFloat(int frames, bool accumulate)
{
    const int usable = UsableFrames(frames);
    for (OutputChannel& channel : mOutputs)
    {
        if (!channel.connected || !channel.floatDestination)
            continue;
        const double* source = channel.scratch.data();
        float* destination = channel.floatDestination;
        if (accumulate)
            for (int i = 0; i < usable; ++i)
                destination[i] = static_cast<float>(source[i]) + destination[i];
        else
            for (int i = 0; i < usable; ++i)
                destination[i] = static_cast<float>(source[i]);
    }
}

void IPlugBase::PassInputsThrough(int frames)
{
    const int usable = UsableFrames(frames);
    if (mLatencySamples > 0 && mLatencyDelayLine)
        mLatencyDelayLine->Process(mInputPointers.data(), mOutputPointers.data(), usable);
    else
        IPlugBase::ProcessBlock(mInputPointers.data(), mOutputPointers.data(), usable);
    ConvertOutputsToFloat(usable, false);
}

void IPlugBase::ZeroScratchBuffers()
{
    for (InputChannel& channel : mInputs)
        std::fill(channel.scratch.begin(), channel.scratch.end(), 0.0);
    for (OutputChannel& channel : mOutputs)
        std::fill(channel.scratch.begin(), channel.scratch.end(), 0.0);
}

void IPlugBase::CreateLatencyDelayLine()
{
    mLatencyDelayLine = std::make_unique<LatencyDelayLine>(NumInputs(), NumOutputs(), mLatencySamples);
}
