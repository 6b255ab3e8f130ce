#pragma once
// Shrinks a strip of equally sized frames with an area filter: each target pixel is the
// average of the source area it covers (fractional edges weighted by their share), with
// colours weighted by alpha so that transparent pixels do not darken the edges. Frames are
// reduced one by one, so no frame bleeds into its neighbour. Used to make the editor's
// images for a scale between two rendered sets from the larger one.

#include "graphics/raster/LICE_MemBitmap.h"

#include <memory>

// `source` holds `frames` frames stacked top to bottom; the result holds as many frames of
// width x frameHeight. None when a size is not positive, when the target is larger than the
// source in either direction (this never enlarges), or when memory runs out.
std::unique_ptr<LICE_MemBitmap> ReduceFrames(const LICE_IBitmap& source, int frames, int width,
                                             int frameHeight);
