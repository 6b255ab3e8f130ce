#pragma once
// One legal channel layout: a number of inputs and a number of outputs.

#include <cstdint>

struct ChannelIoPair
{
    int32_t numInputs = 0;
    int32_t numOutputs = 0;
};
