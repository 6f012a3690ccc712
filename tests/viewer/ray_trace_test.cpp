#include "viewer/ray_trace.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/demo_grid.h"
#include "viewer/depth_ramp.h"
#include "viewer/ray_walk.h"
#include "viewer_fixtures.h"

namespace terrak {
namespace {

std::vector<RayCrossing> Walk(double u, double v, double angle, std::int64_t last = 9) {
  std::vector<RayCrossing> crossings;
  WalkRay(u, v, angle, last, last, [&](const RayCrossing& c) {
    crossings.push_back(c);
    return crossings.size() < 1000;
  });
  return crossings;
}

TEST(RayAngles, OneRayPerColumnFromBearingLessHalfTheAngleOfViewWrappingAbove360) {
  const std::vector<double> angles = RayAngles(10, 60, 600);
  ASSERT_EQ(angles.size(), 600u);
  EXPECT_EQ(angles.front(), -20);  // not brought into 0..360
  EXPECT_NEAR(angles.back(), 10 + 30 - 0.1, 1e-9);
  EXPECT_EQ(RayAngles(350, 60, 4), (std::vector<double>{320, 335, 350, 5}));
  EXPECT_EQ(RayAngles(345, 60, 4), (std::vector<double>{315, 330, 345, 360}));  // 360 is kept
  // An odd angle of view: the fan starts half a degree further left, steps are fractions.
  EXPECT_EQ(RayAngles(10, 61, 4), (std::vector<double>{-20.5, -5.25, 10, 25.25}));
  EXPECT_EQ(RayAngles(0, 45, 2), (std::vector<double>{-22.5, 0}));
  EXPECT_TRUE(RayAngles(0, 60, 0).empty());
}

TEST(WalkRay, CrossesGridLinesInOrderOfDistanceUntilItLeavesTheGrid) {
  // North from inside: the y lines 3 .. 9, no x line (the ray runs along x = 2.5).
  std::vector<RayCrossing> north = Walk(2.5, 2.5, 0);
  ASSERT_EQ(north.size(), 7u);
  EXPECT_FALSE(north[0].OnXLine);
  EXPECT_EQ(std::tuple(north[0].Py, north[0].Distance, north.back().Py, north.back().Px),
            std::tuple(3, 0.5, 9, 2.5));

  // South from inside goes to the y lines 2 .. 0.
  EXPECT_EQ(Walk(2.5, 2.5, 180).size(), 3u);

  // Exactly west the ray counts as heading south (y rises only above 270), so from the middle of
  // a row its crossings lie just south of it and read the row below.
  const std::vector<RayCrossing> west = Walk(5.5, 5.5, 270);
  ASSERT_EQ(west.size(), 6u);  // the x lines 5 .. 0
  for (const RayCrossing& c : west) {
    EXPECT_TRUE(c.OnXLine);
    EXPECT_LT(c.Py, 5.5);
    EXPECT_GT(c.Py, 5.49);
  }

  // Diagonally, x and y lines alternate and the distance never falls.
  const std::vector<RayCrossing> diagonal = Walk(0.2, 0.7, 45);
  ASSERT_GT(diagonal.size(), 10u);
  for (std::size_t k = 1; k < diagonal.size(); ++k)
    EXPECT_LE(diagonal[k - 1].Distance, diagonal[k].Distance);
  for (const RayCrossing& c : diagonal) {
    EXPECT_NEAR(c.Px - 0.2, c.Py - 0.7, 1e-3);
    EXPECT_TRUE(c.OnXLine ? c.Px == std::floor(c.Px) : c.Py == std::floor(c.Py));
  }

  // From the west, outside, towards the grid: the lines before it are passed over.
  const std::vector<RayCrossing> east = Walk(-5.5, 2.5, 90);
  ASSERT_EQ(east.size(), 10u);
  EXPECT_EQ(east[0].Px, 0);
  EXPECT_NEAR(east[0].Distance, 5.5, 1e-6);  // 57.295 is not quite 180 / pi
  // Away from the grid, or beyond its far side in the direction of travel: no crossing.
  EXPECT_TRUE(Walk(-5.5, 2.5, 270).empty());
  EXPECT_TRUE(Walk(2.5, 12, 10).empty());
  // Rays from absurdly far away end all the same; undefined positions give no ray.
  EXPECT_LE(Walk(1e300, 2.5, 270).size(), 20u);
  EXPECT_TRUE(Walk(std::nan(""), 2.5, 0).empty());

  // A ray left of north (the picture's left columns at a small bearing) runs north-west, as
  // its bearing brought into 0..360 does, not mirrored to the north-east.
  const std::vector<RayCrossing> leftOfNorth = Walk(5.5, 5.5, -20);
  const std::vector<RayCrossing> northWest = Walk(5.5, 5.5, 340);
  // (57.295 degrees a radian make 340 and -20 degrees differ slightly in their sines.)
  ASSERT_EQ(leftOfNorth.size(), northWest.size());
  for (std::size_t k = 0; k < leftOfNorth.size(); ++k) {
    EXPECT_NEAR(leftOfNorth[k].Px, northWest[k].Px, 1e-3);
    EXPECT_NEAR(leftOfNorth[k].Py, northWest[k].Py, 1e-3);
  }
  EXPECT_LT(leftOfNorth.back().Px, 5.5);
  EXPECT_GT(leftOfNorth.back().Py, 5.5);
  EXPECT_TRUE(Walk(2.5, 2.5, INFINITY).empty());
}

// A flat grid 200 m square at 100 m, seen from its centre 10 m above the ground.
struct FlatScene {
  GridState Grid = testing::FlatGrid(200, 200, 1000);
  ViewerState Viewer = testing::ViewerAt(100, 100, 110, 0, 0, 120, 90);
  PixelBuffers Buffers;
  Picture Out;
  DepthRampType Ramp = BuildDepthRamp(MakeColour(255, 0, 0), MakeColour(0, 0, 255));
  RayDepthRange Trace(bool drape, int threads = 1) {
    Buffers.Reset(120, 90);
    const RayTraceOptions options{.Drape = drape, .Threads = threads};
    const RayDepthRange range =
        TraceRays(Buffers, MakeViewTransform(Viewer), Grid, Viewer.Current().bearing, options);
    ComposeRayPicture(Buffers, Ramp, drape, range, Out);
    return range;
  }
};

TEST(TraceRays, GroundFillsEachColumnFromTheBottomToTheHorizonWithSkyAbove) {
  FlatScene scene;
  scene.Grid.BitmapGrid.Resize(200, 200, 3);
  scene.Grid.BitmapPalette[12] = 50;   // blue
  scene.Grid.BitmapPalette[13] = 100;  // green
  scene.Grid.BitmapPalette[14] = 200;  // red
  scene.Trace(true);
  // Level ground is lit at full strength: the map's own colour.
  for (std::int32_t x = 0; x < 120; ++x)
    EXPECT_EQ(std::tuple(scene.Out.At(x, 0), scene.Out.At(x, 50), scene.Out.At(x, 60), scene.Out.At(x, 89)),
              std::tuple(kSkyColour, kSkyColour, MakeColour(200, 100, 50), MakeColour(200, 100, 50))) << x;
  // Colours by depth without the map: the nearest ground takes the front colour.
  const RayDepthRange range = scene.Trace(false);
  EXPECT_GT(range.Farthest, range.Nearest);
  EXPECT_EQ(scene.Out.At(60, 89), scene.Ramp[0]);
  EXPECT_EQ(scene.Out.At(60, 40), kSkyColour);
  EXPECT_NE(scene.Out.At(60, 60), scene.Ramp[0]);
}

TEST(TraceRays, NearerGroundHidesFartherGround) {
  FlatScene scene;
  // A wall 20 m high across the view, 30 m ahead.
  for (std::int64_t i = 0; i < 200; ++i) scene.Grid.HeightGrid(i, 130) = 1200;
  scene.Trace(false);
  for (std::int32_t x = 0; x < 120; ++x) {
    const auto depth = [&](std::int32_t y) { return scene.Buffers.DepthBuffer(x, y); };
    for (std::int32_t y = 89; y > 0; --y) {
      if (depth(y - 1) != 0) {
        EXPECT_GE(depth(y - 1), depth(y)) << x << "," << y;
      }
    }
    // The wall rises above the horizon: nothing of the ground behind shows above it.
    EXPECT_NEAR(depth(40), 3000, 60) << x;
  }
}

TEST(TraceRays, BelowTheNearEdgeOfTheTerrainLiesItsSideInOneColour) {
  FlatScene scene;
  scene.Grid.BitmapGrid.Resize(200, 200, 3);
  scene.Grid.BitmapPalette[14] = 200;  // red ground
  // From 50 m south of the grid, 40 m up, looking north and down: the grid's southern edge
  // crosses the picture, with the terrain's side below it.
  scene.Viewer = testing::ViewerAt(100, -50, 140, 0, -20, 120, 90);
  scene.Trace(true);
  for (std::int32_t x = 10; x < 110; x += 10) {
    EXPECT_EQ(scene.Out.At(x, 89), MakeColour(110, 88, 66)) << x;
    EXPECT_EQ(scene.Out.At(x, 1), kSkyColour) << x;
    std::int32_t y = 89;
    while (y > 0 && scene.Out.At(x, y) == MakeColour(110, 88, 66)) --y;
    EXPECT_EQ(scene.Out.At(x, y), MakeColour(200, 0, 0)) << x;  // the ground above its side
  }
  // Standing over the ground, there is no side to see: the ground reaches the picture's bottom.
  scene.Viewer = testing::ViewerAt(100, 20, 140, 0, -20, 120, 90);
  scene.Trace(true);
  EXPECT_EQ(scene.Out.At(60, 89), MakeColour(200, 0, 0));
}

TEST(TraceRays, AnyNumberOfThreadsGivesTheSamePicture) {
  const GridState grid = testing::MakeDemoGrid(testing::MakeDemoMap({.Width = 120, .Depth = 90}), true);
  const ViewerState viewer = testing::ViewerAt(-10, -60, 220, 20, -20, 160, 120);
  PixelBuffers one, three;
  one.Reset(160, 120);
  three.Reset(160, 120);
  RayTraceOptions rays;
  rays.Drape = true;
  const RayDepthRange a = TraceRays(one, MakeViewTransform(viewer), grid, 20, rays);
  rays.Threads = 3;
  const RayDepthRange b = TraceRays(three, MakeViewTransform(viewer), grid, 20, rays);
  EXPECT_TRUE(one.DepthBuffer == three.DepthBuffer);
  EXPECT_TRUE(one.ColourBuffer == three.ColourBuffer);
  EXPECT_EQ(std::tuple(a.Nearest, a.Farthest), std::tuple(b.Nearest, b.Farthest));
  EXPECT_GT(testing::DrawnPixels(one).size(), 160u * 30u);
}

TEST(SunShade, LevelGroundIsOneSlopesTowardsTheNorthWestAreBrighter) {
  GridState grid = testing::FlatGrid(5, 5, 1000);
  EXPECT_DOUBLE_EQ(SunShade(grid, 2, 2), 1.0);
  EXPECT_DOUBLE_EQ(SunShade(grid, 0, 0), 1.0);  // edges use the cell itself
  // Rising to the south-east, the slope faces the sun.
  for (std::int64_t i = 0; i < 5; ++i)
    for (std::int64_t j = 0; j < 5; ++j)
      grid.HeightGrid(i, j) = static_cast<std::int16_t>(1000 + 10 * (i - j));
  EXPECT_GT(SunShade(grid, 2, 2), 1.0);
  for (std::int64_t i = 0; i < 5; ++i)
    for (std::int64_t j = 0; j < 5; ++j)
      grid.HeightGrid(i, j) = static_cast<std::int16_t>(1000 + 300 * (j - i));
  EXPECT_DOUBLE_EQ(SunShade(grid, 2, 2), 0.35);  // steeply away from the sun
}

}  // namespace
}  // namespace terrak
