#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "grid/grid_fixtures.h"
#include "grid/shrinkwrap.h"
#include "support/recording_progress.h"

namespace terrak {
namespace {

using testing::EmptyGrid;
using testing::RecordingProgress;
using testing::SilentProgress;

WrapCell CellOf(const TWrapperPoint& p) { return {p.X, p.Y}; }

Outline Joined(const WrapperList& points) {
  Outline outline{points, std::vector<bool>(points.size(), true)};
  if (!points.empty()) outline.JoinedToPrevious[0] = false;
  return outline;
}

TEST(ShrinkWrap, RaysCollectContourCellsAndMoveTheAnchor) {
  GridState grid = EmptyGrid(10, 10);
  grid.HeightGrid(5, 5) = 120;
  // From (0, 0) only the last ray of the right side, to (9, 9), meets (5, 5).
  WrapCell anchor{0, 0};
  WrapperList list;
  CastRay(grid.HeightGrid, anchor, {9, 8}, list);
  EXPECT_TRUE(list.empty());
  CastRay(grid.HeightGrid, anchor, {9, 9}, list);
  EXPECT_EQ(list, (WrapperList{{5, 5, 120}}));
  EXPECT_EQ(anchor, (WrapCell{5, 5}));
  // It becomes the only point of the wrap: every later ray starts at it and walks away.
  RecordingProgress progress;
  EXPECT_EQ(WrapMap(grid, progress), (WrapperList{{5, 5, 120}}));
  EXPECT_EQ(progress.Shown, (std::vector<std::string>{"Wrapping the map...", "Finished wrapping the map..."}));

  // The first ray runs along row 0 and checks nothing; a walk also ends as soon as a walker
  // reaches the target's row, so (3, 0) is met by no ray to (9, 1) or (9, 2) either, while (3, 1)
  // is met by the ray to (9, 2).
  grid = EmptyGrid(10, 10);
  grid.HeightGrid(3, 0) = 80;
  anchor = {0, 0};
  list.clear();
  for (std::int16_t y = 0; y <= 2; ++y) CastRay(grid.HeightGrid, anchor, {9, y}, list);
  EXPECT_TRUE(list.empty());
  grid.HeightGrid(3, 1) = 70;
  CastRay(grid.HeightGrid, anchor, {9, 2}, list);
  EXPECT_EQ(list, (WrapperList{{3, 1, 70}}));
  // A contour across the whole ray is met cell by cell, in order of distance.
  grid = EmptyGrid(10, 10);
  for (int y = 0; y <= 10; ++y) grid.HeightGrid(4, y) = 90;
  anchor = {0, 0};
  list.clear();
  CastRay(grid.HeightGrid, anchor, {9, 3}, list);
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list.front(), (TWrapperPoint{4, 1, 90}));
  for (const TWrapperPoint& p : list) EXPECT_EQ(p.X, 4);
}

TEST(ShrinkWrap, GapsWiderThanContourGapGetTheCellsTheirBulgeMeets) {
  GridState grid = EmptyGrid(60, 20);
  grid.HeightGrid(0, 0) = 100;
  grid.HeightGrid(50, 0) = 100;
  grid.HeightGrid(50, 1) = 100;
  for (int x = 10; x <= 40; ++x) grid.HeightGrid(x, 6) = 150;
  SilentProgress progress;
  ShrinkControl control;
  control.WorkLimit = 1'000'000;
  // 50 apart: within the gap, nothing happens.
  Outline outline = ShrinkWrapper({{0, 0, 100}, {50, 0, 100}}, grid, 50, control, progress);
  EXPECT_EQ(outline.Points, (WrapperList{{0, 0, 100}, {50, 0, 100}}));
  // 50.01 apart: the bulge towards the inside meets the contour on row 6.
  outline = ShrinkWrapper({{0, 0, 100}, {50, 1, 100}}, grid, 50, control, progress);
  ASSERT_GT(outline.Points.size(), 3u);
  EXPECT_EQ(outline.Points.front(), (TWrapperPoint{0, 0, 100}));
  EXPECT_EQ(outline.Points.back(), (TWrapperPoint{50, 1, 100}));
  for (std::size_t i = 1; i + 1 < outline.Points.size(); ++i) {
    EXPECT_EQ(std::tuple(outline.Points[i].Y, outline.Points[i].Height), std::tuple(6, 150));
    EXPECT_TRUE(i == 1 || outline.Points[i].X > outline.Points[i - 1].X) << i;
  }
  EXPECT_EQ(control.CurveSteps, 100);  // Round(2 * 50.01), the last bulge's
  // The work is the samples of every bulge tried: here one search, Round(2 * 25.495) = 51 each.
  ShrinkControl counted;
  counted.WorkLimit = 1'000'000;
  outline = ShrinkWrapper({{0, 0, 100}, {25, 5, 100}}, grid, 24, counted, progress);
  EXPECT_GT(outline.Points.size(), 2u);
  EXPECT_GT(counted.Work, 0);
  EXPECT_EQ(counted.Work % 51, 0) << counted.Work;
  EXPECT_EQ(counted.CurveSteps, 51);
  // A gap whose bulges meet no contour up to the chord's length stays as it is.
  grid = EmptyGrid(60, 20);
  grid.HeightGrid(50, 1) = 100;
  grid.HeightGrid(0, 19) = 100;
  outline = ShrinkWrapper({{50, 1, 100}, {0, 19, 100}}, grid, 10, control, progress);
  EXPECT_EQ(outline.Points.size(), 2u);
}

TEST(ShrinkWrap, SealingWritesInterpolatedHeightsIntoEmptyCellsOnly) {
  GridState grid = EmptyGrid(12, 6);
  grid.HeightGrid(0, 0) = 100;
  grid.HeightGrid(10, 0) = 200;
  grid.HeightGrid(6, 0) = 999;  // a crossing contour keeps its value
  SilentProgress progress;
  SealWrapper(Joined({{0, 0, 100}, {10, 0, 200}}), grid, progress);
  const auto& g = grid.HeightGrid;
  for (int x = 1; x <= 9; ++x) EXPECT_EQ(g(x, 0), x == 6 ? 999 : 100 + 10 * x) << x;
  EXPECT_EQ(g(11, 0), 0);

  // Diagonal neighbours are not sealed; two apart are, with half the step in between.
  grid = EmptyGrid(8, 8);
  grid.HeightGrid(3, 3) = 100;
  grid.HeightGrid(4, 4) = 300;
  grid.HeightGrid(5, 3) = 151;
  SealWrapper(Joined({{3, 3, 100}, {4, 4, 300}, {4, 4, 300}}), grid, progress);
  EXPECT_EQ(std::count(grid.HeightGrid.Data(), grid.HeightGrid.Data() + 81, std::int16_t{0}), 81 - 3);
  SealWrapper(Joined({{3, 3, 100}, {5, 3, 151}}), grid, progress);
  EXPECT_EQ(grid.HeightGrid(4, 3), 126);  // Round(1/2 * 51) + 100, halves to even
  // A point not joined to the one before is not sealed to it.
  grid.HeightGrid(4, 3) = 0;
  SealWrapper({{{3, 3, 100}, {5, 3, 151}}, {false, false}}, grid, progress);
  EXPECT_EQ(grid.HeightGrid(4, 3), 0);
}

// The refinement as first described: inserting into the list and examining the pair again,
// without any bound. Gives up after maxExaminations.
std::optional<WrapperList> UnboundedShrink(WrapperList list, const GridState& grid, std::int32_t gap,
                                           std::int64_t maxExaminations) {
  if (list.empty()) return list;
  WrapCell p = CellOf(list[0]);
  std::size_t i = 1;
  for (std::int64_t examined = 0; i < list.size(); ++examined) {
    if (examined > maxExaminations) return std::nullopt;
    const WrapCell n = CellOf(list[i]);
    const std::int64_t dx = n.X - p.X, dy = n.Y - p.Y;
    bool advance = gap >= 0 && std::int64_t{gap} * gap >= dx * dx + dy * dy;
    if (!advance) {
      ShrinkControl control;
      const WrapperList found = BulgeCellsPlain(grid, p, n, control);
      list.insert(list.begin() + static_cast<std::ptrdiff_t>(i), found.begin(), found.end());
      advance = found.empty();
    }
    if (advance) {
      p = n;
      ++i;
    }
  }
  return list;
}

TEST(ShrinkWrap, BoundedRefinementSealsAsTheUnboundedOneWhereverThatEnds) {
  int compared = 0, endless = 0, refined = 0;
  for (std::uint32_t seed = 1; seed <= 200; ++seed) {
    const std::int32_t w = 6 + static_cast<std::int32_t>(seed % 17);
    const std::int32_t h = 6 + static_cast<std::int32_t>(seed * 7 % 13);
    const GridState grid = testing::RandomContourGrid(seed, w, h, 1 + static_cast<int>(seed % 5));
    constexpr std::int32_t kGaps[] = {0, 1, 2, 4, 10, 50};
    const std::int32_t gap = kGaps[seed % 6];
    SilentProgress progress;
    const WrapperList wrapped = WrapMap(grid, progress);
    ShrinkControl control;
    control.WorkLimit = 1LL << 40;
    const Outline outline = ShrinkWrapper(wrapped, grid, gap, control, progress);
    const auto unbounded = UnboundedShrink(wrapped, grid, gap, 4000);
    if (!unbounded) {
      ++endless;
      continue;
    }
    EXPECT_EQ(control.LoopsCut, 0) << "seed " << seed;  // only endless runs are ever cut
    GridState expected = grid, actual = grid;
    SealWrapper(Joined(*unbounded), expected, progress);
    SealWrapper(outline, actual, progress);
    ASSERT_EQ(actual.HeightGrid, expected.HeightGrid) << "seed " << seed << " gap " << gap;
    ++compared;
    refined += unbounded->size() > wrapped.size();
  }
  EXPECT_GT(compared, 150);
  EXPECT_GT(refined, 25);
  EXPECT_GT(endless, 0);  // and some inputs do refine forever without the bound
}

// The refinement with a second thread searching ahead leaves what it leaves alone: the same
// outline, step count, work and cut loops, also when the work limit stops it part way.
TEST(ShrinkWrap, SearchingAheadOnASecondThreadChangesNothing) {
  int refined = 0, limited = 0;
  for (std::uint32_t seed = 1; seed <= 120; ++seed) {
    const std::int32_t w = 10 + static_cast<std::int32_t>(seed * 7 % 60);
    const std::int32_t h = 10 + static_cast<std::int32_t>(seed * 11 % 50);
    GridState grid = testing::RandomContourGrid(seed, w, h, 1 + static_cast<int>(seed % 12));
    if (seed % 5 == 0) testing::ThickenContours(grid);
    constexpr std::int32_t kGaps[] = {0, 10, 50, 3};
    const std::int32_t gap = kGaps[seed % 4];
    SilentProgress progress;
    const WrapperList wrapped = WrapMap(grid, progress);
    for (const std::int64_t limit : {std::int64_t{1} << 40, std::int64_t{300} + seed * 10}) {
      ShrinkControl one, two;
      one.WorkLimit = two.WorkLimit = limit;
      one.CurveSteps = two.CurveSteps = 11;
      two.Threads = 2;
      const Outline a = ShrinkWrapper(wrapped, grid, gap, one, progress);
      const Outline b = ShrinkWrapper(wrapped, grid, gap, two, progress);
      ASSERT_EQ(b.Points, a.Points) << "seed " << seed << " gap " << gap << " limit " << limit;
      ASSERT_EQ(b.JoinedToPrevious, a.JoinedToPrevious) << "seed " << seed;
      EXPECT_EQ(std::tie(two.CurveSteps, two.Work, two.LoopsCut, two.WorkLimitHit),
                std::tie(one.CurveSteps, one.Work, one.LoopsCut, one.WorkLimitHit)) << "seed " << seed;
      refined += a.Points.size() > wrapped.size();
      limited += one.WorkLimitHit;
    }
  }
  EXPECT_GT(refined, 100);
  EXPECT_GT(limited, 20);
}

TEST(ShrinkWrap, ThickContoursWithGapZeroEndAndLeaveEveryOutlineCellSealed) {
  GridState grid = EmptyGrid(30, 30);
  for (int x = 2; x <= 27; ++x)
    for (int y = 10; y <= 13; ++y) grid.HeightGrid(x, y) = static_cast<std::int16_t>(100 + y);
  GridBuildState build;
  build.ShrinkWorkLimit = 10'000'000;
  RecordingProgress progress;
  ShrinkWrap(grid, 0, build, progress);
  EXPECT_FALSE(build.Notes.ShrinkWorkLimitHit);
  EXPECT_EQ(progress.Shown, (std::vector<std::string>{
                                "Wrapping the map...", "Finished wrapping the map...",
                                "Shrinking the wrapper...", "Sealing the Shrinkwrap..."}));
  // An empty grid has no outline and nothing to seal.
  GridState empty = EmptyGrid(5, 5);
  ShrinkWrap(empty, 50, build, progress);
  EXPECT_EQ(empty.HeightGrid, EmptyGrid(5, 5).HeightGrid);
}

}  // namespace
}  // namespace terrak
