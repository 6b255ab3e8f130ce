#pragma once
// The one place that decides which window layer an editor runs on and which module its
// images come from. The instrument builds its editor here; nothing else names a window layer
// or looks up a module handle.
//
// The layers are tried in a fixed order and the first one this build has and this machine
// can serve makes the editor: the Win32 layer on Windows, the X11 layer elsewhere, and the
// headless layer (which never opens a window) as the last resort.

#include "graphics/raster/LiceTypes.h"

#include <memory>

class IGraphics;
class IPlugBase;

// A new editor of the given size and frame rate on the chosen window layer, with its module
// handle set to ThisModuleHandle(). The caller owns it. [constructing thread]
std::unique_ptr<IGraphics> MakeEditorWindowLayer(IPlugBase* plug, int width, int height, int frameRate);

// The module this code is linked into: the plug-in module inside a host, the program itself
// in programs and tests. None where images are compiled into the program (no module
// resources). [any thread]
LICE_HMODULE ThisModuleHandle();
