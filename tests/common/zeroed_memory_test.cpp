#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "common/grid2d.h"
#include "common/zeroed_array.h"
#include "common/zeroed_memory.h"

namespace terrak {
namespace {

// Small blocks come from calloc and large ones are mapped pages: both start zero, keep what is
// written, and go back without complaint (the sanitizer build checks the giving back).
TEST(ZeroedMemory, SmallAndLargeBlocksStartZeroAndHoldWrites) {
  EXPECT_EQ(AllocateZeroed(0), nullptr);
  FreeZeroed(nullptr, 0);
  for (const std::size_t bytes : {std::size_t{2}, kLargeZeroedBlock - 1, kLargeZeroedBlock,
                                  kLargeZeroedBlock + 4097, std::size_t{5} << 20}) {
    auto* block = static_cast<std::uint8_t*>(AllocateZeroed(bytes));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignof(std::max_align_t), 0u) << bytes;
    std::size_t nonZero = 0;
    for (std::size_t i = 0; i < bytes; i += 509) nonZero += block[i] != 0;
    EXPECT_EQ(block[bytes - 1], 0) << bytes;
    EXPECT_EQ(nonZero, 0u) << bytes;
    block[0] = 1;
    block[bytes - 1] = 2;  // the last byte is writable: the block is not cut short
    EXPECT_EQ(block[0] + block[bytes - 1], 3);
    FreeZeroed(block, bytes);
  }
}

TEST(ZeroedMemory, ArraysCopyByValueAndMoveTheirMemory) {
  ZeroedArray<std::int64_t> a(300000);  // above the large block size
  a[0] = -5;
  a[299999] = 9;
  ZeroedArray<std::int64_t> copy(a);
  copy[0] = 1;
  EXPECT_EQ(a[0], -5);
  EXPECT_EQ(copy[299999], 9);
  EXPECT_FALSE(copy == a);
  copy[0] = -5;
  EXPECT_TRUE(copy == a);
  const std::int64_t* memory = a.data();
  ZeroedArray<std::int64_t> moved(std::move(a));
  EXPECT_EQ(moved.data(), memory);
  EXPECT_TRUE(a.empty());
  moved = copy;
  EXPECT_NE(moved.data(), copy.data());
  EXPECT_EQ(moved[299999], 9);
  moved = ZeroedArray<std::int64_t>(3);
  EXPECT_EQ(std::tuple(moved.size(), moved[2]), std::tuple(3u, 0));
}

// A grid used before and resized again holds only the new fill: the old cells never show
// through, whether the fill is zero (fresh memory) or not.
TEST(Grid2D, ResizeForgetsOldCellsAndCopiesAreIndependent) {
  Grid2D<std::int16_t> grid(1100, 1000, 0);  // 2.2 MB: mapped pages
  grid(1099, 999) = 77;
  grid(0, 0) = -3;
  grid(2, 1) = 9;  // column by column
  EXPECT_EQ(grid.Data()[2 * 1000 + 1], 9);
  EXPECT_EQ(grid.Column(2)[1], 9);
  Grid2D<std::int16_t> copy = grid;
  grid(0, 0) = 4;
  EXPECT_EQ(copy(0, 0), -3);
  EXPECT_EQ(copy(1099, 999), 77);
  grid.Resize(1100, 1000);
  EXPECT_EQ(grid(1099, 999), 0);
  EXPECT_EQ(grid(0, 0), 0);
  grid.Resize(3, 2, 5);
  EXPECT_EQ(std::tuple(grid(0, 0), grid(2, 1)), std::tuple(5, 5));
  grid.Resize(3, 2, 0);
  EXPECT_EQ(grid(2, 1), 0);
  copy.ResizeKeeping(2, 1001, -1);
  EXPECT_EQ(std::tuple(copy(0, 0), copy(1, 999), copy(1, 1000)), std::tuple(-3, 0, -1));
  grid.Resize(-4, 7);
  EXPECT_TRUE(grid.Empty());
  EXPECT_EQ(std::tuple(grid.Columns(), grid.Rows()), std::tuple(0, 7));
  Grid2D<double> negativeZero(2, 2, -0.0);  // not all zero bytes: written
  EXPECT_TRUE(std::signbit(negativeZero(1, 1)));
}

}  // namespace
}  // namespace terrak
