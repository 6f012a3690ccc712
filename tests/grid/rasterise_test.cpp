#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>

#include "grid/contour_tiles.h"
#include "grid/grid_fixtures.h"
#include "grid/rasterise.h"
#include "mainwindow/model_objects.h"
#include "mapfile/ocad_points.h"

namespace terrak {
namespace {

using testing::AddObject;
using testing::EmptyGrid;

std::set<std::pair<int, int>> MarkedCells(const GridState& grid) {
  std::set<std::pair<int, int>> cells;
  for (int x = 0; x <= grid.GridWidth; ++x)
    for (int y = 0; y <= grid.GridHeight; ++y)
      if (grid.HeightGrid(x, y) != 0) cells.insert({x, y});
  return cells;
}

TObjectCoords Line(std::vector<TPair> points, std::int16_t type = 2) {
  std::vector<ModelPoint> modelPoints = PointsOfMarkedList(points);
  const auto count = static_cast<std::int32_t>(modelPoints.size());
  return {.Kind = static_cast<ObjectKind>(type), .Count = count, .Points = std::move(modelPoints)};
}

std::vector<TGridPoint> Points(const TObjectCoords& coords, std::int32_t steps, GridNotes& notes) {
  std::vector<TGridPoint> points;
  ObjectToPoints(coords, 1.0, steps, notes, [&](TGridPoint p) { points.push_back(p); });
  return points;
}

// Steps that land exactly on half a cell, or half a decimetre, go to the even neighbour.
TEST(Rasteriser, LinesThroughExactHalvesRoundToEven) {
  struct Case {
    int x0, y0, h0, x1, y1, h1;
    std::set<std::pair<int, int>> cells;
  };
  const Case cases[] = {
      {0, 0, 50, 4, 1, 50, {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}}},  // x 2: y 0.5 gives 0
      {0, 2, 50, 4, 1, 50, {{0, 2}, {1, 2}, {2, 2}, {3, 1}, {4, 1}}},  // x 2: y 1.5 gives 2
      {4, 1, 50, 0, 0, 50, {{4, 1}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}},  // backwards: -0.5 gives 0
      {0, 0, 50, 1, 2, 50, {{0, 0}, {1, 2}, {0, 1}}},                  // y pass: x 0.5 gives 0
      {0, 0, 50, 3, 6, 50, {{0, 0}, {1, 2}, {2, 4}, {3, 6}, {0, 1}, {2, 3}, {2, 5}}},
      {2, 0, 50, 1, 2, 50, {{2, 0}, {1, 2}, {2, 1}}},                  // y pass: -0.5 gives 0
  };
  for (const Case& c : cases) {
    GridState grid = EmptyGrid(8, 8);
    GridNotes notes;
    CellPainter painter(grid.HeightGrid, notes);
    painter.MoveToCell(c.x0, c.y0, c.h0);
    painter.LineToCell(c.x1, c.y1, c.h1);
    EXPECT_EQ(MarkedCells(grid), c.cells) << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1;
  }
  // (Heights half way between two decimetres, rising and falling, along either pass:
  // RandomLinesMarkTheCellsOfTheRoundedFormula.)
  GridNotes notes;
  // A vertex half way between two cells: 0.5 m gives cell 0, 1.5 m and 2.5 m give 2, and -0.5 m
  // measured from the grid's origin gives the origin's cell.
  GridState drawn = EmptyGrid(8, 8);
  drawn.GridUnitsPerMetre = 2.0;
  drawn.GridMinX = -1;
  drawn.GridMinY = 0;
  CellPainter pen(drawn.HeightGrid, notes);
  DrawObject(Line({{-1, 1}, {-1, 1}}), 70, drawn, 1, pen, notes);  // (-0.5, 0.5)
  DrawObject(Line({{3, 5}, {3, 5}}), 80, drawn, 1, pen, notes);    // (1.5, 2.5)
  EXPECT_EQ(drawn.HeightGrid(1, 0), 70);
  EXPECT_EQ(drawn.HeightGrid(3, 2), 80);
  EXPECT_EQ(MarkedCells(drawn).size(), 2u);
}

// The marked cells of random lines, against the line's formula rounded by the C library: a
// line is marked once along x and once along y, in every direction, heights rising and falling.
TEST(Rasteriser, RandomLinesMarkTheCellsOfTheRoundedFormula) {
  std::mt19937 random(23);
  std::uniform_int_distribution<int> coordinate(0, 12);
  std::uniform_int_distribution<int> height(-40, 40);
  int halves = 0;
  for (int run = 0; run < 2000; ++run) {
    const int x0 = coordinate(random), y0 = coordinate(random);
    const int x1 = coordinate(random), y1 = coordinate(random);
    const int h0 = 500 + height(random), h1 = 500 + height(random);
    GridState grid = EmptyGrid(12, 12);
    GridNotes notes;
    CellPainter painter(grid.HeightGrid, notes);
    painter.MoveToCell(x0, y0, h0);
    painter.LineToCell(x1, y1, h1);
    HeightGridType expected = EmptyGrid(12, 12).HeightGrid;
    const int ax = std::abs(x1 - x0), ay = std::abs(y1 - y0);
    const auto round = [&](double v) {
      halves += v - std::floor(v) == 0.5;
      return static_cast<int>(std::nearbyint(v));
    };
    expected(x0, y0) = static_cast<std::int16_t>(h0);
    if (ax == 0 && ay == 0) expected(x1, y1) = static_cast<std::int16_t>(h1);
    for (int i = 0; ax > 0 && i <= ax; ++i) {
      const int x = x0 + (x1 > x0 ? i : -i);
      const int y = round(static_cast<double>(y1 - y0) / (x1 - x0) * (x - x0)) + y0;
      expected(x, y) = static_cast<std::int16_t>(round(static_cast<double>(i) / ax * (h1 - h0)) + h0);
    }
    for (int i = 0; ay > 0 && i <= ay; ++i) {
      const int y = y0 + (y1 > y0 ? i : -i);
      const int x = round(static_cast<double>(x1 - x0) / (y1 - y0) * (y - y0)) + x0;
      expected(x, y) = static_cast<std::int16_t>(round(static_cast<double>(i) / ay * (h1 - h0)) + h0);
    }
    ASSERT_EQ(grid.HeightGrid, expected) << x0 << "," << y0 << "," << h0 << " -> " << x1 << ","
                                         << y1 << "," << h1;
  }
  EXPECT_GT(halves, 500);  // exact halves do occur, of positions and of heights
}

// Crossing lines of heights above and below zero, some running off the grid: the painter's
// tiles hold the grid's positive cells after every line, on a grid not a whole number of tiles.
TEST(Rasteriser, TilesKeptInStepWithTheCellsWritten) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int> coordinate(-6, 44);
  std::uniform_int_distribution<int> height(-60, 60);
  GridState grid = EmptyGrid(37, 29);
  GridNotes notes;
  ContourTiles tiles(grid.HeightGrid.Columns(), grid.HeightGrid.Rows());
  CellPainter painter(grid.HeightGrid, notes, &tiles);
  for (int line = 0; line < 400; ++line) {
    painter.MoveToCell(coordinate(random), coordinate(random), height(random));
    painter.LineToCell(coordinate(random), coordinate(random), height(random));
    const ContourTiles fresh(grid.HeightGrid);
    for (std::int64_t ty = 0; ty < fresh.TilesDown(); ++ty)
      for (std::int64_t tx = 0; tx < fresh.TilesAcross(); ++tx)
        ASSERT_EQ(tiles.Tile(tx, ty), fresh.Tile(tx, ty)) << "line " << line << " tile " << tx << "," << ty;
  }
  EXPECT_GT(notes.PaintCellsOutside, 0);
}

