#include <gtest/gtest.h>

#include <cstdint>

#include "graphics/raster/LICE_MemBitmap.h"
#include "graphics/raster/LICE_SysBitmap.h"

namespace
{
bool Is64ByteAligned(const void* p) { return reinterpret_cast<uintptr_t>(p) % 64 == 0; }
} // namespace

TEST(RasterMemBitmap, RowSpanRoundsWidthUpToFourAndBitsAre64ByteAligned)
{
    for (int width = 1; width <= 9; ++width)
    {
        LICE_MemBitmap bitmap(width, 3);
        EXPECT_EQ(bitmap.GetRowSpan(), (width + 3) / 4 * 4) << width;
        EXPECT_TRUE(Is64ByteAligned(bitmap.GetBits())) << width;
        EXPECT_EQ(bitmap.GetAllocatedBytes(), bitmap.GetRowSpan() * 3 * 4);
        // The last pixel of the last row must be writable (ASan checks the bound).
        bitmap.GetBits()[bitmap.GetRowSpan() * 3 - 1] = 0xFFFFFFFF;
    }
    LICE_MemBitmap halfEmpty(10, 0); // constructed without pixels
    EXPECT_EQ(halfEmpty.GetBits(), nullptr);
    EXPECT_EQ(halfEmpty.GetWidth(), 0);
}

TEST(RasterMemBitmap, GrowsByAQuarterAndNeverShrinksItsMemory)
{
    LICE_MemBitmap bitmap(8, 8); // 256 bytes exactly
    EXPECT_EQ(bitmap.GetAllocatedBytes(), 256);
    EXPECT_FALSE(bitmap.Resize(8, 8));

    EXPECT_TRUE(bitmap.Resize(8, 10)); // needs 320: grows to 320 / 4 * 5
    EXPECT_EQ(bitmap.GetAllocatedBytes(), 400);
    EXPECT_TRUE(Is64ByteAligned(bitmap.GetBits()));
    LICE_pixel* bits = bitmap.GetBits();

    EXPECT_TRUE(bitmap.Resize(8, 12)); // 384 fits in 400: same memory
    EXPECT_EQ(bitmap.GetBits(), bits);
    EXPECT_TRUE(bitmap.Resize(2, 2)); // shrinking keeps the memory too
    EXPECT_EQ(bitmap.GetAllocatedBytes(), 400);
    EXPECT_EQ(bitmap.GetBits(), bits);
    EXPECT_EQ(bitmap.GetWidth(), 2);
    EXPECT_EQ(bitmap.GetRowSpan(), 4);
}

TEST(RasterMemBitmap, EmptyOrImpossibleSizesLeaveANoPixelBitmap)
{
    LICE_MemBitmap bitmap(4, 4);
    EXPECT_TRUE(bitmap.Resize(0, 4));
    EXPECT_EQ(bitmap.GetBits(), nullptr);
    EXPECT_EQ(bitmap.GetWidth(), 0);
    EXPECT_EQ(bitmap.GetHeight(), 0);
    EXPECT_EQ(bitmap.GetAllocatedBytes(), 0);

    // Sizes whose byte count does not fit in 32 bits must fail, not wrap into a
    // small buffer.
    EXPECT_TRUE(bitmap.Resize(70000, 70000));
    EXPECT_EQ(bitmap.GetBits(), nullptr);
    EXPECT_EQ(bitmap.GetWidth(), 0);
    EXPECT_TRUE(bitmap.Resize(0x7FFFFFFF, 1));
    EXPECT_EQ(bitmap.GetBits(), nullptr);
    EXPECT_TRUE(bitmap.Resize(-5, 3));
    EXPECT_EQ(bitmap.GetBits(), nullptr);

    EXPECT_TRUE(bitmap.Resize(3, 3)); // and it recovers
    ASSERT_NE(bitmap.GetBits(), nullptr);
    EXPECT_EQ(bitmap.GetWidth(), 3);
}

TEST(RasterSysBitmap, RowSpanIsTheAllocatedWidthAndTheSectionNeverShrinks)
{
    LICE_SysBitmap bitmap(5, 3);
    ASSERT_NE(bitmap.GetBits(), nullptr);
    EXPECT_EQ(bitmap.GetRowSpan(), 8);
    EXPECT_FALSE(bitmap.IsFlipped());
    LICE_pixel* bits = bitmap.GetBits();
    bits[8 * 3 - 1] = 0x12345678; // the whole allocated area is addressable

    EXPECT_FALSE(bitmap.Resize(5, 3));
    EXPECT_TRUE(bitmap.Resize(2, 2));
    EXPECT_EQ(bitmap.GetBits(), bits);
    EXPECT_EQ(bitmap.GetRowSpan(), 8);
    EXPECT_EQ(bitmap.GetWidth(), 2);

    EXPECT_TRUE(bitmap.Resize(9, 2)); // wider than allocated: a new section
    EXPECT_EQ(bitmap.GetRowSpan(), 12);
    ASSERT_NE(bitmap.GetBits(), nullptr);
    bitmap.GetBits()[12 * 2 - 1] = 1;
}

TEST(RasterSysBitmap, ZeroSizeHasNoPixels)
{
    LICE_SysBitmap bitmap(4, 4);
    EXPECT_FALSE(bitmap.Resize(0, 4));
    EXPECT_EQ(bitmap.GetBits(), nullptr);
    EXPECT_TRUE(bitmap.Resize(4, 4));
    EXPECT_NE(bitmap.GetBits(), nullptr);
    LICE_SysBitmap empty;
    EXPECT_EQ(empty.GetBits(), nullptr);
}

TEST(RasterSysBitmap, HasADeviceContextExactlyWhereGdiExists)
{
    LICE_SysBitmap bitmap(4, 4);
#ifdef _WIN32
    EXPECT_NE(bitmap.GetDeviceContext(), nullptr);
#else
    EXPECT_EQ(bitmap.GetDeviceContext(), nullptr);
#endif
}
