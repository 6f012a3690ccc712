#include "viewer/draw_mesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "support/demo_grid.h"
#include "viewer/mesh_fast.h"
#include "viewer_fixtures.h"

namespace terrak {
namespace {

using Pixels = std::vector<std::pair<std::int32_t, std::int32_t>>;
using testing::DrawnPixels;
using testing::GridOf;
using testing::ViewerAt;

// One cell seen from straight above: A = (0, 1) at screen (15, 15), B = (0, 0) at (15, 25),
// C = (1, 0) at (25, 25).
Pixels DrawCell(const GridState& grid) {
  const ViewerState viewer = ViewerAt(0.5, 0.5, 5, 0, -90, 40, 40);
  PixelBuffers buffers;
  buffers.Reset(40, 40);
  RasterTarget target(buffers, 1000000, 0);
  DrawMesh(target, MakeViewTransform(viewer), grid, 1, false);
  return DrawnPixels(buffers);
}

TEST(DrawMesh, EachCellIsATriangleThatStopsAtTheFirstVertexWithoutHeight) {
  const Pixels whole = DrawCell(GridOf({{10, 10}, {10, 10}}));
  for (const auto& corner : Pixels{{15, 15}, {15, 25}, {25, 25}, {20, 20}})
    EXPECT_NE(std::find(whole.begin(), whole.end(), corner), whole.end()) << corner.first;
  // A (the north-west vertex) without height: nothing of the cell is drawn.
  EXPECT_TRUE(DrawCell(GridOf({{0, 10}, {10, 10}})).empty());
  // B without height: the cell is not drawn at all.
  EXPECT_TRUE(DrawCell(GridOf({{10, 10}, {0, 10}})).empty());
  // C without height: only the edge along the column, from A to B.
  const Pixels edge = DrawCell(GridOf({{10, 10}, {10, 0}}));
  ASSERT_EQ(edge.size(), 11u);
  for (const auto& p : edge) EXPECT_EQ(p.first, 15);
  // The north-east cell never matters to a 2 x 2 grid's only cell.
  EXPECT_EQ(DrawCell(GridOf({{10, 0}, {10, 10}})), whole);
}

TEST(DrawMesh, TheStepSkipsCellsButAlwaysReachesTheLastRowAndColumn) {
  EXPECT_EQ(std::tuple(MeshStepFor(true, 7), MeshStepFor(false, 7), MeshStepFor(false, 0)),
            std::tuple(1, 7, 1));
  EXPECT_EQ(MeshStripCount(11, 5), 2);  // strips at 0 and 5, lines 0, 5, 10
  EXPECT_EQ(MeshStripCount(12, 5), 3);  // strips at 0, 5, 10; lines 0, 5, 10, 11
  EXPECT_EQ(MeshStripCount(1, 5), 0);
  EXPECT_EQ(MeshLine(3, 5, 12), 11);
}

// Draws a scene by the reference path and by the fast path with the given threads and checks
// that buffers and depth range are identical; a scratch kept between frames may be passed in.
void ExpectFastMatchesReference(const GridState& grid, const ViewerState& viewer,
                                std::int32_t step, bool drape, int threads,
                                MeshScratch* kept = nullptr) {
  const ViewTransform view = MakeViewTransform(viewer);
  PixelBuffers reference, fast;
  reference.Reset(viewer.RenderWidth, viewer.RenderHeight);
  fast.Reset(viewer.RenderWidth, viewer.RenderHeight);
  RasterTarget target(reference, 50000, 60000);
  DrawMesh(target, view, grid, step, drape);
  std::int32_t nearest = 50000, farthest = 60000;
  MeshScratch fresh;
  ASSERT_TRUE(DrawMeshFast(fast, nearest, farthest, view, grid, step, drape, threads,
                           kept != nullptr ? *kept : fresh));
  EXPECT_EQ(nearest, target.NearestDepth);
  EXPECT_EQ(farthest, target.FarthestDepth);
  EXPECT_TRUE(fast.DepthBuffer == reference.DepthBuffer) << "step " << step << " threads " << threads;
  EXPECT_TRUE(fast.ColourBuffer == reference.ColourBuffer) << "step " << step << " threads " << threads;
  EXPECT_GT(DrawnPixels(reference).size(), 100u);
}

TEST(DrawMeshFast, GivesTheReferencePixelsForEveryViewStepAndNumberOfThreads) {
  const GridState grid = testing::MakeDemoGrid(testing::MakeDemoMap({.Width = 120, .Depth = 90}), true);
  const ViewerState views[] = {
      ViewerAt(0, 80, 260, 180, -30, 160, 120),   // from the north, above the map
      ViewerAt(-20, -20, 140, 40, -5, 160, 120),  // inside, low over the ground
      ViewerAt(5, 3, 600, 0, -90, 120, 160),      // straight down
      ViewerAt(-90, 0, 180, 95, 10, 160, 120),    // from the west, looking up a little
  };
  for (const ViewerState& viewer : views)
    for (std::int32_t step : {1, 3, 7})
      for (bool drape : {false, true})
        for (int threads : {1, 2, 3}) ExpectFastMatchesReference(grid, viewer, step, drape, threads);
}

// A grid with holes, interpolated (negative) heights and a map bitmap smaller than the grid,
// its palette colours all different.
GridState RaggedGrid(std::int32_t columns, std::int32_t rows, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> noise(0, 80), chance(0, 99), index(0, 255);
  GridState grid = testing::FlatGrid(columns, rows, 0, -40, -30);
  for (std::int32_t i = 0; i < columns; ++i)
    for (std::int32_t j = 0; j < rows; ++j) {
      const int roll = chance(random);
      const auto h = static_cast<std::int16_t>(600 + 300 * std::sin(i / 9.0) + 200 * std::cos(j / 7.0) +
                                               noise(random));
      grid.HeightGrid(i, j) = roll < 8 ? 0 : roll < 40 ? static_cast<std::int16_t>(-h) : h;
    }
  // 141 rows leave 128 bitmap rows: a chunk of strips ends on the bitmap's last row.
  grid.BitmapGrid.Resize(columns - 3, rows - 13, 0);
  for (std::int64_t i = 0; i < grid.BitmapGrid.Columns(); ++i)
    for (std::int64_t j = 0; j < grid.BitmapGrid.Rows(); ++j)
      grid.BitmapGrid(i, j) = static_cast<std::uint8_t>(index(random));
  for (std::size_t k = 0; k < kBitmapPaletteSize; ++k)
    grid.BitmapPalette[k] = static_cast<std::uint8_t>(k * 7 + k / 4);
  grid.MapBitmapLoaded = grid.ShowMapBitmap = true;
  return grid;
}

TEST(DrawMeshFast, GivesTheReferencePixelsOnHolesAndFarAwayWhereManyCellsShareAPixel) {
  // Odd sizes, so no row or strip count is a multiple of the vector widths or of the chunks.
  const GridState grid = RaggedGrid(133, 141, 3);
  const ViewerState views[] = {
      ViewerAt(20, 600, 420, 180, -35, 150, 110),  // 700 m off: several cells to a pixel
      ViewerAt(30, 40, 300, 0, -90, 97, 81),       // straight down; 81 rows: a row of tiles more
      ViewerAt(-70, -60, 120, 45, -20, 150, 110),  // from the south-west, the near part below the picture
      ViewerAt(30, 40, 110, 300, -15, 150, 110),   // inside, low over the ground
  };
  for (const ViewerState& viewer : views)
    for (std::int32_t step : {1, 2, 5})
      for (bool drape : {false, true})
        for (int threads : {1, 2, 3}) ExpectFastMatchesReference(grid, viewer, step, drape, threads);
}

TEST(DrawMeshFast, AtEqualDepthsTheFirstCellDrawnKeepsThePixel) {
  // A flat grid seen from straight above: every vertex at one depth, many to a pixel, each of
  // another colour; which one a pixel keeps depends on the order of drawing alone.
  GridState grid = RaggedGrid(90, 75, 5);
  for (std::int32_t i = 0; i < 90; ++i)
    for (std::int32_t j = 0; j < 75; ++j) grid.HeightGrid(i, j) = 100;
  for (int threads : {1, 2, 3}) {
    ExpectFastMatchesReference(grid, ViewerAt(5, 7, 610, 0, -90, 160, 120), 1, true, threads);
    ExpectFastMatchesReference(grid, ViewerAt(5, 7, 260, 0, -90, 160, 120), 1, true, threads);
  }
}

TEST(DrawMeshFast, BuffersKeptBetweenFramesGiveTheReferencePixelsWhateverTheFrameBeforeDrew) {
  // One scratch for a whole flight: the shares' buffers are emptied only where the frame before
  // drew, so a frame that draws elsewhere, in another size, with or without the map, or after
  // a refused frame must still find them empty.
  const GridState grid = RaggedGrid(133, 141, 9);
  struct Frame {
    ViewerState Viewer;
    std::int32_t Step;
    bool Drape;
  };
  const Frame frames[] = {
      {ViewerAt(30, 40, 300, 0, -90, 150, 110), 1, true},       // the whole grid
      {ViewerAt(66, 70, 150, 0, -90, 150, 110), 1, true},       // every pixel, corners too
      {ViewerAt(20, 600, 420, 180, -35, 150, 110), 2, false},   // a band near the horizon
      {ViewerAt(-70, -60, 120, 45, -20, 150, 110), 1, true},    // the lower part
      {ViewerAt(30, 40, 300, 0, -90, 97, 81), 5, false},        // a smaller picture
      {ViewerAt(30, 40, 110, 300, -15, 150, 110), 1, false},
      {ViewerAt(20, 600, 420, 180, -35, 150, 110), 1, true},
      {ViewerAt(30, 40, 300, 0, -90, 150, 110), 2, true},
  };
  // The eye 3 mm south of vertex (40, 40), at its height: that vertex lies in the eye's plane,
  // so the fast path refuses and the paint takes the reference.
  const ViewTransform refused = MakeViewTransform(ViewerAt(40, 39.997, 70, 0, 0, 150, 110));
  GridState flat = testing::FlatGrid(80, 80, 700);
  for (int threads : {2, 3}) {
    MeshScratch scratch;
    for (const Frame& frame : frames) {
      ExpectFastMatchesReference(grid, frame.Viewer, frame.Step, frame.Drape, threads, &scratch);
      // A frame given up half way leaves its shares' buffers partly drawn.
      PixelBuffers given;
      given.Reset(150, 110);
      std::int32_t nearest = 0, farthest = 0;
      EXPECT_FALSE(DrawMeshFast(given, nearest, farthest, refused, flat, 1, true, threads, scratch));
    }
  }
}

TEST(BalancedSplits, EvenAtFirstThenEvenInTheLastFramesWork) {
  using Splits = std::vector<std::int64_t>;
  EXPECT_EQ(BalancedSplits(100, 2, {}, {}), (Splits{0, 50, 100}));
  // The first share took three times as long: its strips are worth three times as much.
  EXPECT_EQ(BalancedSplits(100, 2, {0, 50, 100}, {0.3, 0.1}), (Splits{0, 33, 100}));
  EXPECT_EQ(BalancedSplits(99, 3, {0, 33, 66, 99}, {1, 1, 4}), (Splits{0, 66, 82, 99}));
  // Another strip count or thread count starts evenly again; every share keeps a strip.
  EXPECT_EQ(BalancedSplits(10, 2, {0, 50, 100}, {0.3, 0.1}), (Splits{0, 5, 10}));
  EXPECT_EQ(BalancedSplits(3, 3, {0, 1, 2, 3}, {1.0, 0.0, 0.0}), (Splits{0, 1, 2, 3}));
  EXPECT_EQ(BalancedSplits(10, 2, {0, 5, 10}, {0.0, 0.0}), (Splits{0, 5, 10}));
}

}  // namespace
}  // namespace terrak
