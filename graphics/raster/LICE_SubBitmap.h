#pragma once
// A rectangular window onto another bitmap's pixels: drawing into it draws into the parent,
// and nothing outside the window can be touched. The editor uses it to keep text inside
// the area being redrawn. It owns nothing; the parent must outlive it and must not be
// resized meanwhile.

#include "graphics/raster/LICE_IBitmap.h"

class LICE_SubBitmap : public LICE_IBitmap
{
public:
    // The window is cut to the parent's bounds.
    LICE_SubBitmap(LICE_IBitmap* parent, const LICE_Rect& area);

    // [window thread]
    LICE_pixel* GetBits() const override { return m_bits; }
    // [window thread]
    int GetWidth() const override { return m_width; }
    // [window thread]
    int GetHeight() const override { return m_height; }
    // [window thread]
    int GetRowSpan() const override { return m_rowSpan; }
    // [window thread]
    bool IsFlipped() const override { return false; }
    // [window thread] A window has a fixed size.
    bool Resize(int, int) override { return false; }
    // [window thread] No device context: text goes through the font's own path.
    LICE_HDC GetDeviceContext() const override { return nullptr; }
    // [window thread]
    intptr_t QueryExtension(int, void*) override { return 0; }

private:
    LICE_pixel* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_rowSpan = 0;
};
