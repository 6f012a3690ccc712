// The wrapping's rays passing over stretches the contour tiles show empty record what the walk
// cell by cell records, and leave the anchor where it does: anchors and targets inside, on and
// beyond the grid's edges, along rows and columns, steep and flat, far enough for the 16-bit
// range to wrap; grids empty, sparse, dense, thick and with cells on the edges.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>

#include "grid/contour_tiles.h"
#include "grid/grid_fixtures.h"
#include "grid/quick_ray.h"
#include "grid/shrinkwrap.h"
#include "support/recording_progress.h"

namespace terrak {
namespace {

GridState GridOfKind(std::uint32_t seed, std::mt19937& random) {
  const std::int32_t w = 40 + static_cast<std::int32_t>(seed * 37 % 200);
  const std::int32_t h = 30 + static_cast<std::int32_t>(seed * 53 % 170);
  switch (seed % 5) {
    case 0:
      return testing::EmptyGrid(w, h);
    case 1: {
      GridState grid = testing::RandomContourGrid(seed, w, h, 3);
      testing::ThickenContours(grid);
      return grid;
    }
    case 2: {
      // Scattered single cells, many on the edges, a few negative.
      GridState grid = testing::EmptyGrid(w, h);
      for (int i = 0; i < 80; ++i) {
        std::int64_t x = random() % static_cast<unsigned>(w + 1), y = random() % static_cast<unsigned>(h + 1);
        if (i % 3 == 0) x = i % 2 == 0 ? 0 : w;
        if (i % 5 == 0) y = i % 2 == 0 ? 0 : h;
        grid.HeightGrid(x, y) = static_cast<std::int16_t>(i % 7 == 0 ? -40 : 120 + i);
      }
      return grid;
    }
    case 3: {
      // Dense: every other cell holds contour.
      GridState grid = testing::EmptyGrid(w, h);
      for (std::int64_t x = 0; x <= w; ++x)
        for (std::int64_t y = 0; y <= h; ++y)
          if (random() % 2 == 0) grid.HeightGrid(x, y) = 50;
      return grid;
    }
    default:
      return testing::RandomContourGrid(seed, w, h, 2 + static_cast<int>(seed % 9));
  }
}

TEST(QuickRay, RaysRecordTheCellsAndLeaveTheAnchorOfTheWalkCellByCell) {
  int recorded = 0, long_rays = 0, wrapping = 0;
  for (std::uint32_t seed = 1; seed <= 30; ++seed) {
    std::mt19937 random(seed);
    const GridState grid = GridOfKind(seed, random);
    const ContourTiles tiles(grid.HeightGrid);
    const std::int32_t w = grid.GridWidth, h = grid.GridHeight;
    const auto near = [&](std::int32_t size) {
      return static_cast<std::int16_t>(static_cast<std::int32_t>(random() % static_cast<unsigned>(size + 9)) - 4);
    };
    for (int ray = 0; ray < 120; ++ray) {
      WrapCell anchor{near(w), near(h)};
      WrapCell target{near(w), near(h)};
      switch (ray % 8) {
        case 0: target.X = anchor.X; break;  // along a column
        case 1: target.Y = anchor.Y; break;  // along a row
        case 2:  // far away, towards the ends of the 16-bit range
          target = {static_cast<std::int16_t>(random()), static_cast<std::int16_t>(random())};
          ++wrapping;
          break;
        case 3:  // a border target, as the wrapping casts them
          target = {static_cast<std::int16_t>(random() % 2 == 0 ? -1 : w), near(h)};
          break;
        case 4:  // nearly along a row or a column
          target = {static_cast<std::int16_t>(anchor.X + 1 + static_cast<int>(random() % 2)),
                    static_cast<std::int16_t>(anchor.Y - 300 + static_cast<int>(random() % 600))};
          break;
        default:
          break;
      }
      WrapCell quickAnchor = anchor, plainAnchor = anchor;
      WrapperList quick, plain;
      CastRayOverTiles(grid.HeightGrid, tiles, quickAnchor, target, quick);
      CastRay(grid.HeightGrid, plainAnchor, target, plain);
      ASSERT_EQ(quick, plain) << "seed " << seed << " ray " << ray;
      ASSERT_EQ(quickAnchor, plainAnchor) << "seed " << seed << " ray " << ray;
      recorded += !plain.empty();
      long_rays += std::abs(target.X - anchor.X) + std::abs(target.Y - anchor.Y) > 100;
    }
  }
  EXPECT_GT(recorded, 1000);
  EXPECT_GT(long_rays, 1000);
  EXPECT_GT(wrapping, 400);
}

// One contour cell at a time in every cell beside a ray: the walk passing over stretches visits
// exactly the cells the walk cell by cell visits, or it would miss or add that one.
TEST(QuickRay, ASingleContourCellBesideTheRayIsMetWhereTheWalkCellByCellMeetsIt) {
  constexpr std::int32_t kSide = 47;
  std::mt19937 random(5);
  int met = 0, missed = 0;
  for (int ray = 0; ray < 300; ++ray) {
    const auto at = [&](int from, int to) { return static_cast<std::int16_t>(from + static_cast<int>(random() % static_cast<unsigned>(to - from + 1))); };
    const WrapCell anchor{at(0, kSide), at(0, kSide)};
    WrapCell target{at(-1, kSide + 1), at(-1, kSide + 1)};
    if (ray % 4 == 0) target = {at(-1, kSide + 1), static_cast<std::int16_t>(anchor.Y + 1 - 2 * (ray % 8 / 4))};  // nearly flat
    if (ray % 4 == 1) target = {static_cast<std::int16_t>(anchor.X + 1 - 2 * (ray % 8 / 4)), at(-1, kSide + 1)};  // nearly steep
    if (target.X == anchor.X || target.Y == anchor.Y) continue;
    const double dx = target.X - anchor.X, dy = target.Y - anchor.Y;
    for (std::int16_t x = 0; x <= kSide; ++x)
      for (std::int16_t y = 0; y <= kSide; ++y) {
        // Within two cells of the line through the anchor and the target.
        if (std::abs((x - anchor.X) * dy - (y - anchor.Y) * dx) > 2.0 * std::sqrt(dx * dx + dy * dy)) continue;
        GridState grid = testing::EmptyGrid(kSide, kSide);
        grid.HeightGrid(x, y) = 70;
        const ContourTiles tiles(grid.HeightGrid);
        WrapCell quickAnchor = anchor, plainAnchor = anchor;
        WrapperList quick, plain;
        CastRayOverTiles(grid.HeightGrid, tiles, quickAnchor, target, quick);
        CastRay(grid.HeightGrid, plainAnchor, target, plain);
        ASSERT_EQ(quick, plain) << "ray " << ray << " cell " << x << "," << y;
        ASSERT_EQ(quickAnchor, plainAnchor);
        (plain.empty() ? missed : met) += 1;
      }
  }
  EXPECT_GT(met, 1000);
  EXPECT_GT(missed, 1000);
}

TEST(QuickRay, WrappingTheMapByTilesGivesTheOutlineOfTheWalkCellByCell) {
  testing::SilentProgress progress;
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    std::mt19937 random(seed);
    const GridState grid = GridOfKind(seed, random);
    const ContourTiles tiles(grid.HeightGrid);
    ASSERT_EQ(WrapMap(grid, tiles, progress), WrapMap(grid, progress)) << "seed " << seed;
  }
}

}  // namespace
}  // namespace terrak
