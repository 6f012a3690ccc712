#include "viewer/rasteriser.h"

#include <gtest/gtest.h>

#include "viewer_fixtures.h"

namespace terrak {
namespace {

using Pixels = std::vector<std::pair<std::int32_t, std::int32_t>>;
using testing::DrawnPixels;

struct Canvas3d {
  PixelBuffers Buffers;
  RasterTarget Target;
  LinePen Pen;
  explicit Canvas3d(std::int32_t w = 10, std::int32_t h = 10) {
    Buffers.Reset(w, h);
    Target = RasterTarget(Buffers, 1000000, 0);
  }
  void Line(ScreenPoint from, Colour c0, ScreenPoint to, Colour c1) {
    Pen.VertexColour = c0;
    PenMoveTo(Target, Pen, from);
    Pen.VertexColour = c1;
    PenLineTo(Target, Pen, to);
  }
  std::int32_t Depth(std::int32_t x, std::int32_t y) const { return Buffers.DepthBuffer(x, y); }
  Colour At(std::int32_t x, std::int32_t y) const { return Buffers.ColourBuffer(x, y); }
};

TEST(PenLineTo, SteppingAlongXAndAlongYLeavesNoGapsAndInterpolatesDepthAndColour) {
  Canvas3d steep;
  // Along x only the ends would be marked; the y pass fills the rows between.
  steep.Line({1, 1, 100}, kBlack, {2, 4, 400}, MakeColour(30, 60, 90));
  EXPECT_EQ(DrawnPixels(steep.Buffers), (Pixels{{1, 1}, {1, 2}, {2, 3}, {2, 4}}));
  EXPECT_EQ(std::tuple(steep.Depth(1, 2), steep.Depth(2, 3), steep.At(1, 2), steep.At(2, 3)),
            std::tuple(200, 300, MakeColour(10, 20, 30), MakeColour(20, 40, 60)));

  Canvas3d shallow;
  // y = R(1/3 * k) + 1: 1, 1, 2, 2 along x; along y only the two ends.
  shallow.Line({1, 1, 100}, kBlack, {4, 2, 400}, kBlack);
  EXPECT_EQ(DrawnPixels(shallow.Buffers), (Pixels{{1, 1}, {2, 1}, {3, 2}, {4, 2}}));
  EXPECT_EQ(shallow.Depth(3, 2), 300);

  // Leftward and upward lines count down from the start.
  Canvas3d back;
  back.Line({4, 2, 400}, kBlack, {1, 1, 100}, kBlack);
  EXPECT_EQ(DrawnPixels(back.Buffers), (Pixels{{1, 1}, {2, 1}, {3, 2}, {4, 2}}));
  EXPECT_EQ(back.Depth(2, 1), 200);

  // The depth range takes every depth along the line, the end's too.
  EXPECT_EQ(std::tuple(back.Target.NearestDepth, back.Target.FarthestDepth), std::tuple(100, 400));
  EXPECT_EQ(std::tuple(steep.Target.NearestDepth, steep.Target.FarthestDepth), std::tuple(100, 400));

  // A line within one pixel writes that pixel with the end's depth and colour.
  Canvas3d dot;
  dot.Line({5, 5, 500}, kBlack, {5, 5, 300}, kWhite);
  EXPECT_EQ(std::tuple(dot.Depth(5, 5), dot.At(5, 5)), std::tuple(300, kWhite));
}

TEST(PlotPixel, NearerReplacesFartherAndAtEqualDepthsTheFirstWriterStays) {
  Canvas3d canvas;
  PlotPixel(canvas.Target, 3, 3, 500, MakeColour(1, 0, 0));
  PlotPixel(canvas.Target, 3, 3, 500, MakeColour(2, 0, 0));  // equal: ignored
  PlotPixel(canvas.Target, 3, 3, 900, MakeColour(3, 0, 0));  // farther: ignored
  EXPECT_EQ(canvas.At(3, 3), MakeColour(1, 0, 0));
  PlotPixel(canvas.Target, 3, 3, 499, MakeColour(4, 0, 0));  // nearer: written
  // Every depth offered widens the range, written or not.
  EXPECT_EQ(std::tuple(canvas.At(3, 3), canvas.Depth(3, 3), canvas.Target.NearestDepth,
                       canvas.Target.FarthestDepth),
            std::tuple(MakeColour(4, 0, 0), 499, 499, 900));
  // A stored depth of 0 counts as empty: any later writer replaces it.
  PlotPixel(canvas.Target, 4, 4, 0, MakeColour(5, 0, 0));
  PlotPixel(canvas.Target, 4, 4, 700, MakeColour(6, 0, 0));
  EXPECT_EQ(canvas.At(4, 4), MakeColour(6, 0, 0));
  EXPECT_EQ(canvas.Target.NearestDepth, 0);
}

TEST(AddVertex, AnInvisibleVertexDropsBothLinesTouchingIt) {
  const ViewerState viewer = testing::ViewerAt(0, 0, 0, 0, 0, 40, 30);
  const ViewTransform view = MakeViewTransform(viewer);
  PixelBuffers buffers;
  buffers.Reset(40, 30);
  RasterTarget target(buffers, 1000000, 0);
  LinePen pen;
  AddVertex(target, pen, view, -1, 10, 0);
  EXPECT_FALSE(pen.PenUp);
  AddVertex(target, pen, view, 0, -10, 0);  // behind the eye
  EXPECT_TRUE(pen.PenUp);
  AddVertex(target, pen, view, 1, 10, 0);
  // Only the two visible vertices themselves are drawn, no line between them.
  EXPECT_EQ(DrawnPixels(buffers), (Pixels{{16, 15}, {24, 15}}));
}

}  // namespace
}  // namespace terrak