TEST(Rasteriser, CellsBeyondTheGridAreDroppedAndCounted) {
  GridState grid = EmptyGrid(4, 4);
  GridNotes notes;
  CellPainter painter(grid.HeightGrid, notes);
  painter.MoveToCell(-3, 2, 80);
  painter.LineToCell(6, 2, 80);  // along row 2, from beyond the left to beyond the right edge
  EXPECT_EQ(MarkedCells(grid), (std::set<std::pair<int, int>>{{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}}));
  EXPECT_EQ(notes.PaintCellsOutside, 1 + 5);  // the pen's first cell and five steps of the pass
  // A line far beyond the grid costs nothing and writes nothing.
  painter.MoveToCell(-30000, -30000, 80);
  painter.LineToCell(30000, -29000, 80);
  EXPECT_EQ(MarkedCells(grid).size(), 5u);
}

TEST(Rasteriser, StraightSegmentsAreFlattenedLikeCurves) {
  GridNotes notes;
  std::vector<double> xs;
  for (const TGridPoint& p : Points(Line({{0, 0}, {1000, 0}}), 4, notes)) xs.push_back(p.x);
  EXPECT_EQ(xs, (std::vector<double>{0.0, 156.25, 500.0, 843.75, 1000.0}));
  // No steps: only the first vertex.
  EXPECT_EQ(Points(Line({{0, 0}, {1000, 0}}), 0, notes).size(), 1u);
  // An object of more than 6001 points is noted, and drawn whole.
  GridState grid = EmptyGrid(4, 4);
  grid.GridUnitsPerMetre = 1.0;
  CellPainter painter(grid.HeightGrid, notes);
  std::vector<TPair> pairs(6001, TPair{1, 1});
  DrawObject(Line(pairs), 50, grid, 1, painter, notes);
  EXPECT_EQ(notes.LongObjects, 0);
  pairs.push_back({2, 3});
  DrawObject(Line(pairs), 50, grid, 1, painter, notes);
  EXPECT_EQ(std::tuple(notes.LongObjects, grid.HeightGrid(2, 3)), std::tuple(1, 50));
}

