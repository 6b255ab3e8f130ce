#pragma once
// The instrument's adapter base in the offline renderer.

#include "tools/render/IPlugOffline.h"

using PluginAdapter = IPlugOffline;
