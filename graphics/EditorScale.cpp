#include "graphics/EditorScale.h"

#include <cmath>

EditorScale::EditorScale(double factor)
{
    if (!(factor == factor)) // NaN
        return;
    const double percent = std::floor(factor * 100.0 + 0.5);
    if (percent <= kMinPercent)
        mPercent = kMinPercent;
    else if (percent >= kMaxPercent)
        mPercent = kMaxPercent;
    else
        mPercent = static_cast<int>(percent);
}

int EditorScale::ToPhysical(int logical) const
{
    // Integer arithmetic keeps the rounding exact: floor((logical * percent + 50) / 100).
    const long long scaled = static_cast<long long>(logical) * mPercent + 50;
    return static_cast<int>(scaled >= 0 ? scaled / 100 : -((-scaled + 99) / 100));
}

Rect EditorScale::ToPhysical(const Rect& logical) const
{
    if (IsUnity() || logical.IsEmpty())
        return logical;
    return Rect(ToPhysical(logical.left), ToPhysical(logical.top), ToPhysical(logical.right),
                ToPhysical(logical.bottom));
}

int EditorScale::ToLogical(int physical) const
{
    // The largest logical x with ToPhysical(x) <= physical.
    const long long scaled = static_cast<long long>(physical) * 100 + 50;
    const long long floorDiv = scaled >= 0 ? scaled / mPercent : -((-scaled + mPercent - 1) / mPercent);
    return static_cast<int>(ToPhysical(static_cast<int>(floorDiv)) > physical ? floorDiv - 1 : floorDiv);
}

Rect EditorScale::ToLogicalCovering(const Rect& physical) const
{
    if (IsUnity() || physical.IsEmpty())
        return physical;
    int right = ToLogical(physical.right);
    if (ToPhysical(right) < physical.right)
        ++right;
    int bottom = ToLogical(physical.bottom);
    if (ToPhysical(bottom) < physical.bottom)
        ++bottom;
    return Rect(ToLogical(physical.left), ToLogical(physical.top), right, bottom);
}

int EditorScale::ArtSetPercent() const
{
    for (const int set : kArtSetPercents)
        if (set >= mPercent)
            return set;
    return kArtSetPercents[sizeof(kArtSetPercents) / sizeof(kArtSetPercents[0]) - 1];
}

int EditorScale::ArtResourceId(int resourceId, int setPercent)
{
    return setPercent == 100 ? resourceId : setPercent * 10 + (resourceId - 100);
}

int EditorScale::CacheKey(int resourceId) const
{
    // Resource ids stay below 10,000, so each scale has a range of its own.
    return IsUnity() ? resourceId : mPercent * 10000 + resourceId;
}
