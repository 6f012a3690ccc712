// Heights at or below 0 m and above 3276.7 m through the grid: the grid counts its cells above a
// base below the lowest height, and every reader turns cells back into true heights.
#include <gtest/gtest.h>

#include <set>

#include "grid/grid_exports.h"
#include "grid/grid_fixtures.h"
#include "grid/height_base.h"
#include "grid/rasterise.h"
#include "support/ring_map.h"
#include "support/temp_folder.h"

namespace terrak {
namespace {

using testing::BuildRingGrid;
using testing::EmptyGrid;
using testing::ReadText;
using testing::Ring;
using testing::RingMap;

// A 120 by 60 m map inside a ring at 10 m: a hill of 15 and 20 m in the west, a hollow of 5, 0
// and -5 m in the east.
const std::vector<Ring> kCoast = {{60, 30, 60, 100}, {30, 30, 20, 150}, {30, 30, 10, 200},
                                  {90, 30, 24, 50},  {90, 30, 16, 0},   {90, 30, 8, -50}};
// The same heights 3265 m higher: 3275 to 3285 m.
constexpr std::int32_t kToMountains = 32650;

HeightBaseChoice BaseOf(std::vector<std::int32_t> heights, std::vector<std::int16_t> types = {}) {
  std::vector<Ring> rings;
  for (std::size_t i = 0; i < heights.size(); ++i)
    rings.push_back({50, 50, 10.0 + static_cast<double>(i), heights[i]});
  MapModel model = RingMap(rings);
  for (std::size_t i = 0; i < types.size(); ++i)
    model.ObjectCoords[i].Kind = static_cast<ObjectKind>(types[i]);
  return ChooseHeightBase(model);
}

TEST(HeightBase, HeightsAsTheyAreWhereTheyFitElseInTheMiddleOfTheRoom) {
  // Positive heights with a step to spare below and above: the grid holds them as they are.
  EXPECT_EQ(BaseOf({1000, 1050, 2000}).Base, 0);
  EXPECT_EQ(BaseOf({51, 101}).Base, 0);
  // Heights up to 0 m, or a step above 3276.7 m, or whose lowest step would reach 0 m.
  for (const std::vector<std::int32_t>& heights :
       std::vector<std::vector<std::int32_t>>{{-50, 0, 50, 100, 200},
                                              {0, 10},
                                              {50, 100},
                                              {32750, 33000, 33750},
                                              {32700, 32750},
                                              {-214748, -214000}}) {
    const HeightBaseChoice c = BaseOf(heights);
    SCOPED_TRACE(::testing::Message() << heights.front() << ".." << heights.back());
    EXPECT_EQ(std::tuple(c.Fits, c.Lowest, c.Highest), std::tuple(true, heights.front(), heights.back()));
    EXPECT_NE(c.Base, 0);
    // Room for a contour step below the lowest and above the highest, the spare room halved.
    const std::int64_t below = c.Lowest - c.Base, above = 32767 - (c.Highest - c.Base);
    EXPECT_GE(below, 1 + c.Step);
    EXPECT_GE(above, c.Step);
    // The base is even (halves round as they would without it), taken up from an odd one.
    EXPECT_EQ(c.Base % 2, 0);
    EXPECT_LE(below - 1, above);
    EXPECT_LE(above - (below - 1), 3);
  }
  // Heights that fill the room as they are stay as they are; a wider span has no grid.
  EXPECT_EQ(BaseOf({5, 32760}).Base, 0);
  const HeightBaseChoice wide = BaseOf({-1, 32766});
  EXPECT_FALSE(wide.Fits);
  EXPECT_EQ(HeightSpanTooLargeMessage(wide),
            "The heights of the selected contours span 3276.7 m, from -0.1 m to 3276.6 m; the "
            "terrain grid holds at most 3276.6 m between its lowest and highest height, so no "
            "grid can be built. Select fewer contours, or check their heights");
  EXPECT_TRUE(BaseOf({-1, 32765}).Fits);
  // Only what is painted counts: point objects, objects without a height, unselected symbols.
  EXPECT_EQ(BaseOf({1000, -50}, {2, 1}).Base, 0);
  MapModel model = RingMap({{50, 50, 10, 1000}, {50, 50, 11, -50}, {50, 50, 12, -60}});
  model.MapObjects[1].HasHeight = false;
  model.MapObjects[2].Symbol = 102;
  EXPECT_EQ(ChooseHeightBase(model).Base, 0);
  EXPECT_EQ(ChooseHeightBase(model).Lowest, 1000);
}

// Every non-empty cell's true height, and whether it is interpolated; empty cells as none.
std::vector<std::optional<std::int64_t>> TrueHeights(const GridState& grid) {
  std::vector<std::optional<std::int64_t>> cells;
  for (std::int64_t x = 0; x < grid.HeightGrid.Columns(); ++x)
    for (std::int64_t y = 0; y < grid.HeightGrid.Rows(); ++y) {
      const std::int16_t v = grid.HeightGrid(x, y);
      cells.push_back(v == 0 ? std::nullopt : std::optional(CellTenths(v, grid.HeightBase)));
    }
  return cells;
}

TEST(HeightBase, HeightsAtAndBelowZeroAndAbove3276MetresGiveTheGridOfTheSameTerrainElsewhere) {
  // The same terrain 100 m higher lies well within the room: the grid of old, base 0.
  const GridState high = BuildRingGrid(RingMap(kCoast, 1000));
  ASSERT_EQ(high.HeightBase, 0);
  for (const std::int32_t shift : {0, kToMountains}) {
    SCOPED_TRACE(shift);
    const GridState grid = BuildRingGrid(RingMap(kCoast, shift));
    ASSERT_FALSE(grid.HeightGrid.Empty());
    EXPECT_NE(grid.HeightBase, 0);
    // Cell for cell the terrain 100 m up, moved down: -5 m stays -5 m and 0 m stays 0 m.
    std::vector<std::optional<std::int64_t>> expected = TrueHeights(high);
    for (auto& cell : expected)
      if (cell) *cell += shift - 1000;
    const std::vector<std::optional<std::int64_t>> cells = TrueHeights(grid);
    ASSERT_EQ(cells, expected);
    std::set<std::int64_t> heights;
    for (const auto& cell : cells)
      if (cell) heights.insert(*cell - shift);
    EXPECT_TRUE(heights.count(-50) && heights.count(0) && heights.count(200));
    // The hollow inside -5 m goes down by at most a step; the hilltop up by at most one.
    EXPECT_GE(*heights.begin(), -100);
    EXPECT_LT(*heights.begin(), -50);
    EXPECT_LE(*heights.rbegin(), 250);
  }
}

TEST(HeightBase, TheCsvExportsWriteTrueHeights) {
  testing::TempFolder folder;
  GridState grid = EmptyGrid(3, 1);
  grid.HeightBase = -100;  // 10 m below 0 m
  grid.HeightGrid(0, 0) = 57;   // -4.3 m
  grid.HeightGrid(1, 0) = 100;  // 0 m, a contour
  grid.HeightGrid(2, 0) = -157; // 5.7 m, interpolated
  grid.HeightGrid(3, 0) = 33;   // the last column is not written
  WritePointsFile(folder.File("points.csv"), grid);
  EXPECT_EQ(ReadText(folder.File("points.csv")), "0,0,-4\r\n1,0,0\r\n");
  WriteMatrixFile(folder.File("matrix.csv"), grid);
  EXPECT_EQ(ReadText(folder.File("matrix.csv")), "-4.3, 0.0, 5.7,end\r\n");
  grid.HeightGrid(1, 0) = 0;  // empty: nothing, as 0.0 is a height
  WriteMatrixFile(folder.File("matrix.csv"), grid);
  EXPECT_EQ(ReadText(folder.File("matrix.csv")), "-4.3,, 5.7,end\r\n");
  // Above 3276.7 m as well.
  grid.HeightBase = 30000;
  WritePointsFile(folder.File("points.csv"), grid);
  EXPECT_EQ(ReadText(folder.File("points.csv")), "0,0,3005\r\n");
  WriteMatrixFile(folder.File("matrix.csv"), grid);
  EXPECT_EQ(ReadText(folder.File("matrix.csv")), "3005.7,,3015.7,end\r\n");
}

TEST(HeightBase, ContoursArePaintedAboveTheBaseAndNotesSayWhatWasLeftOut) {
  MapModel model = RingMap({{10, 10, 5, -50}, {10, 10, 3, 0}, {10, 10, 2, -7}, {10, 10, 1, 0},
                            {10, 10, 4, -3}});
  // An OCAD 5 to 7 field of -0.7 m is no height, and said so; a field of 0 is no height.
  for (const std::size_t none : {2, 3, 4}) model.MapObjects[none].HasHeight = false;
  GridState grid;
  grid.GridUnitsPerMetre = 4.0;
  grid.HeightGrid.Resize(21, 21, 0);
  grid.HeightBase = -1000;
  GridNotes notes;
  PaintContours(model, grid, 4, notes);
  EXPECT_EQ(std::tuple(grid.HeightGrid(5, 10), grid.HeightGrid(7, 10), grid.HeightGrid(8, 10)),
            std::tuple(950, 1000, 0));
  EXPECT_EQ(std::tuple(notes.UnheightedObjects, notes.UnheldHeightObjects), std::tuple(1, 2));
  const std::vector<std::string> lines = DescribeGridNotes(notes);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1],
            "selected line objects whose height field holds a value of 0 m or below, which this "
            "OCAD 5 to 7 map cannot hold as a height, not painted: 2");
  // Every kind the user can act on is one line with its own count, in a fixed order; cells left
  // without an estimate and rows missing at the stretched bitmap's end are not told.
  const std::vector<std::string> all = DescribeGridNotes(
      {.PaintCellsOutside = 3, .LongObjects = 4, .BrokenCurves = 5, .UnheightedObjects = 1,
       .UnheldHeightObjects = 2, .ShrinkLoopsCut = 6, .ShrinkWorkLimitHit = true,
       .SealCellsOutside = 7, .CellsWithoutEstimate = 90, .IsolatedCells = 8,
       .SmoothingClamped = true, .PassesClamped = true, .BitmapNameGuessed = true,
       .BitmapRowsLong = true, .BitmapRowsMissing = 91, .BitmapSkipped = "A", .DrawingSkipped = "B"});
  const std::vector<std::string> endings = {": 1", ": 2", ": 3", ": 4", ": 5", ": 6", "as they were",
                                            ": 7", ": 8", "range", "99", "extension", "whole",
                                            "not used: A", "not draped: B"};
  ASSERT_EQ(all.size(), endings.size());
  for (std::size_t i = 0; i < all.size(); ++i) EXPECT_TRUE(all[i].ends_with(endings[i])) << all[i];
  EXPECT_TRUE(DescribeGridNotes({}).empty());
  // A count of one is told as well.
  EXPECT_EQ(DescribeGridNotes({.PaintCellsOutside = 1, .LongObjects = 1, .BrokenCurves = 1,
                               .UnheightedObjects = 1, .UnheldHeightObjects = 1,
                               .ShrinkLoopsCut = 1, .SealCellsOutside = 1, .IsolatedCells = 1})
                .size(),
            8u);
}

}  // namespace
}  // namespace terrak
