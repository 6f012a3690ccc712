// One bulge search kept for many pairs, as the outline refinement keeps it: the weights it makes
// for one step count and the stretches it has sampled must never leak into the searches of
// other pairs, whether their chords are longer, shorter or as long as one searched before, nor
// into a search that evaluates every sample.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "grid/bulge_search.h"
#include "grid/contour_tiles.h"
#include "grid/grid_fixtures.h"

namespace terrak {
namespace {

TEST(BulgeSearchReuse, PairsOfChangingAndReturningLengthsMeetThePlainSamplingsCells) {
  int found = 0, pairs = 0;
  for (std::uint32_t seed = 1; seed <= 12; ++seed) {
    const std::int32_t w = 150 + static_cast<std::int32_t>(seed * 41 % 120);
    const std::int32_t h = 120 + static_cast<std::int32_t>(seed * 29 % 100);
    GridState grid = testing::RandomContourGrid(seed, w, h, seed % 3 == 0 ? 3 : 6 + static_cast<int>(seed % 7));
    if (seed % 4 == 1) testing::ThickenContours(grid, 300);
    const ContourTiles tiles(grid.HeightGrid);
    ShrinkControl control;
    BulgeSearch search(grid.HeightGrid, tiles, control);
    std::mt19937 random(seed);
    const auto at = [&](std::int32_t size) { return static_cast<std::int16_t>(random() % static_cast<unsigned>(size + 1)); };
    // A few anchors whose pairs come back again and again, between pairs of fresh lengths: the
    // same step count with other points, and other step counts in between.
    const WrapCell anchors[3][2] = {{{at(w), at(h)}, {at(w), at(h)}},
                                    {{at(w), at(h)}, {at(w), at(h)}},
                                    {{at(w), at(h)}, {at(w), at(h)}}};
    for (int i = 0; i < 90; ++i) {
      WrapCell p{at(w), at(h)}, n{at(w), at(h)};
      if (i % 3 == 0) {
        p = anchors[i % 9 / 3][0];
        n = anchors[i % 9 / 3][1];
      } else if (i % 3 == 1) {
        // As long as the last anchor's chord, elsewhere and turned: its step count again.
        const WrapCell& a = anchors[(i - 1) % 9 / 3][0];
        const WrapCell& b = anchors[(i - 1) % 9 / 3][1];
        p = {static_cast<std::int16_t>(w - a.X), static_cast<std::int16_t>(h - a.Y)};
        n = {static_cast<std::int16_t>(w - b.X), static_cast<std::int16_t>(h - b.Y)};
      }
      if (p == n) continue;
      // Now and then every sample evaluated, by the same search: the stretches it samples then
      // are longer than those it took one by one before.
      control.EverySample = i % 7 == 6;
      WrapperList cells;
      search.Fill(p, n, cells);
      ShrinkControl plain;
      ASSERT_EQ(cells, BulgeCellsPlain(grid, p, n, plain)) << "seed " << seed << " pair " << i;
      found += !cells.empty();
      ++pairs;
    }
  }
  EXPECT_GT(pairs, 1000);
  EXPECT_GT(found, 300);
}

}  // namespace
}  // namespace terrak
