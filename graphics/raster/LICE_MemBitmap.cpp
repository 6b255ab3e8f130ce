#include "graphics/raster/LICE_MemBitmap.h"

#include <climits>
#include <cstdlib>

LICE_MemBitmap::LICE_MemBitmap(int width, int height)
{
    if (width > 0 && height > 0)
        Resize(width, height);
}

LICE_MemBitmap::~LICE_MemBitmap() { FreeMemory(); }

LICE_pixel* LICE_MemBitmap::GetBits() const
{
    if (!m_memory)
        return nullptr;
    const uintptr_t address = reinterpret_cast<uintptr_t>(m_memory);
    const uintptr_t aligned = (address + kBitsAlignment - 1) & ~static_cast<uintptr_t>(kBitsAlignment - 1);
    return reinterpret_cast<LICE_pixel*>(aligned);
}

void LICE_MemBitmap::FreeMemory()
{
    std::free(m_memory);
    m_memory = nullptr;
    m_allocatedBytes = 0;
}

bool LICE_MemBitmap::Resize(int width, int height)
{
    if (width == m_width && height == m_height)
        return false;
    m_width = width;
    m_height = height;

    // Computed in 64 bits: a huge request must fail cleanly rather than wrap
    // around into a small buffer that the caller would then overrun.
    const int64_t rowSpan =
        (static_cast<int64_t>(width) + kRowAlignMask) & ~static_cast<int64_t>(kRowAlignMask);
    const int64_t needBytes = static_cast<int64_t>(height) * rowSpan * 4;
    if (width <= 0 || height <= 0 || needBytes <= 0 || needBytes > INT_MAX - kBitsAlignment)
    {
        FreeMemory();
    }
    else if (!m_memory)
    {
        m_memory = std::malloc(static_cast<size_t>(needBytes) + kBitsAlignment - 1);
        m_allocatedBytes = m_memory ? static_cast<int>(needBytes) : 0;
    }
    else if (needBytes > m_allocatedBytes)
    {
        const int64_t grownBytes = needBytes / 4 * 5;
        void* grown = grownBytes <= INT_MAX - kBitsAlignment
                          ? std::realloc(m_memory, static_cast<size_t>(grownBytes) + kBitsAlignment - 1)
                          : nullptr;
        if (grown)
        {
            m_memory = grown;
            m_allocatedBytes = static_cast<int>(grownBytes);
        }
        else
        {
            FreeMemory();
            m_memory = std::malloc(static_cast<size_t>(needBytes) + kBitsAlignment - 1);
            m_allocatedBytes = m_memory ? static_cast<int>(needBytes) : 0;
        }
    }

    if (!m_memory)
    {
        m_width = 0;
        m_height = 0;
    }
    return true;
}
