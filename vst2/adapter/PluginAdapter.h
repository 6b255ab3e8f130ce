#pragma once
// The instrument's base class in the VST2 module.

#include "vst2/IPlugVST.h"

using PluginAdapter = IPlugVST;
