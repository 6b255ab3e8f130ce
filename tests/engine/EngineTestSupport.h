#pragma once
// Helpers shared by the engine tests: rendering blocks into vectors.

#include "engine/SynthEngine.h"

#include <cstdint>
#include <vector>

struct StereoBlock
{
    std::vector<double> left;
    std::vector<double> right;
    int32_t result = 0;
};

inline StereoBlock renderBlock(SynthEngine* engine, int32_t frameCount)
{
    StereoBlock block;
    const size_t size = frameCount > 0 ? static_cast<size_t>(frameCount) : 1u;
    block.left.assign(size, -7.0);
    block.right.assign(size, -7.0);
    std::vector<double> silence(size, 0.0);
    const double* inputs[2] = {silence.data(), silence.data()};
    double* outputs[2] = {block.left.data(), block.right.data()};
    block.result = EnginePerform(engine, inputs, outputs, frameCount);
    block.left.resize(frameCount > 0 ? size : 0);
    block.right.resize(frameCount > 0 ? size : 0);
    return block;
}

// Index of the first sample that is not exactly zero, or -1.
inline int32_t firstNonZero(const std::vector<double>& samples)
{
    for (size_t i = 0; i < samples.size(); ++i)
        if (samples[i] != 0.0)
            return static_cast<int32_t>(i);
    return -1;
}
