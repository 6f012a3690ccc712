#include "viewer/mesh_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <random>

#include "viewer/tiled_grid.h"
#include "viewer_fixtures.h"

namespace terrak {
namespace {

using testing::ViewerAt;

// Projects one row both ways and expects the same X, Y, depth and buffer position wherever
// ProjectPoint finds the vertex visible, and the hidden mark wherever not.
void ExpectRowAsProjectPoint(const ViewTransform& view, const std::vector<double>& xs, double y,
                             const std::vector<std::int16_t>& heights) {
  const std::size_t count = heights.size();
  std::vector<double> paddedX = xs;
  std::vector<std::int16_t> paddedH = heights;
  paddedX.resize(count + 16, 0.0);
  paddedH.resize(count + 16, 0);
  ProjectedRow row;
  row.Resize(count);
  const HeightMetres metres;
  const std::int64_t across = (view.RenderWidth + 7) / 8;
  const bool zero = ProjectLatticeRow(view, across, paddedX.data(), y, paddedH.data(), count, metres, row);
  bool zeroExpected = false;
  std::int32_t lowest = INT32_MAX, highest = INT32_MIN;
  for (std::size_t k = 0; k < count; ++k) {
    ScreenPoint p;
    const bool visible = ProjectPoint(view, xs[k], y, std::abs(heights[k]) / 10.0, p);
    if (!visible) {
      EXPECT_EQ(row.X[k], kHiddenX) << k;
      continue;
    }
    lowest = std::min(lowest, p.Y);
    highest = std::max(highest, p.Y);
    zeroExpected |= p.Depth == 0 && heights[k] != 0;
    EXPECT_EQ(row.X[k], p.X) << k << " at " << xs[k] << ", " << y << ", " << heights[k];
    EXPECT_EQ(row.Y[k], p.Y) << k;
    EXPECT_EQ(row.Depth[k], p.Depth) << k;
    EXPECT_EQ(row.Cell[k], TiledGrid<std::int32_t>::IndexIn(across, p.X, p.Y)) << k;
  }
  EXPECT_EQ(zero, zeroExpected);
  // The span of the visible vertices' rows, empty when none is visible.
  if (lowest <= highest) {
    EXPECT_EQ(std::tuple(row.LowestY, row.HighestY), std::tuple(lowest, highest));
  } else {
    EXPECT_GT(row.LowestY, row.HighestY);
  }
}

TEST(ProjectLatticeRow, GivesWhatProjectPointGivesForEveryVertex) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> place(-400, 400), turn(0, 360), tilt(-90, 90);
  std::uniform_int_distribution<int> height(-32768, 32767), size(1, 23);
  for (int view = 0; view < 200; ++view) {
    const ViewerState viewer = ViewerAt(place(random), place(random), place(random) / 4,
                                        turn(random), tilt(random), 160 + view % 7, 120 + view % 5);
    const std::size_t count = static_cast<std::size_t>(size(random));  // every tail of four
    std::vector<double> xs(count);
    std::vector<std::int16_t> heights(count);
    for (std::size_t k = 0; k < count; ++k) {
      xs[k] = std::round(place(random));
      heights[k] = static_cast<std::int16_t>(view % 3 == 0 ? height(random) : height(random) / 32);
    }
    ExpectRowAsProjectPoint(MakeViewTransform(viewer), xs, std::round(place(random)), heights);
  }
}

TEST(ProjectLatticeRow, HalfPixelsPictureEdgesTheDepthLimitAndExtremeViews) {
  // Straight ahead along +y from the origin with a focal length of 512: x / y * 512 lands on
  // exact halves of a pixel (ties to even), and on the picture's first and last columns.
  ViewTransform view = MakeViewTransform(ViewerAt(0, 0, 0, 0, 0, 512, 400));
  ExpectRowAsProjectPoint(view, {201, 203, -201, -203, 510, -510, 512, -512, 0}, 1024,
                          {0, 0, 0, 0, 0, 0, 0, 0, 0});
  // Depths about 2^31 centimetres, which the depth saturates at.
  view = MakeViewTransform(ViewerAt(0, -21474836.47, 0, 0, 0, 512, 400));
  ExpectRowAsProjectPoint(view, {0, 0, 0}, 0, {0, 1, 2});
  view = MakeViewTransform(ViewerAt(0, -3e7, 0, 0, 0, 512, 400));
  ExpectRowAsProjectPoint(view, {0, 1}, 0, {0, 5});
  // A vertex in the eye's plane, and one whose depth rounds to 0.
  view = MakeViewTransform(ViewerAt(2, 1.997, 10, 0, 0, 40, 30));
  ExpectRowAsProjectPoint(view, {1, 2, 3}, 2, {100, 100, 100});
  // An eye a thousand million kilometres away, and one at no number at all: the scalar path.
  view = MakeViewTransform(ViewerAt(0, -1e15, 0, 0, 0, 40, 30));
  ExpectRowAsProjectPoint(view, {0, 1, 2, 3, 4}, 0, {10, 10, 10, 10, 10});
  view = MakeViewTransform(ViewerAt(0, std::numeric_limits<double>::quiet_NaN(), 0, 0, 0, 40, 30));
  ExpectRowAsProjectPoint(view, {0, 1, 2}, 0, {10, 10, 10});
  view = MakeViewTransform(ViewerAt(0, 0, std::numeric_limits<double>::infinity(), 0, -30, 40, 30));
  ExpectRowAsProjectPoint(view, {0, 1, 2}, 50, {10, 10, 10});
  view = MakeViewTransform(ViewerAt(-1.7e308, -1.7e308, 1e308, 45, -10, 40, 30));
  ExpectRowAsProjectPoint(view, {0, 1, 2}, 50, {10, 10, 10});
}

}  // namespace
}  // namespace terrak
