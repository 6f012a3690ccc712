// The fast interpolation must give the plain one's grid cell for cell: on random contour sets,
// on contour maps of smooth terrains, and on grids made to provoke the exceptions (scans stopping
// at their limits on earlier results, estimates that come out negative and are stored positive).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "grid/build_grid.h"
#include "grid/contour_tiles.h"
#include "grid/grid_fixtures.h"
#include "terrain/grid_limits.h"
#include "grid/interpolate.h"
#include "grid/shrinkwrap.h"
#include "support/demo_grid.h"
#include "support/recording_progress.h"
#include "support/scripted_dialogs.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using testing::RecordingProgress;
using testing::SilentProgress;

struct Compared {
  std::int64_t cells = 0;
  std::int64_t positiveWrites = 0;  // empty cells that came out positive
  int kept = 0;                     // two-thread sweeps whose eastern columns were kept
  int sweptAgain = 0;               // and those swept again after the west
  Compared& operator+=(const Compared& other) {
    cells += other.cells;
    positiveWrites += other.positiveWrites;
    kept += other.kept;
    sweptAgain += other.sweptAgain;
    return *this;
  }
};

// The fast interpolation on one thread and on two, split at a third, half and two thirds of the
// width, its bit tables made from the grid and from its contour tiles (and the copy made into a
// grid made ahead), against the plain one:
// the grid, the count of cells left empty, and the progress.
Compared ExpectSameInterpolation(const GridState& input, const std::string& what) {
  GridState plain = input;
  RecordingProgress plainProgress;
  const auto plainCounts = InterpolateHeightsPlain(plain, plainProgress);
  Compared compared;
  for (std::int64_t x = 0; x < input.HeightGrid.Columns(); ++x)
    for (std::int64_t y = 0; y < input.HeightGrid.Rows(); ++y)
      if (input.HeightGrid(x, y) == 0 && plain.HeightGrid(x, y) > 0) ++compared.positiveWrites;
  compared.cells = input.HeightGrid.Columns() * input.HeightGrid.Rows();
  const std::int32_t w = input.GridWidth;
  const auto tiles = std::make_shared<const ContourTiles>(input.HeightGrid);
  for (const std::int32_t split : {0, w / 3, w / 2, 2 * w / 3}) {
    if (split != 0 && (w < 8 || input.GridHeight < 8)) break;
    for (const std::shared_ptr<const ContourTiles>& given : {std::shared_ptr<const ContourTiles>(), tiles}) {
      GridState fast = input;
      RecordingProgress progress;
      // With the tiles, a grid made ahead for the second thread's copy, holding other values.
      HeightGridType ahead(input.HeightGrid.Columns(), input.HeightGrid.Rows(), 7);
      const auto counts = InterpolateHeights(fast, progress,
                                             {split == 0 ? 1 : 2, split, given, given ? &ahead : nullptr});
      const std::string how = what +
                              (split == 0 ? " on one thread" : " split at " + std::to_string(split)) +
                              (given != nullptr ? ", tables from tiles" : "");
      for (std::int64_t x = 0; x < input.HeightGrid.Columns(); ++x)
        for (std::int64_t y = 0; y < input.HeightGrid.Rows(); ++y)
          if (fast.HeightGrid(x, y) != plain.HeightGrid(x, y)) {
            ADD_FAILURE() << how << " cell " << x << "," << y << ": " << fast.HeightGrid(x, y)
                          << " for " << plain.HeightGrid(x, y);
            return compared;
          }
      EXPECT_EQ(counts.CellsWithoutEstimate, plainCounts.CellsWithoutEstimate) << how;
      EXPECT_EQ(progress.Shown, plainProgress.Shown) << how;
      compared.kept += counts.Split == SplitOutcome::Kept ? 1 : 0;
      compared.sweptAgain += counts.Split == SplitOutcome::SweptAgain ? 1 : 0;
      EXPECT_EQ(counts.Split == SplitOutcome::OneThread, split == 0) << how;
    }
  }
  return compared;
}

