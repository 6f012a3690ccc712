#include <gtest/gtest.h>

#include <random>

#include "grid/excess_smooth.h"
#include "grid/grid_fixtures.h"

namespace terrak {
namespace {

using testing::EmptyGrid;

TEST(RemoveExcess, ClearsFromEachEdgeUpToTheFirstPositiveCell) {
  // Column 1 is the one examined; positive columns 0 and 2 stop every row pass at once.
  GridState grid = EmptyGrid(4, 7);
  const std::int16_t column[8] = {0, -120, -130, 150, -140, 160, -170, 0};
  for (int y = 0; y <= 7; ++y) {
    grid.HeightGrid(1, y) = column[y];
    grid.HeightGrid(0, y) = grid.HeightGrid(2, y) = 999;
    grid.HeightGrid(3, y) = -60;  // no positive cell: cleared up to row H - 1
  }
  grid.HeightGrid(3, 7) = -50;
  grid.HeightGrid(4, 3) = -70;  // column W is not visited
  RemoveExcess(grid);
  const std::int16_t expected[8] = {0, 0, 0, 150, -140, 160, 0, 0};
  for (int y = 0; y <= 7; ++y) EXPECT_EQ(grid.HeightGrid(1, y), expected[y]) << y;
  for (int y = 0; y <= 6; ++y) EXPECT_EQ(grid.HeightGrid(3, y), 0) << y;
  EXPECT_EQ(std::tuple(grid.HeightGrid(3, 7), grid.HeightGrid(4, 3)), std::tuple(-50, -70));

  // Row 1 is examined; positive rows 0 and 2 stop every column pass at once.
  grid = EmptyGrid(6, 3);
  const std::int16_t row[7] = {-10, -20, 300, -30, 310, -40, -50};
  for (int x = 0; x <= 6; ++x) {
    grid.HeightGrid(x, 1) = row[x];
    grid.HeightGrid(x, 0) = grid.HeightGrid(x, 2) = 500;
  }
  RemoveExcess(grid);
  const std::int16_t rowExpected[7] = {0, 0, 300, -30, 310, 0, -50};
  for (int x = 0; x <= 6; ++x) EXPECT_EQ(grid.HeightGrid(x, 1), rowExpected[x]) << x;

  // A row without any positive cell is cleared from column 0 to W - 1; column W keeps its value.
  grid = EmptyGrid(4, 2);
  for (int x = 0; x <= 4; ++x) grid.HeightGrid(x, 1) = static_cast<std::int16_t>(-10 * (x + 1));
  for (int x = 0; x <= 4; ++x) grid.HeightGrid(x, 0) = grid.HeightGrid(x, 2) = 500;
  RemoveExcess(grid);
  for (int x = 0; x <= 3; ++x) EXPECT_EQ(grid.HeightGrid(x, 1), 0) << x;
  EXPECT_EQ(grid.HeightGrid(4, 1), -50);
}

// Rows taken a block at a time clear what rows walked one by one clear, on one thread or split
// over two: grids of every height around the block size, sparse positives anywhere, wide empty
// margins and rows without any.
TEST(RemoveExcess, RowsInBlocksClearWhatRowsOneByOneClear) {
  std::mt19937 random(5);
  int kept = 0;  // grids with anything left
  for (int round = 0; round < 60; ++round) {
    const int w = 1 + static_cast<int>(random() % 90);
    const int h = 1 + static_cast<int>(random() % 140);
    GridState grid = EmptyGrid(w, h);
    const int density = 1 + static_cast<int>(random() % 40);
    const int margin = static_cast<int>(random() % 30);
    for (int x = 0; x <= w; ++x)
      for (int y = 0; y <= h; ++y) {
        const int r = static_cast<int>(random() % 100);
        const bool inner = x >= margin && x <= w - margin;
        if (inner && r < density) grid.HeightGrid(x, y) = static_cast<std::int16_t>(1 + r);
        else if (r < 60) grid.HeightGrid(x, y) = static_cast<std::int16_t>(-1 - r);
      }
    GridState plain = grid, split = grid;
    RemoveExcess(grid);
    RemoveExcess(split, 2);
    RemoveExcessPlain(plain);
    ASSERT_EQ(grid.HeightGrid, plain.HeightGrid) << "round " << round << " " << w << " x " << h;
    ASSERT_EQ(split.HeightGrid, plain.HeightGrid) << "round " << round << " " << w << " x " << h;
    kept += !(grid.HeightGrid == EmptyGrid(w, h).HeightGrid);
  }
  EXPECT_GT(kept, 30);
}

TEST(SmoothGrid, WeightedMeansInPlace) {
  GridState grid = EmptyGrid(3, 3);  // (1, 1) is the only interior cell
  grid.HeightGrid.Resize(4, 4, 200);
  grid.HeightGrid(1, 1) = 100;
  GridState one = EmptyGrid(3, 3);
  one.HeightGrid(1, 1) = 100;
  one.HeightGrid(0, 2) = 300;
  // f = 50: a cell of 100 among 200s becomes 150; f = 99 with a single neighbour of 300: 298.
  SmoothGridPlain(grid, 50);
  EXPECT_EQ(grid.HeightGrid(1, 1), 150);
  SmoothGridPlain(one, 99);
  EXPECT_EQ(one.HeightGrid(1, 1), 298);
  // In place: (1, 1) is smoothed first, and (1, 2) and (2, 1) read its new value.
  GridState b = EmptyGrid(4, 4);
  b.HeightGrid(1, 1) = 400;
  b.HeightGrid(1, 2) = 100;
  b.HeightGrid(2, 1) = 100;
  SmoothGridPlain(b, 50);
  EXPECT_EQ(b.HeightGrid(1, 1), 250);  // (50 * 100 + 400 * 50) / 100
  EXPECT_EQ(b.HeightGrid(1, 2), 138);  // mean (250 + 100) / 2: 137.5, halves to even
  EXPECT_EQ(b.HeightGrid(2, 1), 147);  // mean (250 + 138) / 2 = 194
  // A second pass starts from the values the first one left.
  SmoothGridPlain(b, 50);
  EXPECT_EQ(b.HeightGrid(1, 1), 196);  // mean (138 + 147) / 2 = 142.5: (7125 + 12500) / 100
  // f = 0 turns negative interpolated cells positive and keeps the border and outer ring.
  GridState c = EmptyGrid(6, 6);
  c.HeightGrid(3, 3) = -80;
  c.HeightGrid(3, 4) = -90;
  c.HeightGrid(5, 5) = -70;  // the outer ring is not smoothed
  c.HeightGrid(1, 1) = -60;  // no neighbour with a height: kept and made positive
  EXPECT_EQ(SmoothGridPlain(c, 0), 0);
  EXPECT_EQ(std::tuple(c.HeightGrid(3, 3), c.HeightGrid(3, 4), c.HeightGrid(1, 1),
                       c.HeightGrid(5, 5)),
            std::tuple(80, 90, 60, -70));
  // With the neighbours weighted, a cell without any keeps its own height and is counted.
  GridState lone = EmptyGrid(4, 4);
  lone.HeightGrid(2, 2) = -45;
  EXPECT_EQ(SmoothGridPlain(lone, 50), 1);
  EXPECT_EQ(lone.HeightGrid(2, 2), 45);
}

TEST(SmoothGrid, FastPassEqualsThePlainOneAndPassesCompound) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> value(-400, 400);
  std::uniform_int_distribution<int> empty(0, 3);
  for (int factor : {0, 1, 37, 50, 99, 100}) {
    GridState grid = EmptyGrid(30, 25);
    for (int x = 0; x <= 30; ++x)
      for (int y = 0; y <= 25; ++y)
        grid.HeightGrid(x, y) = static_cast<std::int16_t>(empty(random) == 0 ? 0 : value(random));
    // The lowest 16-bit value has no positive counterpart: it stays as it is.
    grid.HeightGrid(3, 20) = grid.HeightGrid(17, 4) = -32768;
    GridState plain = grid, fast = grid, split = grid;
    for (int pass = 0; pass < 2; ++pass) {
      const std::int64_t isolated = SmoothGridPlain(plain, factor);
      EXPECT_EQ(SmoothGrid(fast, factor), isolated);
      EXPECT_EQ(SmoothGrid(split, factor, 2), isolated);
      EXPECT_EQ(fast.HeightGrid, plain.HeightGrid) << "factor " << factor << " pass " << pass;
      EXPECT_EQ(split.HeightGrid, plain.HeightGrid) << "factor " << factor << " pass " << pass;
    }
  }
  // Out-of-range options are brought into range and said to be; values at the limits are not.
  const auto checked = [](std::int32_t smoothing, std::int32_t passes) {
    const SmoothingOptions o = CheckSmoothingOptions(smoothing, passes);
    return std::tuple(o.Factor, o.FactorClamped, o.Passes, o.PassesClamped);
  };
  EXPECT_EQ(checked(150, 3), std::tuple(100, true, 3, false));
  EXPECT_EQ(checked(-5, 1000), std::tuple(0, true, kMaxSmoothingPasses, true));
  EXPECT_EQ(checked(100, kMaxSmoothingPasses), std::tuple(100, false, kMaxSmoothingPasses, false));
  EXPECT_EQ(checked(0, -2), std::tuple(0, false, -2, false));
}

}  // namespace
}  // namespace terrak
