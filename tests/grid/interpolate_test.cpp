#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "grid/grid_fixtures.h"
#include "grid/interpolate.h"
#include "grid/interpolate_estimate.h"
#include "support/recording_progress.h"

namespace terrak {
namespace {

using testing::EmptyGrid;
using testing::RecordingProgress;
using testing::SilentProgress;

// Runs both implementations and checks they agree; returns the result.
GridState Interpolated(const GridState& input) {
  GridState plain = input, fast = input;
  SilentProgress progress;
  InterpolateHeightsPlain(plain, progress);
  InterpolateHeights(fast, progress);
  EXPECT_EQ(fast.HeightGrid, plain.HeightGrid);
  return plain;
}

void Row(GridState& grid, int y, int x0, int x1, std::int16_t h) {
  for (int x = x0; x <= x1; ++x) grid.HeightGrid(x, y) = h;
}
void Column(GridState& grid, int x, int y0, int y1, std::int16_t h) {
  for (int y = y0; y <= y1; ++y) grid.HeightGrid(x, y) = h;
}

// A scan's points as (position, value): down near, edge and next, then up near, edge and next.
using ScanPoints = std::vector<std::pair<std::int32_t, std::int32_t>>;
ScanPoints Points(const LineScan& s) {
  ScanPoints points;
  for (const ScanPoint& p : {s.DownNear, s.DownEdge, s.DownNext, s.UpNear, s.UpEdge, s.UpNext})
    points.emplace_back(p.p, p.v);
  return points;
}

// Scan results agree between the implementations and are those given.
LineScan Scan(GridState& grid, int x, int y, ScanLine line) {
  const LineScan plain = ScanLinePlain(grid, x, y, line);
  EXPECT_EQ(Points(ScanLineFast(grid, x, y, line)), Points(plain));
  return plain;
}

TEST(Interpolation, ColumnAndRowScansReportNearEdgeAndNext) {
  GridState grid = EmptyGrid(20, 20);
  Column(grid, 5, 12, 14, 200);  // a run three cells long above (5, 8)
  grid.HeightGrid(5, 13) = 210;
  grid.HeightGrid(5, 18) = 300;
  grid.HeightGrid(5, 4) = 100;
  grid.HeightGrid(5, 1) = 90;
  EXPECT_EQ(Points(Scan(grid, 5, 8, ScanLine::Column)),
            (ScanPoints{{4, 100}, {4, 100}, {1, 90}, {12, 200}, {14, 200}, {18, 300}}));
  // Without contours the scans stop at rows H - 1 and 0 with what those cells hold, even a
  // negated earlier result; the edge is the cell before.
  grid.HeightGrid(6, 19) = -55;
  EXPECT_EQ(Points(Scan(grid, 6, 8, ScanLine::Column)),
            (ScanPoints{{0, 0}, {1, 0}, {0, 0}, {19, -55}, {18, 0}, {19, -55}}));
  // A run reaching the top edge: the up scan passes row H - 1 and stops on row H, reading it.
  Column(grid, 7, 15, 20, 250);
  EXPECT_EQ(Points(Scan(grid, 7, 8, ScanLine::Column)),
            (ScanPoints{{0, 0}, {1, 0}, {0, 0}, {15, 250}, {19, 250}, {20, 250}}));
  // Rows scan along x with the limits W - 1 and 0.
  Row(grid, 3, 9, 10, 120);
  grid.HeightGrid(2, 3) = 110;
  EXPECT_EQ(Points(Scan(grid, 5, 3, ScanLine::Row)),
            (ScanPoints{{2, 110}, {2, 110}, {0, 0}, {9, 120}, {10, 120}, {19, 0}}));
}

TEST(Interpolation, DiagonalScansMeetCornerTouchingContoursAtTheHalfStep) {
  GridState grid = EmptyGrid(20, 20);
  // A contour drawn exactly along x + y = 10: its cells touch only at corners.
  for (int x = 0; x <= 10; ++x) grid.HeightGrid(x, 10 - x) = 100;
  for (int x = 0; x <= 20; ++x) grid.HeightGrid(x, 20 - x) = 200;
  // From (7, 8) the 45-degree walk goes (7, 7), (6, 7), (6, 6), (5, 6), (5, 5): it meets the
  // contour at the half step (5, 5), between the full steps (5, 6) and (4, 5).
  // Up from (7, 8): (7, 9), (8, 9), (8, 10), (9, 10), (9, 11) on x + y = 20.
  LineScan s = Scan(grid, 7, 8, ScanLine::Diagonal45);
  EXPECT_EQ(std::tuple(s.DownNear.p, s.DownNear.v, s.UpNear.p, s.UpNear.v), std::tuple(5, 100, 9, 200));
  // Along the 135-degree line the walk runs parallel to the contours and meets none: it stops
  // at its limits with the cells there.
  s = Scan(grid, 7, 8, ScanLine::Diagonal135);
  EXPECT_EQ(s.DownNear.v, grid.HeightGrid(s.DownNear.p, 19));
}

TEST(Interpolation, SteepestLineWinsBetweenLongContours) {
  GridState grid = EmptyGrid(20, 20);
  Row(grid, 5, 0, 20, 100);
  Row(grid, 15, 0, 20, 200);
  // The column's gradient of 10 beats the diagonals' 7.07, and the row meets no contour.
  EXPECT_EQ(Interpolated(grid).HeightGrid(10, 10), -150);
  // With 100 and 300 beside the cell in its row, the row's gradient of 100 wins.
  grid.HeightGrid(9, 10) = 100;
  grid.HeightGrid(11, 10) = 300;
  EXPECT_EQ(Interpolated(grid).HeightGrid(10, 10), -200);
  // Estimates are stored negated, rounded to the nearest with halves to the even neighbour, and
  // wrapped to 16 bits.
  const auto stored = [](double e) { return StoredEstimate(EstimateState{.E = e, .HaveE = true}); };
  EXPECT_EQ(std::tuple(stored(101.25), stored(102.5), stored(103.5), stored(103.75), stored(-2.5),
                       stored(-0.4), stored(40000.0)),
            std::tuple(-101, -102, -104, -104, 2, 0, 25536));
}

TEST(Interpolation, FlatEnclosuresExtrapolateTheStepBeyond) {
  // A square ring at 150 with a ring at 140 around it: a hilltop, between 150 and 160.
  GridState grid = EmptyGrid(30, 30);
  for (int i = 5; i <= 25; ++i) {
    grid.HeightGrid(i, 5) = grid.HeightGrid(i, 25) = grid.HeightGrid(5, i) = grid.HeightGrid(25, i) = 140;
  }
  for (int i = 10; i <= 20; ++i) {
    grid.HeightGrid(i, 10) = grid.HeightGrid(i, 20) = grid.HeightGrid(10, i) = grid.HeightGrid(20, i) = 150;
  }
  const GridState done = Interpolated(grid);
  EXPECT_EQ(done.HeightGrid(15, 15), -155);  // half way across: half a step of 10 above 150
  for (int x = 11; x <= 19; ++x)
    for (int y = 11; y <= 19; ++y)
      EXPECT_TRUE(done.HeightGrid(x, y) <= -150 && done.HeightGrid(x, y) >= -160) << x << "," << y;
  // Cells outside the outer ring see no contour on one side of every line: all skipped.
  EXPECT_EQ(done.HeightGrid(2, 2), 0);
}

TEST(Interpolation, EstimateKeepsTheEarlierLineOnTiesAndCarriesOver) {
  EstimateState state;
  LineScan column;
  column.DownNear = {0, 100};
  column.UpNear = {10, 200};
  LineScan row = column;
  row.DownNear = {0, 300};
  row.UpNear = {10, 400};
  EXPECT_TRUE(ApplyLineEstimate<false>(column, 3, 1.0, state));
  EXPECT_TRUE(ApplyLineEstimate<false>(row, 3, 1.0, state));  // the same gradient of 10
  EXPECT_DOUBLE_EQ(state.E, 130.0);
  EXPECT_EQ(StoredEstimate(state), -130);
  // A near value on either side that is no height (0, or an estimate stored negated) or a zero
  // length skips the line.
  for (const auto& [down, up] : {std::pair{ScanPoint{0, 100}, ScanPoint{10, 0}}, {{0, 100}, {10, -200}},
                                 {{0, 0}, {10, 200}}, {{0, -100}, {10, 200}}, {{0, 100}, {0, 200}}}) {
    LineScan skipped = column;
    skipped.DownNear = down;
    skipped.UpNear = up;
    EXPECT_FALSE(ApplyLineEstimate<false>(skipped, 3, 1.0, state)) << down.v << " " << up.p << " " << up.v;
  }

  // Flat lines: the nearest side with a step beyond extrapolates; a nearer one replaces a farther.
  state.BestGradient = 0.0;
  state.BestDistance = 9999999.0;
  LineScan flat{.DownNear = {2, 150}, .DownEdge = {2, 150}, .DownNext = {0, 140},
                .UpNear = {10, 150}, .UpEdge = {10, 150}, .UpNext = {12, 0}};  // no step up
  EXPECT_TRUE(ApplyLineEstimate<false>(flat, 4, 1.0, state));
  EXPECT_DOUBLE_EQ(state.E, 2.0 / 8.0 * 10 + 150);
  EXPECT_DOUBLE_EQ(state.BestDistance, 2.0);
  // A second flat line without any step beyond leaves E: the cell takes it as it is.
  LineScan bare = flat;
  bare.DownNext.v = 0;
  EXPECT_TRUE(ApplyLineEstimate<true>(bare, 4, std::sqrt(2.0), state));
  EXPECT_DOUBLE_EQ(state.E, 152.5);
  // The next cell starts with fresh gradient and distance but the same E.
  state.BestGradient = 0.0;
  state.BestDistance = 9999999.0;
  EXPECT_TRUE(ApplyLineEstimate<false>(bare, 5, 1.0, state));
  EXPECT_EQ(StoredEstimate(state), -152);  // -Round(152.5), halves to even
  // Going down, a step to a higher contour beyond makes a hollow.
  state = EstimateState{};
  flat.DownNext.v = 170;
  EXPECT_TRUE(ApplyLineEstimate<false>(flat, 6, 1.0, state));
  EXPECT_DOUBLE_EQ(state.E, 4.0 / 8.0 * -20 + 150);
  // An edge or next cell that holds an estimate stored negated is no contour: no step beyond.
  for (const bool edge : {true, false}) {
    state = EstimateState{};
    LineScan stopped = flat;
    (edge ? stopped.DownEdge : stopped.DownNext).v = -150;
    stopped.UpNext.v = 160;
    EXPECT_TRUE(ApplyLineEstimate<false>(stopped, 4, 1.0, state));
    EXPECT_DOUBLE_EQ(state.E, 150 - 6.0 / 8.0 * 10) << edge;  // from the step up, 6 away
    stopped = flat;
    (edge ? stopped.DownEdge : stopped.DownNext).v = 0;
    stopped.UpNext.v = 0;
    stopped.UpEdge.v = -150;
    state = EstimateState{};
    EXPECT_TRUE(ApplyLineEstimate<false>(stopped, 4, 1.0, state));
    EXPECT_FALSE(state.HaveE) << edge;
  }
}

// Scans that stop at the grid's limits report the cells there, and a contour running along a
// limit has the cell beside it reported as its last cell: cells holding 0 or an earlier
// estimate, stored negated. Taken for heights, they made pits (0.4 m among contours of 310 m)
// and estimates stored positive, which the cells after them took for contours. Here contours
// of 310 m along column 0, column 6 and rows 1 and 7, and of 315 m along column 10: the valley
// west of column 6 falls towards it by the step beyond (5 m), and no estimate comes out
// positive or leaves the contours' range by more than that step.
TEST(Interpolation, CellsAtTheLimitsHoldNoHeightsForTheEstimate) {
  GridState grid = EmptyGrid(12, 8);
  Column(grid, 0, 1, 7, 3100);
  Column(grid, 6, 1, 7, 3100);
  Column(grid, 10, 1, 7, 3150);
  Row(grid, 1, 0, 12, 3100);
  Row(grid, 7, 0, 12, 3100);
  const GridState done = Interpolated(grid);
  for (int x = 0; x <= 12; ++x)
    for (int y = 0; y <= 8; ++y) {
      const std::int16_t v = done.HeightGrid(x, y);
      if (grid.HeightGrid(x, y) > 0) continue;
      if (v == 0) continue;
      EXPECT_LE(v, -3100 + 50) << x << "," << y;
      EXPECT_GE(v, -3150 - 50) << x << "," << y;
    }
  // Across the valley: 310 m less 5/6, 4/6, ... of the step of 5 m up to 315 m beyond column 6.
  const std::int16_t valley[] = {-3058, -3067, -3075, -3083, -3092};
  for (int y = 2; y <= 6; ++y)
    for (int x = 1; x <= 5; ++x) EXPECT_EQ(done.HeightGrid(x, y), valley[x - 1]) << x << "," << y;
}

TEST(Interpolation, EarlyCellsWithoutAnyEstimateStayEmptyAndProgressShowsColumns) {
  // A ring with nothing beyond: every line is flat and has no step; no estimate exists yet.
  GridState grid = EmptyGrid(12, 12);
  for (int i = 3; i <= 9; ++i) {
    grid.HeightGrid(i, 3) = grid.HeightGrid(i, 9) = grid.HeightGrid(3, i) = grid.HeightGrid(9, i) = 150;
  }
  GridState plain = grid, fast = grid;
  RecordingProgress progress, fastProgress;
  const InterpolationCounts counts = InterpolateHeightsPlain(plain, progress);
  EXPECT_EQ(InterpolateHeights(fast, fastProgress).CellsWithoutEstimate, counts.CellsWithoutEstimate);
  EXPECT_EQ(fastProgress.Shown, progress.Shown);
  EXPECT_EQ(fast.HeightGrid, plain.HeightGrid);
  EXPECT_GT(counts.CellsWithoutEstimate, 0);
  EXPECT_EQ(plain.HeightGrid(6, 6), 0);
  // "column N" lines overwrite each other.
  ASSERT_EQ(progress.Window.size(), 2u);
  EXPECT_EQ(std::tuple(progress.Window[0], progress.Window[1], progress.Shown[1]),
            std::tuple("working through map...", "column 11", "column 1"));
  // Grids too narrow to have an interior are left alone.
  GridState narrow = EmptyGrid(1, 5);
  narrow.HeightGrid(0, 2) = 100;
  EXPECT_EQ(Interpolated(narrow).HeightGrid, narrow.HeightGrid);
}

}  // namespace
}  // namespace terrak
