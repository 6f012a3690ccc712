#include <gtest/gtest.h>

#include <random>

#include "grid/contour_tiles.h"
#include "grid/grid_fixtures.h"

namespace terrak {
namespace {

// A box of a few tiles is answered cell by cell, a larger one never misses a contour cell; boxes
// reaching past the grid are cut to it. Grid sizes that are not whole tiles and boxes starting
// and ending at every offset within a tile. Tiles put together cell by cell, their sums made,
// forgotten and made again, answer as those made from the grid.
TEST(ContourTiles, BoxesFindTheContourCellsAWalkFinds) {
  std::mt19937 random(5);
  for (const auto& [w, h] : {std::pair{20, 13}, std::pair{64, 40}, std::pair{9, 70}}) {
    GridState grid = testing::EmptyGrid(w, h);
    for (int i = 0; i < (w + 1) * (h + 1) / 40; ++i)
      grid.HeightGrid(static_cast<std::int64_t>(random() % (w + 1)), static_cast<std::int64_t>(random() % (h + 1))) = static_cast<std::int16_t>(random() % 3 == 0 ? -5 : 100);
    const ContourTiles tiles(grid.HeightGrid);
    ContourTiles put(w + 1, h + 1);
    for (std::int64_t x = 0; x <= w; ++x)
      for (std::int64_t y = 0; y <= h; ++y) put.Put(x, y, grid.HeightGrid(x, y) > 0);
    put.Summarise();
    put.ForgetSums();
    put.Summarise();
    for (int round = 0; round < 5000; ++round) {
      const std::int64_t x0 = static_cast<std::int64_t>(random() % (w + 6)) - 3;
      const std::int64_t y0 = static_cast<std::int64_t>(random() % (h + 6)) - 3;
      const bool small = round % 2 == 0;
      const std::int64_t x1 = x0 + static_cast<std::int64_t>(random() % (small ? 10 : w + 2)) - 1;
      const std::int64_t y1 = y0 + static_cast<std::int64_t>(random() % (small ? 10 : h + 2)) - 1;
      bool any = false;
      for (std::int64_t x = std::max<std::int64_t>(x0, 0); x <= std::min<std::int64_t>(x1, w); ++x)
        for (std::int64_t y = std::max<std::int64_t>(y0, 0); y <= std::min<std::int64_t>(y1, h); ++y)
          any = any || grid.HeightGrid(x, y) > 0;
      const bool answer = tiles.AnyIn(x0, y0, x1, y1);
      const bool wanted = small ? any : any || answer;  // a large box may only over-report
      ASSERT_EQ(answer, wanted) << w << "x" << h << " box " << x0 << "," << y0 << " " << x1 << "," << y1;
      ASSERT_EQ(put.AnyIn(x0, y0, x1, y1), answer) << "put together";
    }
  }
}

}  // namespace
}  // namespace terrak
