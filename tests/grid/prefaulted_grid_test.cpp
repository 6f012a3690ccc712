#include <gtest/gtest.h>

#include "grid/prefaulted_grid.h"

namespace terrak {
namespace {

// The grid made ahead is the size asked for and all zero, and is handed over once.
TEST(PrefaultedGrid, HandsOverOneZeroGridOfItsSize) {
  PrefaultedGrid ahead(1001, 700);  // large enough for fresh pages of its own
  HeightGridType grid = ahead.Take();
  ASSERT_EQ(grid.Columns(), 1001);
  ASSERT_EQ(grid.Rows(), 700);
  for (std::int64_t x = 0; x < grid.Columns(); ++x)
    for (std::int64_t y = 0; y < grid.Rows(); ++y) ASSERT_EQ(grid(x, y), 0);
  EXPECT_TRUE(ahead.Take().Empty());
  // One never taken is given back with its thread.
  PrefaultedGrid untaken(10, 10);
}

}  // namespace
}  // namespace terrak
