#pragma once
// A bitmap in plain heap memory. Growing reserves a quarter more than needed so
// that a bitmap resized every frame settles without further allocations.

#include "graphics/raster/LICE_IBitmap.h"

class LICE_MemBitmap : public LICE_IBitmap
{
public:
    LICE_MemBitmap(int width = 0, int height = 0);
    LICE_MemBitmap(const LICE_MemBitmap&) = delete;
    LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

    // [window thread] Frees the pixel memory.
    ~LICE_MemBitmap() override;
    // [window thread] Pixel memory rounded up to a 64-byte boundary.
    LICE_pixel* GetBits() const override;
    // [window thread]
    int GetWidth() const override { return m_width; }
    // [window thread]
    int GetHeight() const override { return m_height; }
    // [window thread] The width rounded up to a multiple of 4.
    int GetRowSpan() const override { return (m_width + kRowAlignMask) & ~kRowAlignMask; }
    // [window thread]
    bool IsFlipped() const override { return false; }
    // [window thread] Returns true when the size changed; on allocation failure the
    // bitmap ends up 0 x 0.
    bool Resize(int width, int height) override;
    // [window thread] Memory bitmaps have no device context.
    LICE_HDC GetDeviceContext() const override { return nullptr; }
    // [window thread]
    intptr_t QueryExtension(int, void*) override { return 0; }

    // Bytes reserved for pixels (not counting the alignment slack).
    int GetAllocatedBytes() const { return m_allocatedBytes; }

private:
    static constexpr int kRowAlignMask = 3;
    static constexpr int kBitsAlignment = 64;

    void FreeMemory();

    void* m_memory = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_allocatedBytes = 0;
};
