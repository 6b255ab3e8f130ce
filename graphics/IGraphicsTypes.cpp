#include "graphics/IGraphicsTypes.h"

#include <algorithm>

Rect Rect::Union(const Rect& other) const
{
    if (IsEmpty())
        return other;
    if (other.IsEmpty())
        return *this;
    return Rect(std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                std::max(bottom, other.bottom));
}

Rect Rect::Intersect(const Rect& other) const
{
    if (IsEmpty() || other.IsEmpty())
        return Rect();
    const Rect cut(std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                   std::min(bottom, other.bottom));
    if (cut.left >= cut.right || cut.top >= cut.bottom)
        return Rect();
    return cut;
}
