// Long bulges on larger grids, where the search splits the curve and passes over stretches
// without sampling them: the cells met stay those of the plain sampling. And the contour tiles'
// cells, built a whole tile at a time, on grids that are and are not whole tiles.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <tuple>

#include "grid/contour_tiles.h"
#include "grid/grid_fixtures.h"
#include "grid/shrinkwrap.h"

namespace terrak {
namespace {

using testing::EmptyGrid;

TEST(LongBulges, MeetTheCellsOfThePlainSamplingOnSparseDenseAndThickContours) {
  int found = 0, axisChords = 0;
  for (std::uint32_t seed = 1; seed <= 24; ++seed) {
    const std::int32_t w = 120 + static_cast<std::int32_t>(seed * 37 % 140);
    const std::int32_t h = 90 + static_cast<std::int32_t>(seed * 53 % 130);
    GridState grid = testing::RandomContourGrid(seed, w, h, seed % 3 == 0 ? 2 : 4 + static_cast<int>(seed % 9));
    std::mt19937 random(seed);
    if (seed % 4 == 1) testing::ThickenContours(grid, 400);
    if (seed % 4 == 2)  // scattered single cells, some on the grid's edges
      for (int i = 0; i < 60; ++i)
        grid.HeightGrid(static_cast<std::int64_t>(random() % static_cast<unsigned>(w + 1)),
                        static_cast<std::int64_t>(random() % static_cast<unsigned>(h + 1))) = 250;
    const auto coordinate = [&](std::int32_t size) {
      return static_cast<std::int16_t>(static_cast<std::int32_t>(random() % static_cast<unsigned>(size + 5)) - 2);
    };
    for (int pair = 0; pair < 30; ++pair) {
      WrapCell p{coordinate(w), coordinate(h)};
      WrapCell n{coordinate(w), coordinate(h)};
      if (pair % 5 == 0) n.X = p.X;  // chords along columns and rows
      if (pair % 5 == 1) n.Y = p.Y;
      if (p == n) continue;
      axisChords += pair % 5 < 2;
      ShrinkControl quick, every, plain;
      every.EverySample = true;
      const WrapperList cells = BulgeCells(grid, p, n, quick);
      ASSERT_EQ(cells, BulgeCellsPlain(grid, p, n, plain)) << seed << " " << pair;
      ASSERT_EQ(cells, BulgeCells(grid, p, n, every)) << seed << " " << pair;
      EXPECT_EQ(std::tie(quick.Work, quick.CurveSteps, quick.Work, quick.CurveSteps),
                std::tuple(every.Work, every.CurveSteps, plain.Work, plain.CurveSteps));
      found += !cells.empty();
    }
  }
  EXPECT_GT(found, 300);
  EXPECT_GT(axisChords, 200);
}

TEST(LongBulges, ContourTilesHoldExactlyTheContourCellsWhateverTheGridSize) {
  std::mt19937 random(11);
  for (const auto& [w, h] : {std::pair{7, 7}, std::pair{15, 15}, std::pair{16, 23}, std::pair{40, 8}, std::pair{63, 70}}) {
    GridState grid = EmptyGrid(w, h);
    for (std::int64_t x = 0; x <= w; ++x)
      for (std::int64_t y = 0; y <= h; ++y) {
        const auto r = random() % 5;
        grid.HeightGrid(x, y) = static_cast<std::int16_t>(r == 0 ? 30000 : r == 1 ? -7 : r == 2 ? 1 : 0);
      }
    const ContourTiles tiles(grid.HeightGrid);
    for (std::int64_t x = 0; x <= w; ++x)
      for (std::int64_t y = 0; y <= h; ++y)
        ASSERT_EQ(tiles.Contour(x, y), grid.HeightGrid(x, y) > 0) << w << "x" << h << " at " << x << "," << y;
  }
}

}  // namespace
}  // namespace terrak
