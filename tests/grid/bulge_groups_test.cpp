// The bulge search passes over a stretch when its box, for one bulge or for a group of bulges
// through neighbouring cells K, holds no contour. One contour cell put in turn in the cells a
// bulge can reach finds any sample a box leaves out: the search must meet that cell exactly
// where sampling every point of every bulge meets it.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "grid/grid_fixtures.h"
#include "grid/shrinkwrap.h"

namespace terrak {
namespace {

// Pairs with chords of shortest to longest cells on a square grid of side cells, one contour
// cell in every spacing-th cell in turn; returns how many of those searches met it.
int SingleCellSearches(std::int32_t side, int pairs, std::int64_t shortest, std::int64_t longest, int spacing) {
  std::mt19937 random(static_cast<std::uint32_t>(side));
  const auto at = [&](int from, int to) {
    return static_cast<std::int16_t>(from + static_cast<int>(random() % static_cast<unsigned>(to - from + 1)));
  };
  int met = 0;
  for (int pair = 0; pair < pairs;) {
    const std::int16_t margin = static_cast<std::int16_t>(side / 4);
    const WrapCell p{at(margin, side - margin), at(margin, side - margin)};
    const WrapCell n{at(0, side), at(0, side)};
    const std::int64_t d2 = (n.X - p.X) * (n.X - p.X) + (n.Y - p.Y) * (n.Y - p.Y);
    if (d2 < shortest * shortest || d2 > longest * longest) continue;
    ++pair;
    GridState grid = testing::EmptyGrid(side, side);
    for (std::int16_t x = 0; x < side; ++x)
      for (std::int16_t y = 0; y < side; ++y) {
        if ((x * 3 + y) % spacing != 0) continue;
        grid.HeightGrid(x, y) = 90;
        ShrinkControl quick, every;
        every.EverySample = true;
        const WrapperList cells = BulgeCells(grid, p, n, quick);
        EXPECT_EQ(cells, BulgeCells(grid, p, n, every)) << "pair " << pair << " cell " << x << "," << y;
        EXPECT_EQ(quick.Work, every.Work);
        met += !cells.empty();
        grid.HeightGrid(x, y) = 0;
      }
  }
  return met;
}

TEST(BulgeGroups, ASingleContourCellAnywhereIsMetWhereSamplingEveryPointMeetsIt) {
  // Short chords, whose stretches are a few cells long, and every other cell; a long chord,
  // whose stretches bend, and a cell in seven.
  EXPECT_GT(SingleCellSearches(71, 5, 25, 45, 2), 600);
  EXPECT_GT(SingleCellSearches(181, 1, 70, 110, 7), 300);
}

}  // namespace
}  // namespace terrak
