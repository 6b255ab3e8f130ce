#pragma once
// The abstract font: draws and measures UTF-8 text on LICE bitmaps.

#include "graphics/raster/LICE_IBitmap.h"

// Text formats: the values of the GDI text-drawing call, plus this layer's own
// FormatUseTextAlpha (the text colour's alpha scales the blend weight).
constexpr int LICE_DT_CENTER = 0x1;
constexpr int LICE_DT_RIGHT = 0x2;
constexpr int LICE_DT_VCENTER = 0x4;
constexpr int LICE_DT_BOTTOM = 0x8;
constexpr int LICE_DT_SINGLELINE = 0x20;
constexpr int LICE_DT_NOCLIP = 0x100;
constexpr int LICE_DT_CALCRECT = 0x400;
constexpr int FormatUseTextAlpha = 0x40000000;

// Font flags.
constexpr int LICE_FontVertical = 0x1;      // glyphs rotated, text runs downwards
constexpr int LICE_FontVerticalFlip = 0x2;  // with LICE_FontVertical: the other direction
constexpr int LICE_FontPrecacheAscii = 0x4; // render codes 0-127 up front, never others
constexpr int LICE_FontBlur = 0x10;
constexpr int LICE_FontInvert = 0x20;
constexpr int LICE_FontThreshold = 0x40;     // coverage above 130 is full, else empty
constexpr int LICE_FontOutlineBehind = 0x80; // threshold plus an outline left and above
constexpr int LICE_FontOutline = 0x100;      // threshold plus an outline on four sides
constexpr int LICE_FontOwnsHandle = 0x200;
constexpr int LICE_FontAllowDirectDraw = 0x400;

class LICE_IFont
{
public:
    // [window thread]
    virtual ~LICE_IFont() = default;
    // [window thread] Adopts a font handle (owned with LICE_FontOwnsHandle) and empties the glyph cache.
    virtual void SetFromFontHandle(LICE_HFONT font, int flags) = 0;
    // [window thread] Returns the previous colour.
    virtual LICE_pixel SetTextColor(LICE_pixel color) = 0;
    // [window thread] Returns the previous colour.
    virtual LICE_pixel SetBackgroundColor(LICE_pixel color) = 0;
    // [window thread] The effect colour of outlined fonts; returns the previous one.
    virtual LICE_pixel SetOutlineColor(LICE_pixel color) = 0;
    // [window thread] 1 transparent, 2 opaque; returns the previous mode.
    virtual int SetBackgroundMode(int mode) = 0;
    // [window thread] Blend mode word and weight used to combine text with the bitmap.
    virtual void SetTextBlend(int mode, float weight) = 0;
    // [window thread] Draws (or with LICE_DT_CALCRECT measures into rect) UTF-8
    // text; a negative length reads up to the terminating zero. Returns the height
    // of the text (its width for vertical fonts).
    virtual int RenderText(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* rect,
                           int format) = 0;
    // [window thread]
    virtual LICE_pixel GetTextColor() const = 0;
    // [window thread]
    virtual LICE_HFONT GetFontHandle() const = 0;
    // [window thread] The font's text-metric height in pixels.
    virtual int LineHeight() const = 0;
};