// Both ways of the two-thread sweep were taken.
void ExpectBothOutcomes(const Compared& compared) {
  EXPECT_GT(compared.kept, 0);
  EXPECT_GT(compared.sweptAgain, 0);
}

GridState Wrapped(GridState grid, std::int32_t gap) {
  GridBuildState build;
  SilentProgress progress;
  ShrinkWrap(grid, gap, build, progress);
  return grid;
}

TEST(InterpolationIdentity, RandomContourSets) {
  Compared compared;
  for (std::uint32_t seed = 1; seed <= 120; ++seed) {
    const std::int32_t w = 8 + static_cast<std::int32_t>(seed * 7 % 53);
    const std::int32_t h = 8 + static_cast<std::int32_t>(seed * 13 % 47);
    // Sparse and dense sets; every fourth with contours two cells thick.
    GridState grid = testing::RandomContourGrid(seed, w, h, 1 + static_cast<int>(seed % 16));
    if (seed % 4 == 0) testing::ThickenContours(grid);
    constexpr std::int32_t kGaps[] = {0, 10, 50, 20};
    compared += ExpectSameInterpolation(grid, "raw seed " + std::to_string(seed));
    compared += ExpectSameInterpolation(Wrapped(grid, kGaps[seed % 4]),
                                        "wrapped seed " + std::to_string(seed));
    if (HasFailure()) return;
  }
  // The sets do provoke estimates stored as positive heights.
  EXPECT_GT(compared.positiveWrites, 0);
  ExpectBothOutcomes(compared);
}

// Contours at negative heights are empty to the scans but stop them at the grid's last rows and
// columns with a value, and make estimates below zero: the cells whose lines meet them take the
// step-by-step estimate, the others the steepest line's. Contours running along the edges make
// scans stop on their limits at every row and column.
TEST(InterpolationIdentity, NegativeHeightsAndContoursAlongTheEdges) {
  Compared compared;
  for (std::uint32_t seed = 1; seed <= 200; ++seed) {
    const std::int32_t w = 6 + static_cast<std::int32_t>(seed * 5 % 31);
    const std::int32_t h = 6 + static_cast<std::int32_t>(seed * 11 % 29);
    GridState grid = testing::RandomContourGrid(seed + 1000, w, h, 2 + static_cast<int>(seed % 6));
    HeightGridType& g = grid.HeightGrid;
    for (std::int64_t x = 0; x < g.Columns(); ++x)
      for (std::int64_t y = 0; y < g.Rows(); ++y) {
        std::int16_t& cell = g(x, y);
        const bool edge = x <= 1 || y <= 1 || x >= w - 2 || y >= h - 2;
        if (cell > 0 && (x + 2 * y + seed) % 5 == 0) cell = static_cast<std::int16_t>(-cell / 10);
        if (cell == 0 && edge && (x * 7 + y * 3 + seed) % (seed % 3 + 2) == 0)
          cell = static_cast<std::int16_t>(seed % 2 == 0 ? -30 : 20 + 10 * ((x + y) % 4));
      }
    compared += ExpectSameInterpolation(grid, "seed " + std::to_string(seed));
    if (HasFailure()) return;
  }
  EXPECT_GT(compared.positiveWrites, 0);
  ExpectBothOutcomes(compared);
}

void ExpectTilesOf(const std::shared_ptr<ContourTiles>& tiles, const GridState& grid,
                   const std::string& what) {
  ASSERT_NE(tiles, nullptr) << what;
  const ContourTiles fresh(grid.HeightGrid);
  for (std::int64_t ty = 0; ty < fresh.TilesDown(); ++ty)
    for (std::int64_t tx = 0; tx < fresh.TilesAcross(); ++tx)
      ASSERT_EQ(tiles->Tile(tx, ty), fresh.Tile(tx, ty)) << what << " tile " << tx << "," << ty;
}

