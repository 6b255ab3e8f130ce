// The arithmetic between logical and window pixels at every scale the editor takes, and which
// rendered image set a scale draws from.

#include "graphics/EditorScale.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(EditorScaleTest, WindowPixelsMapToTheLogicalPixelTheyLieInAndAreasAreCoveredWhole)
{
    for (int percent = EditorScale::kMinPercent; percent <= EditorScale::kMaxPercent; ++percent)
    {
        SCOPED_TRACE(percent);
        const EditorScale scale(percent / 100.0);
        ASSERT_EQ(scale.Percent(), percent);
        for (int physical = -7; physical < 1600; ++physical)
        {
            const int logical = scale.ToLogical(physical);
            ASSERT_LE(scale.ToPhysical(logical), physical);
            ASSERT_GT(scale.ToPhysical(logical + 1), physical);
        }
        // An exposed window area redraws a logical area whose window image holds it.
        const Rect area(13, 7, 641, 379);
        const Rect covering = scale.ToPhysical(scale.ToLogicalCovering(area));
        EXPECT_EQ(covering.Union(area), covering);
        // Touching controls still touch on the screen.
        EXPECT_EQ(scale.ToPhysical(Rect(0, 0, 37, 9)).right, scale.ToPhysical(Rect(37, 0, 80, 9)).left);
    }
}

TEST(EditorScaleTest, ScalesKeepToTheRangeAndDrawFromTheirOwnOrTheNextLargerSet)
{
    EXPECT_EQ(EditorScale(0.5).Percent(), 100);
    EXPECT_EQ(EditorScale(std::nan("")).Percent(), 100);
    EXPECT_EQ(EditorScale(4.0).Percent(), 300);
    EXPECT_EQ(EditorScale(1.249).Percent(), 125);
    const struct
    {
        double factor;
        int set;
    } cases[] = {{1.0, 100},  {1.01, 150}, {1.25, 150}, {1.5, 150},
                 {1.75, 200}, {2.0, 200},  {2.5, 300},  {3.0, 300}};
    for (const auto& c : cases)
        EXPECT_EQ(EditorScale(c.factor).ArtSetPercent(), c.set) << c.factor;
    EXPECT_EQ(EditorScale::ArtResourceId(108, 100), 108);
    EXPECT_EQ(EditorScale::ArtResourceId(108, 150), 1508);
    EXPECT_EQ(EditorScale::ArtResourceId(112, 300), 3012);
}
