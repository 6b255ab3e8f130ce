#include "graphics/raster/LICE_SubBitmap.h"

#include <algorithm>
#include <cstddef>

LICE_SubBitmap::LICE_SubBitmap(LICE_IBitmap* parent, const LICE_Rect& area)
{
    if (!parent || !parent->GetBits() || parent->IsFlipped())
        return;
    const int left = std::max(area.left, 0);
    const int top = std::max(area.top, 0);
    const int right = std::min(area.right, parent->GetWidth());
    const int bottom = std::min(area.bottom, parent->GetHeight());
    if (left >= right || top >= bottom)
        return;
    m_rowSpan = parent->GetRowSpan();
    m_bits = parent->GetBits() + static_cast<std::ptrdiff_t>(top) * m_rowSpan + left;
    m_width = right - left;
    m_height = bottom - top;
}
