#pragma once
// The pixel operations the editor draws with: blits with blend modes, filled
// rectangles and a small blur. All arithmetic is integer with truncating
// division, so the editor's images are identical on every machine.

#include "graphics/raster/LICE_IBitmap.h"

// Blend mode words. The low byte selects the formula; BlendUseSourceAlpha may be
// added to weight each pixel by the source's alpha.
constexpr int BlendCopy = 0;
constexpr int BlendAdd = 1;
constexpr int BlendDodge = 2;
constexpr int BlendMultiply = 3;
constexpr int BlendOverlay = 4;
constexpr int BlendHSVAdjust = 5;
constexpr int BlendUseSourceAlpha = 0x10000;
// 0xF0 | (destination channel << 2) | source channel; channel 0 = blue ... 3 = alpha.
constexpr int BlendChannelCopy = 0xF0;

inline constexpr int BlendChannelCopyMode(int destChannel, int srcChannel)
{
    return BlendChannelCopy | ((destChannel & 3) << 2) | (srcChannel & 3);
}

// Copies srcRect of src (the whole source when none) to dest at (destX, destY).
// A weight of 1.0 is full strength; 0.0 draws nothing.
void BlitBitmap(LICE_IBitmap* dest, const LICE_IBitmap* src, int destX, int destY, const LICE_Rect* srcRect,
                float weight, int mode);

// Fills width x height pixels at (x, y) with one colour.
void FillRect(LICE_IBitmap* dest, int x, int y, int width, int height, LICE_pixel color, float weight,
              int mode);

// Smooths the top-left width x height pixels with a 3x3 kernel, in place.
void BlurBitmap(LICE_IBitmap* bitmap, int width, int height);
