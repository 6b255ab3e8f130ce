#include "engine/NoiseGenerator.h"

std::atomic<uint32_t> NoiseGenerator::state_{2u};
