#pragma once
// Makes an editor on the X11 window layer without bringing Xlib's macros (None, Bool,
// Always, ...) into the file that asks for one. [constructing thread]

#include <memory>

class IGraphics;
class IPlugBase;

std::unique_ptr<IGraphics> MakeX11Editor(IPlugBase* plug, int width, int height, int frameRate);
