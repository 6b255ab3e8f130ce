#include "engine/TransistorShaper.h"

using namespace numberguard;

void TransistorShaper::prepare(double load)
{
    const double level = clampValue(0.5 * load, 0.0, 1.0);
    enabled = level > 0.0;
    const double w = guardedPower(level, 3.0);
    driveK1 = 1.154 + 7.846 * w;
    driveK2 = 1.0 + 4.0 * w;
    normaliser = std::tanh(driveK1);
    gain = 0.9 - 0.2 * guardedPower(w, 0.45);
}
