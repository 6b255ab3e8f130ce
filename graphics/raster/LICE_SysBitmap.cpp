#include "graphics/raster/LICE_SysBitmap.h"

#include <climits>
#include <cstdlib>

namespace
{
// Sections beyond this many bytes are refused before asking the system; the
// size arithmetic below must never wrap.
constexpr int64_t kMaxSectionBytes = INT_MAX;
} // namespace

LICE_SysBitmap::LICE_SysBitmap(int width, int height)
{
#ifdef _WIN32
    m_dc = CreateCompatibleDC(nullptr);
#endif
    Resize(width, height);
}

LICE_SysBitmap::~LICE_SysBitmap()
{
    ReleaseSection();
#ifdef _WIN32
    if (m_dc)
        DeleteDC(m_dc);
#endif
}

LICE_HDC LICE_SysBitmap::GetDeviceContext() const
{
#ifdef _WIN32
    return m_dc;
#else
    return nullptr;
#endif
}

bool LICE_SysBitmap::HasContext() const
{
#ifdef _WIN32
    return m_dc != nullptr;
#else
    return true; // plain memory needs no context
#endif
}

void LICE_SysBitmap::ReleaseSection()
{
#ifdef _WIN32
    if (m_section)
    {
        SelectObject(m_dc, m_previousBitmap);
        DeleteObject(m_section);
        m_section = nullptr;
        m_previousBitmap = nullptr;
    }
#else
    std::free(m_memory);
    m_memory = nullptr;
#endif
    m_bits = nullptr;
}

bool LICE_SysBitmap::CreateSection()
{
    const int64_t bytes = static_cast<int64_t>(m_allocatedWidth) * m_allocatedHeight * 4;
    if (bytes <= 0 || bytes > kMaxSectionBytes)
        return false;
#ifdef _WIN32
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = m_allocatedWidth;
    // A negative height asks for top-down rows, matching the other bitmaps.
    info.bmiHeader.biHeight = IsFlipped() ? m_allocatedHeight : -m_allocatedHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_section = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!m_section || !bits)
    {
        if (m_section)
            DeleteObject(m_section);
        m_section = nullptr;
        return false;
    }
    m_previousBitmap = SelectObject(m_dc, m_section);
    m_bits = static_cast<LICE_pixel*>(bits);
#else
    // 64-byte aligned like the memory bitmap, zeroed like a fresh DIB section.
    m_memory = std::calloc(static_cast<size_t>(bytes) + 63, 1);
    if (!m_memory)
        return false;
    const uintptr_t aligned = (reinterpret_cast<uintptr_t>(m_memory) + 63) & ~static_cast<uintptr_t>(63);
    m_bits = reinterpret_cast<LICE_pixel*>(aligned);
#endif
    return true;
}

bool LICE_SysBitmap::Resize(int width, int height)
{
    if (!HasContext())
    {
        m_width = 0;
        m_height = 0;
        m_bits = nullptr;
        return false;
    }
    if (width == m_width && height == m_height)
        return false;
    m_width = width;
    m_height = height;

    // Reuse the section whenever the new size fits: it never shrinks.
    if (width && height && width <= m_allocatedWidth && height <= m_allocatedHeight && m_bits)
        return true;

    m_allocatedWidth = width > 0 && width <= INT_MAX - 3 ? (width + 3) & ~3 : width;
    m_allocatedHeight = height;
    ReleaseSection();
    if (m_allocatedWidth < 1 || m_allocatedHeight < 1)
        return false;
    if (!CreateSection())
    {
        m_width = 0;
        m_height = 0;
        m_bits = nullptr;
    }
    return true;
}
