#pragma once
// The editor's back buffer: on Windows a top-down 32-bit GDI DIB section selected
// into its own memory device context, so GDI can draw text straight into the
// pixels and the window layer can copy them to the screen. Elsewhere it is plain
// memory with the same sizing rules and no device context.
// The allocation never shrinks, so resizing back and forth costs nothing.

#include "graphics/raster/LICE_IBitmap.h"

class LICE_SysBitmap : public LICE_IBitmap
{
public:
    LICE_SysBitmap(int width = 0, int height = 0);
    LICE_SysBitmap(const LICE_SysBitmap&) = delete;
    LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

    // [window thread] Restores the DC's previous bitmap, deletes the section and the DC.
    ~LICE_SysBitmap() override;
    // [window thread]
    LICE_pixel* GetBits() const override { return m_bits; }
    // [window thread]
    int GetWidth() const override { return m_width; }
    // [window thread]
    int GetHeight() const override { return m_height; }
    // [window thread] The allocated width (the width rounded up to a multiple of 4).
    int GetRowSpan() const override { return m_allocatedWidth; }
    // [window thread]
    bool IsFlipped() const override { return false; }
    // [window thread] Returns true when the size changed, false when unchanged or
    // when the new size leaves no pixels.
    bool Resize(int width, int height) override;
    // [window thread] The memory device context (none without GDI).
    LICE_HDC GetDeviceContext() const override;
    // [window thread]
    intptr_t QueryExtension(int, void*) override { return 0; }

private:
    bool HasContext() const;
    void ReleaseSection();
    bool CreateSection();

    int m_width = 0;
    int m_height = 0;
    LICE_pixel* m_bits = nullptr;
    int m_allocatedWidth = 0;
    int m_allocatedHeight = 0;
#ifdef _WIN32
    HDC m_dc = nullptr;
    HBITMAP m_section = nullptr;
    HGDIOBJ m_previousBitmap = nullptr;
#else
    void* m_memory = nullptr;
#endif
};