TEST(Rasteriser, MarkersEndCurveAndSkipAsTheyShould) {
  GridNotes notes;
  // A curve: its control points pull the middle point.
  const auto curve = Points(Line({{0, 0}, {-32766, -32766}, {0, 100}, {100, 100}, {100, 0}}), 2, notes);
  ASSERT_EQ(curve.size(), 3u);
  EXPECT_DOUBLE_EQ(curve[1].x, 0.125 * 0 + 0.375 * 0 + 0.375 * 100 + 0.125 * 100);
  EXPECT_DOUBLE_EQ(curve[1].y, 75.0);
  EXPECT_DOUBLE_EQ(curve[2].x, 100.0);
  EXPECT_EQ(notes.BrokenCurves, 0);
  // (Flags and new parts, as the path has them: ObjectPath.StepsChainFromPointToPoint...)
  // A curve cut short, or one without a start, ends the object and is noted.
  EXPECT_EQ(Points(Line({{0, 0}, {-32766, -32766}, {5, 5}}), 3, notes).size(), 1u);
  EXPECT_EQ(Points(Line({{-32766, -32766}, {5, 5}, {6, 6}, {7, 7}}), 3, notes).size(), 0u);
  EXPECT_EQ(notes.BrokenCurves, 2);
  EXPECT_EQ(Points(Line({}), 3, notes).size(), 0u);
}

TEST(Rasteriser, PaintingFollowsSelectionOrderTypesAndHeights) {
  MapModel model;
  model.SelectedSymbols = {{102, kBlack}, {101, kBlack}};
  AddObject(model, 101, 2, {{0, 5}, {10, 5}}, 300);  // painted last: symbol 101 comes second
  AddObject(model, 102, 2, {{5, 0}, {5, 10}}, 200);  // crosses the first at (5, 5)
  AddObject(model, 101, 3, {{0, 8}, {10, 8}}, 400);  // area symbol type 3: not drawn
  AddObject(model, 101, 2, {{0, 5}, {10, 5}});      // no height: would wipe the first out
  AddObject(model, 101, 5, {{0, 1}, {2, 1}}, 500);  // type 5 is drawn
  GridState grid = EmptyGrid(10, 10);
  grid.GridUnitsPerMetre = 1.0;
  GridNotes notes;
  PaintContours(model, grid, 1, notes);
  const auto& g = grid.HeightGrid;
  EXPECT_EQ(g(5, 5), 300);  // the later object keeps the crossing
  EXPECT_EQ(g(3, 5), 300);  // the height-0 copy did not erase it
  EXPECT_EQ(std::tuple(g(5, 2), g(3, 8), g(1, 1), notes.UnheightedObjects), std::tuple(200, 0, 500, 1));
  // Painting twice gives the same grid.
  GridState again = grid;
  PaintContours(model, again, 1, notes);
  EXPECT_EQ(again.HeightGrid, grid.HeightGrid);
}

}  // namespace
}  // namespace terrak
