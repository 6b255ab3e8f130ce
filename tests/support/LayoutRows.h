#pragma once
// Where the instrument's layout puts its controls, for tests and tools that click them or
// look at them in an editor window.

#include "instrument/KestrumLayout.h"

// The rectangle of a layout row, with its image at the size the layout table gives.
inline KestrumLayout::Bounds RowRect(int row)
{
    const KestrumLayout::Row& entry = KestrumLayout::kRows[row];
    const KestrumLayout::ImageFile* image = KestrumLayout::FindImage(entry.imageId);
    return KestrumLayout::RowBounds(entry, image ? image->width : 0, image ? image->height : 0);
}

// The layout row whose control is bound to the parameter (-1 for none).
inline int RowOfParameter(int paramIndex)
{
    for (int row = 0; row < KestrumLayout::kRowCount; ++row)
        if (KestrumLayout::kRows[row].paramIndex == paramIndex)
            return row;
    return -1;
}
