#pragma once
// The instrument's base class in the VST3 module.

#include "vst3/IPlugVST3.h"

using PluginAdapter = IPlugVST3;
