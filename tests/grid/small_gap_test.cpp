// The outline refinement at small contour gaps, where it does most of its work: bulges that pass
// over the grid's last column and row, the whole stage against the plain bulge, and whole grids
// of demo maps at gaps 0, 10 and 50 as they were reviewed.
#include <gtest/gtest.h>

#include <cstdint>

#include "grid/build_grid.h"
#include "grid/grid_fixtures.h"
#include "grid/shrinkwrap.h"
#include "support/demo_grid.h"
#include "support/recording_progress.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using testing::EmptyGrid;

WrapperList Bulge(const GridState& grid, WrapCell p, WrapCell n) {
  ShrinkControl control;
  return BulgeCells(grid, p, n, control);
}
WrapperList PlainBulge(const GridState& grid, WrapCell p, WrapCell n) {
  ShrinkControl control;
  return BulgeCellsPlain(grid, p, n, control);
}

TEST(SmallGaps, BulgesNeverTakeCellsOfTheLastColumnOrRow) {
  // Southwards along column 19 of a 20 x 20 grid the inside is to the east: the bulges swing out
  // over column W = 20, whose cells the refinement never takes.
  GridState grid = EmptyGrid(20, 20);
  for (int y = 0; y <= 20; ++y) grid.HeightGrid(20, y) = 300;
  EXPECT_TRUE(Bulge(grid, {19, 18}, {19, 2}).empty() && PlainBulge(grid, {19, 18}, {19, 2}).empty());
  // The same along row 19 eastwards, the inside to the north, over row H = 20.
  grid = EmptyGrid(20, 20);
  for (int x = 0; x <= 20; ++x) grid.HeightGrid(x, 20) = 300;
  EXPECT_TRUE(Bulge(grid, {2, 19}, {18, 19}).empty());
  // One column further in, the first bulge meets them.
  for (int x = 0; x <= 20; ++x) grid.HeightGrid(x, 19) = 250;
  grid.HeightGrid(2, 18) = grid.HeightGrid(18, 18) = 100;
  const WrapperList cells = Bulge(grid, {2, 18}, {18, 18});
  EXPECT_EQ(cells, PlainBulge(grid, {2, 18}, {18, 18}));
  ASSERT_FALSE(cells.empty());
  for (const TWrapperPoint& c : cells) EXPECT_EQ(c.Y, 19);
}

TEST(SmallGaps, BulgesMeetTheCellsOfThePlainSamplingWhereContoursTouchTheEdges) {
  int found = 0, edges = 0;
  for (std::uint32_t seed = 1; seed <= 80; ++seed) {
    const std::int32_t w = 12 + static_cast<std::int32_t>(seed % 25);
    const std::int32_t h = 10 + static_cast<std::int32_t>(seed * 7 % 23);
    const GridState grid = testing::RandomContourGrid(seed, w, h, 3 + static_cast<int>(seed % 4));
    for (int pair = 0; pair < 40; ++pair) {
      // Ends anywhere, the grid's edges included, where the outline's points lie.
      const auto at = [&](int k, std::int32_t size) {
        const int r = static_cast<int>((seed * 31 + static_cast<std::uint32_t>(k) * 17) % static_cast<std::uint32_t>(size + 3));
        return static_cast<std::int16_t>(r == size + 1 ? 0 : r == size + 2 ? size : r);
      };
      const WrapCell p{at(pair * 4, w), at(pair * 4 + 1, h)};
      const WrapCell n{at(pair * 4 + 2, w), at(pair * 4 + 3, h)};
      const WrapperList plain = PlainBulge(grid, p, n);
      ShrinkControl quick, every;
      every.EverySample = true;
      ASSERT_EQ(BulgeCells(grid, p, n, quick), plain) << "seed " << seed << " pair " << pair;
      ASSERT_EQ(BulgeCells(grid, p, n, every), plain) << "seed " << seed << " pair " << pair;
      EXPECT_EQ(quick.Work, every.Work);  // samples passed over count as work too
      found += !plain.empty();
      edges += p.X == w || p.Y == h || n.X == w || n.Y == h;
    }
  }
  EXPECT_GT(found, 1000);
  EXPECT_GT(edges, 300);
}

// A hash of everything a construction leaves: the grid, the step count the refinement leaves
// behind and the notes, so that any changed cell shows.
std::uint64_t Fingerprint(const GridState& grid, const GridBuildState& build) {
  std::uint64_t hash = 1469598103934665603u;
  const auto add = [&](std::int64_t v) {
    for (int i = 0; i < 8; ++i) {
      hash ^= static_cast<std::uint64_t>(v >> (8 * i)) & 0xffu;
      hash *= 1099511628211u;
    }
  };
  add(grid.HeightGrid.Columns());
  add(grid.HeightGrid.Rows());
  for (std::int64_t i = 0; i < grid.HeightGrid.Columns() * grid.HeightGrid.Rows(); ++i)
    add(grid.HeightGrid.Data()[i]);
  add(build.CurveSteps);
  add(build.Notes.ShrinkLoopsCut);
  add(build.Notes.SealCellsOutside);
  add(build.Notes.CellsWithoutEstimate);
  add(build.Notes.IsolatedCells);
  return hash;
}

TEST(SmallGaps, DemoMapGridsAtGapsZeroTenAndFiftyStayAsReviewed) {
  testing::TempFolder folder;
  const MapModel model = testing::OpenDemoModel(
      testing::MakeDemoMap({.Width = 260, .Depth = 210, .Interval = 2.5, .Seed = 5}), 10000, folder.Path());
  testing::ScriptedDialogs dialogs;
  struct Case {
    std::int32_t gap, smoothing, passes;
    std::uint64_t fingerprint;
  };
  const Case cases[] = {{0, 0, 1, 16558638909546345963u},
                        {10, 0, 1, 6108305206877669424u},
                        {50, 0, 1, 18257141789586880911u},
                        {10, 40, 2, 15201501979703434820u},
                        {0, 0, 0, 5673412959065589091u}};
  for (const Case& c : cases) {
    const Settings settings{.Smoothing = c.smoothing, .SmoothingPasses = c.passes, .ContourGap = c.gap,
                            .File = {}};
    GridState grid;
    GridBuildState build;
    build.CurveSteps = GridCurveSteps(model.MapScale);
    testing::SilentProgress progress;
    ASSERT_TRUE(BuildGrid(model, settings, grid, build, {progress, dialogs, nullptr}));
    EXPECT_EQ(Fingerprint(grid, build), c.fingerprint)
        << "gap " << c.gap << " smoothing " << c.smoothing << " passes " << c.passes;
  }
}

}  // namespace
}  // namespace terrak
