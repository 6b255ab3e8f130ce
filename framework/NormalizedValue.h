#pragma once
// Normalised values are 0 to 1 by contract; one from outside (a broken host) is brought
// inside so that no parameter takes a plain value beyond its range. Not-a-number passes:
// the parameter itself knows what to make of it.

inline double LimitNormalized(double value) { return value < 0.0 ? 0.0 : value > 1.0 ? 1.0 : value; }
