#pragma once
// One input channel of the core. Its slot is this channel's entry in the input pointer array
// that ProcessBlock reads: it points at a host buffer (double precision), at the scratch
// buffer holding the converted host samples (single precision), or at the scratch buffer
// when the channel is not connected.

#include <string>
#include <vector>

struct InputChannel
{
    bool connected = false;
    double** slot = nullptr;
    std::vector<double> scratch;
    std::string label;
};
