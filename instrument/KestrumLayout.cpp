#include "instrument/KestrumLayout.h"

namespace KestrumLayout
{

const ImageFile* FindImage(int id)
{
    for (const ImageFile& image : kImages)
        if (image.id == id)
            return &image;
    return nullptr;
}

Bounds RowBounds(const Row& row, int imageWidth, int imageHeight)
{
    if (!row.SizedByImage())
        return {row.left, row.top, row.right, row.bottom};
    // A missing image gives an empty rectangle, so the control is neither drawn nor hit.
    if (imageWidth <= 0 || imageHeight <= 0)
        return {};
    const int frames = row.frames > 0 ? row.frames : 1;
    return {row.left, row.top, row.left + imageWidth, row.top + imageHeight / frames};
}

} // namespace KestrumLayout