TEST(InterpolationIdentity, DemoMapsReadFromTheirFiles) {
  testing::TempFolder folder;
  for (std::uint32_t seed = 1; seed <= 3; ++seed) {
    const testing::DemoMapOptions options{
        .Width = 150.0 + 40 * seed, .Depth = 120.0 + 30 * seed, .Interval = seed == 2 ? 2.5 : 5, .Seed = seed};
    const MapModel model = testing::OpenDemoModel(testing::MakeDemoMap(options), 10000, folder.Path());
    testing::ScriptedDialogs dialogs;
    GridState grid;
    GridBuildState build;
    build.CurveSteps = GridCurveSteps(model.MapScale);
    Settings settings;
    SilentProgress progress;
    const GridServices services{progress, dialogs, nullptr};
    ASSERT_TRUE(PrepareGrid(model, grid, build, services));
    // The painting and the shrink-wrap leave the tiles of the grid as they made it.
    PaintGrid(model, grid, build, services);
    ExpectTilesOf(build.Tiles, grid, "painted");
    ShrinkWrapGrid(settings, grid, build, services);
    ExpectTilesOf(build.Tiles, grid, "sealed");
    const Compared compared = ExpectSameInterpolation(grid, "demo map seed " + std::to_string(seed));
    EXPECT_GT(compared.cells, 20000);
    if (HasFailure()) return;
  }
}

TEST(InterpolationIdentity, HollowsAndLimitsThatProvokeTheExceptions) {
  // A ring at 1 m with 10 m beyond: the flat inside extrapolates below zero, so its cells are
  // stored positive and count as contours for the cells after them. Contours reaching the grid's
  // edges make scans stop at their limits on cells written before.
  const std::vector<std::string> picture = {
      "....................",
      ".9999999999999......",
      ".9...........9...0..",
      ".9.000000000.9......",
      ".9.0.......0.9..5...",
      ".9.0.......0.9......",
      ".9.0.......0.9.....9",
      ".9.0.......0.9....9.",
      ".9.000000000.9...9..",
      ".9...........9..9...",
      ".9999999999999.9....",
      "..............9.....",
      "....3........9......",
      "............9......."};
  GridState grid = testing::GridFromPicture(picture);
  // The inner ring's top side and a cell of its left side at 1 m.
  for (int x = 3; x <= 11; ++x) grid.HeightGrid(x, 10) = 10;
  grid.HeightGrid(5, 8) = 10;
  const Compared raw = ExpectSameInterpolation(grid, "picture");
  const Compared wrapped = ExpectSameInterpolation(Wrapped(grid, 3), "wrapped picture");
  EXPECT_GT(raw.positiveWrites + wrapped.positiveWrites, 0);
  // Tiles of another grid's size are passed over.
  GridState plain = grid, fast = grid;
  SilentProgress progress;
  InterpolateHeightsPlain(plain, progress);
  InterpolateHeights(fast, progress, {1, 0, std::make_shared<const ContourTiles>(HeightGridType(9, 9)), nullptr});
  EXPECT_EQ(fast.HeightGrid, plain.HeightGrid);
}

