#pragma once
// One output channel of the core. Its slot is this channel's entry in the output pointer
// array that ProcessBlock writes. In single precision the slot points at the scratch buffer
// and the samples are converted into the float destination afterwards.

#include <string>
#include <vector>

struct OutputChannel
{
    bool connected = false;
    double** slot = nullptr;
    float* floatDestination = nullptr;
    std::vector<double> scratch;
    std::string label;
};
