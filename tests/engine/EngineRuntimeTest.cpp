// Delay line, cosine table and sample buffer behaviour.

#include "engine/CosineTable.h"
#include "engine/DataBuffer.h"
#include "engine/DelayLine.h"
#include "engine/NumberGuards.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace
{

TEST(DelayLineTest, ReadsZeroDelayFromFreshLineAndClampsDelays)
{
    DelayLine line;
    ASSERT_TRUE(line.prepare());
    EXPECT_EQ(line.read(0.0), 0.0);
    EXPECT_EQ(line.read(-3.0), 0.0);

    line.write(1.0);
    line.write(2.0);
    line.write(3.0);
    EXPECT_EQ(line.read(1.0), 3.0);
    EXPECT_EQ(line.read(2.0), 2.0);
    EXPECT_EQ(line.read(1.5), 2.5);
    // Once written, anything below one sample reads as one sample.
    EXPECT_EQ(line.read(0.0), 3.0);
    EXPECT_EQ(line.read(-5.0), 3.0);
    EXPECT_EQ(line.read(std::nan("")), 3.0);
    // 8003 back wraps to the zeros beyond the written samples; 8000 is the limit.
    EXPECT_EQ(line.read(9000.0), line.read(8000.0));
}

TEST(DelayLineTest, LongestDelayReturnsTheSampleWrittenEightThousandPassesAgo)
{
    DelayLine line;
    ASSERT_TRUE(line.prepare());
    for (int i = 0; i < 20000; ++i)
    {
        if (i >= 8000)
        {
            ASSERT_EQ(line.read(9000.0), static_cast<double>(i - 8000)) << i;
        }
        line.write(static_cast<double>(i));
    }
}

TEST(DelayLineTest, SecondPreparationZeroesAndRestartsPositions)
{
    DelayLine line;
    ASSERT_TRUE(line.prepare());
    for (int i = 0; i < 100; ++i)
        line.write(1.0 + i);
    ASSERT_TRUE(line.prepare());
    EXPECT_EQ(line.writePosition(), 0);
    EXPECT_EQ(line.lastWritePosition(), 0);
    for (int i = 0; i < DelayLine::kSizeSamples; ++i)
        ASSERT_EQ(line.memory()[i], 0.0) << i;
    EXPECT_EQ(line.read(0.0), 0.0);
}

TEST(CosineTableTest, LookupHitsTableEntriesAndInterpolates)
{
    CosineTable table;
    table.build();
    ASSERT_TRUE(table.isComplete());
    EXPECT_EQ(table.lookup(0.0), 1.0);
    EXPECT_EQ(table.lookup(0.5), -1.0);
    EXPECT_NEAR(table.lookup(0.25), 0.0, 1e-15);
    EXPECT_EQ(table.lookup(0.25), table.entries()[4096]);
    // The step fraction slightly exceeds 1/262144, so it reaches 1 at the top of a step:
    // the last phase in a step gives (nearly) the next entry, not the current one.
    const double topOfFirstStep = (262144.0 - 1.0) / 4294967296.0;
    EXPECT_NEAR(table.lookup(topOfFirstStep), table.entries()[1], 1e-16);
    // The end of the period interpolates back to entry 0.
    EXPECT_NEAR(table.lookup(std::nextafter(1.0, 0.0)), 1.0, 1e-15);
    for (int i = 0; i < 1000; ++i)
    {
        const double phase = i / 1000.0;
        ASSERT_NEAR(table.lookup(phase), std::cos(phase * 2.0 * 3.141592653589793), 1e-7) << phase;
    }
}

TEST(CosineTableTest, OutOfRangePhaseDoesNotReadOutsideTheTable)
{
    CosineTable table;
    table.build();
    EXPECT_TRUE(std::isfinite(table.lookup(std::nan(""))));
    EXPECT_TRUE(std::isfinite(table.lookup(1e300)));
    EXPECT_TRUE(std::isfinite(table.lookup(-0.5)));
}

TEST(DataBufferTest, ResizeKeepsLeadingFramesAndZeroFillsTheRest)
{
    DataBuffer buffer;
    ASSERT_TRUE(buffer.resize(4));
    for (int i = 0; i < 4; ++i)
        buffer.samples()[i] = i + 1.0;
    ASSERT_TRUE(buffer.resize(6));
    EXPECT_EQ(buffer.channelCount(), 1);
    const std::vector<double> grown(buffer.samples(), buffer.samples() + 6);
    EXPECT_EQ(grown, (std::vector<double>{1, 2, 3, 4, 0, 0}));
    ASSERT_TRUE(buffer.resize(2));
    EXPECT_EQ(buffer.frameCount(), 2);
    EXPECT_EQ(buffer.samples()[1], 2.0);
    // The same size keeps the memory but clears it.
    double* before = buffer.samples();
    ASSERT_TRUE(buffer.resize(2));
    EXPECT_EQ(buffer.samples(), before);
    EXPECT_EQ(buffer.samples()[0], 0.0);
    EXPECT_EQ(buffer.samples()[1], 0.0);
}

// The 16-bit quantiser converts through a 64-bit integer instead of calling trunc; it
// must agree with clamp, trunc, clamp bit for bit, down to the sign of a zero result.
TEST(NumberGuardsTest, QuantiserAgreesWithTruncationBitForBit)
{
    const auto clamp = [](double x) { return x < -1.0 ? -1.0 : (x > 1.0 ? 1.0 : x); };
    const double infinity = std::numeric_limits<double>::infinity();
    std::vector<double> values = {0.0,     -0.0,     1e-300,   -1e-300,  1.0 / 65536.0, -1.0 / 65536.0,
                                  0.99999, -0.99999, 1.0,      -1.0,     3.5,           -3.5,
                                  1e300,   -1e300,   infinity, -infinity};
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> spread(-1.5, 1.5);
    for (int i = 0; i < 100000; ++i)
        values.push_back(spread(random) * (i % 2 == 0 ? 1.0 : 1e-4));
    for (const double x : values)
    {
        const double expected = clamp(std::trunc(clamp(x) * 32768.0) / 32768.0);
        const double actual = numberguard::quantise16(x);
        ASSERT_EQ(std::memcmp(&expected, &actual, sizeof actual), 0) << x;
    }
    EXPECT_TRUE(std::isnan(numberguard::quantise16(std::numeric_limits<double>::quiet_NaN())));
}

} // namespace