// Wide flat floors between few contours make the lines' walks long and the cells beside them
// carry what the walks found from cell to cell and column to column: nested rings of one height
// (some two or three cells thick, some running along or off the grid's edges), rings low enough
// that the flat inside extrapolates below zero and is stored positive in mid-grid, single
// contour cells and corner-touching diagonal contours on the floors, and contour gaps 0, 10
// and 50 over the same ground.
TEST(InterpolationIdentity, FlatFloorsRingsAndPositiveEstimatesFarFromTheEdges) {
  Compared compared;
  for (std::uint32_t seed = 1; seed <= 16; ++seed) {
    std::uint32_t state = seed * 2654435761u;
    const auto next = [&](std::uint32_t n) {
      state = state * 1664525u + 1013904223u;
      return static_cast<std::int32_t>((state >> 8) % n);
    };
    const std::int32_t w = 90 + next(90), h = 80 + next(90);
    GridState grid = testing::EmptyGrid(w, h);
    HeightGridType& g = grid.HeightGrid;
    const int rings = 2 + next(5);
    for (int i = 0; i < rings; ++i) {
      const std::int32_t x0 = next(w) - 10, y0 = next(h) - 10;
      const std::int32_t x1 = x0 + 12 + next(w), y1 = y0 + 12 + next(h);
      const std::int32_t thickness = 1 + next(3);
      // Low rings inside high ones give estimates below zero.
      const auto height = static_cast<std::int16_t>(i % 3 == 2 ? 1 + next(4) : 10 * (1 + next(30)));
      for (std::int32_t x = std::max(x0, 0); x <= std::min(x1, w); ++x)
        for (std::int32_t y = std::max(y0, 0); y <= std::min(y1, h); ++y)
          if (x - x0 < thickness || x1 - x < thickness || y - y0 < thickness || y1 - y < thickness)
            g(x, y) = height;
    }
    for (int i = next(12); i > 0; --i) g(next(w + 1), next(h + 1)) = static_cast<std::int16_t>(10 * (1 + next(30)));
    for (int i = next(3); i > 0; --i) {
      const std::int32_t x0 = next(w + 1), y0 = next(h + 1), step = next(2) == 0 ? 1 : -1;
      const auto height = static_cast<std::int16_t>(10 * (1 + next(30)));
      for (std::int32_t k = 0; k < 40 && g.Contains(x0 + k, y0 + step * k); ++k) g(x0 + k, y0 + step * k) = height;
    }
    const std::string what = "seed " + std::to_string(seed);
    compared += ExpectSameInterpolation(grid, what);
    constexpr std::int32_t kGaps[] = {0, 10, 50};
    for (const std::int32_t gap : kGaps)
      compared += ExpectSameInterpolation(Wrapped(grid, gap), what + " gap " + std::to_string(gap));
    if (HasFailure()) return;
  }
  EXPECT_GT(compared.positiveWrites, 0);
  ExpectBothOutcomes(compared);
}

// The widest and the tallest grid the program builds: the lines' state holds positions in 16
// bits, so the cells at the far end, the walks reaching the last column or row and the up sides
// that stay ahead for the rest of a line must come out as on a small grid. Contours cross the
// long side every few dozen cells, but for a wide flat stretch near its far end (long walks
// whose near cells lie beyond position 32000) and a contour on the very last line.
TEST(InterpolationIdentity, GridsAsLongAsTheLargestSide) {
  constexpr std::int32_t kLong = kMaxGridSide, kShort = 9;
  for (const bool wide : {true, false}) {
    GridState grid = testing::EmptyGrid(wide ? kLong : kShort, wide ? kShort : kLong);
    HeightGridType& g = grid.HeightGrid;
    const auto set = [&](std::int32_t along, std::int32_t across, std::int16_t v) {
      if (wide)
        g(along, across) = v;
      else
        g(across, along) = v;
    };
    for (std::int32_t p = 3; p <= kLong; p += 37 + p % 11) {
      if (p > 30000 && p < 32400) continue;
      // Some crossings leave a gap, others run slanted over two positions; heights go up and
      // down again so that the lines slope both ways and some are flat between equal heights.
      const auto v = static_cast<std::int16_t>(10 * (1 + (p / 37) % 7));
      for (std::int32_t q = 0; q <= kShort; ++q)
        if ((p / 37) % 5 != 0 || q != 4) set(p + (q > 5 && p + 1 <= kLong ? 1 : 0), q, v);
    }
    for (std::int32_t q = 0; q <= kShort; ++q) set(kLong, q, 90);
    set(32300, 2, 40);  // a lone cell on the flat stretch
    ExpectSameInterpolation(grid, wide ? "wide grid" : "tall grid");
    ExpectSameInterpolation(Wrapped(grid, 10), wide ? "wrapped wide grid" : "wrapped tall grid");
    if (HasFailure()) return;
  }
}

}  // namespace
}  // namespace terrak
