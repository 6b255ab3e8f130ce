#pragma once
// How far the editor is enlarged on the screen, and the arithmetic between its two kinds of
// pixels. The layout, every control rectangle, hit test and knob gearing stay in logical
// pixels (the editor at 100 %); the window and its back buffer are physical pixels, the
// logical size times the scale. One rounding rule (half up) maps every logical edge, so two
// controls that touch in logical pixels still touch on the screen.
//
// The images come in a few rendered sets; a scale between two sets is reduced from the next
// larger one, never enlarged from a smaller one. Above the largest set the editor stays at
// the largest set's scale; below 100 % it stays at 100 %.

#include "graphics/IGraphicsTypes.h"

class EditorScale
{
public:
    static constexpr int kMinPercent = 100;
    static constexpr int kMaxPercent = 300;
    // The rendered image sets, in percent, smallest first (100 is the ids 101 to 112).
    static constexpr int kArtSetPercents[] = {100, 150, 200, 300};

    EditorScale() = default;
    // Any factor; kept to whole percent in [kMinPercent, kMaxPercent]. NaN counts as 1.
    explicit EditorScale(double factor);

    int Percent() const { return mPercent; }
    double Factor() const { return mPercent / 100.0; }
    bool IsUnity() const { return mPercent == 100; }
    bool operator==(const EditorScale& other) const { return mPercent == other.mPercent; }
    bool operator!=(const EditorScale& other) const { return mPercent != other.mPercent; }

    // A logical coordinate or length in physical pixels, rounded half up.
    int ToPhysical(int logical) const;
    Rect ToPhysical(const Rect& logical) const;
    // The logical pixel a physical coordinate falls in.
    int ToLogical(int physical) const;
    // The smallest logical rectangle whose physical image covers the physical one.
    Rect ToLogicalCovering(const Rect& physical) const;

    // The rendered set the images at this scale come from: this scale's own, else the next
    // larger one.
    int ArtSetPercent() const;
    // The resource id of a 1x image (101 to 112) in a rendered set: the id itself for 100,
    // else percent * 10 + (id - 100), so 108 is 1508, 2008 and 3008.
    static int ArtResourceId(int resourceId, int setPercent);
    // The module-wide cache key of an image at this scale (the id itself at 100 %).
    int CacheKey(int resourceId) const;

private:
    int mPercent = 100;
};
