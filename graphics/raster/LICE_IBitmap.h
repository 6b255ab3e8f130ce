#pragma once
// The abstract 32-bit bitmap every drawing operation works on. Rows are stored
// top row first unless IsFlipped says otherwise; GetRowSpan counts pixels.

#include <cstdint>

#include "graphics/raster/LiceTypes.h"

class LICE_IBitmap
{
public:
    // [window thread]
    virtual ~LICE_IBitmap() = default;
    // [window thread] First pixel of the top row, or none without memory.
    virtual LICE_pixel* GetBits() const = 0;
    // [window thread]
    virtual int GetWidth() const = 0;
    // [window thread]
    virtual int GetHeight() const = 0;
    // [window thread] Pixels from the start of one row to the start of the next.
    virtual int GetRowSpan() const = 0;
    // [window thread] True when the rows are stored bottom-up.
    virtual bool IsFlipped() const = 0;
    // [window thread] Returns true when the size changed.
    virtual bool Resize(int width, int height) = 0;
    // [window thread] The GDI device context drawing into the pixels, or none.
    virtual LICE_HDC GetDeviceContext() const = 0;
    // [window thread] Reserved for extensions; every bitmap here answers 0.
    virtual intptr_t QueryExtension(int code, void* argument) = 0;
};
