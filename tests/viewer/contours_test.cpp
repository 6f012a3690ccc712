#include "viewer/draw_contours.h"

#include <gtest/gtest.h>

#include "mainwindow/model_objects.h"
#include "viewer_fixtures.h"
#include "mapfile/ocad_points.h"

namespace terrak {
namespace {

using Points = std::vector<std::pair<double, double>>;

Points Walk(const std::vector<TPair>& pairs, std::int16_t steps, double unitsPerMetre = 1) {
  TObjectCoords coords;
  coords.Points = PointsOfMarkedList(pairs);
  coords.Count = static_cast<std::int32_t>(coords.Points.size());
  Points points;
  WalkObjectLine(coords, unitsPerMetre, steps, [&](double x, double y) { points.emplace_back(x, y); });
  return points;
}

TEST(WalkObjectLine, SegmentsAndCurvesAreFlattenedInCurveStepsAndANewPartEndsTheLine) {
  // A straight segment is a curve with its control points on its ends: 3t^2 - 2t^3 of the way.
  EXPECT_EQ(Walk({{0, 0}, {64, 0}}, 4),
            (Points{{0, 0}, {10, 0}, {32, 0}, {54, 0}, {64, 0}}));
  // Model units are divided by the units per metre; the start point is not repeated.
  EXPECT_EQ(Walk({{0, 0}, {64, 32}}, 1, 2), (Points{{0, 0}, {32, 16}}));
  // A curve: the previous point, two control points and the end.
  const Points curve = Walk({{0, 0}, {kMarkCurve, 0}, {0, 30}, {30, 30}, {30, 0}}, 2);
  EXPECT_EQ(curve, (Points{{0, 0}, {15, 22.5}, {30, 0}}));
  // A curve cut short ends the walk (flags and new parts as the path has them:
  // ObjectPath.StepsChainFromPointToPoint...).
  EXPECT_EQ(Walk({{0, 0}, {4, 0}, {kMarkCurve, 0}, {1, 1}, {2, 2}}, 1), (Points{{0, 0}, {4, 0}}));
  EXPECT_TRUE(Walk({}, 4).empty());
  EXPECT_EQ(Walk({{5, 5}, {6, 6}}, 0), (Points{{5, 5}}));
}

// A map with one contour symbol at 1:1000 (56.693 units a metre) and objects added as needed.
struct ContourScene {
  MapModel Model;
  ViewerState Viewer = testing::ViewerAt(0, -100, 20, 0, 0, 200, 150);
  PixelBuffers Buffers;
  ContourScene() {
    Model.MapScale = 1000;
    Model.SelectedSymbols = {{101, kBlack}};
    Buffers.Reset(200, 150);
  }
  void Add(std::int16_t symbol, std::int16_t type, std::int16_t height, std::vector<TPair> pairs) {
    testing::AddObject(Model, symbol, type, pairs, height);
  }
  std::size_t Draw() {
    Buffers.Reset(200, 150);
    RasterTarget target(Buffers, 0, 0);
    DrawContours(target, MakeViewTransform(Viewer), Model, 56.693, 2);
    Nearest = target.NearestDepth;
    Farthest = target.FarthestDepth;
    return testing::DrawnPixels(Buffers).size();
  }
  std::int32_t Nearest = 0, Farthest = 0;
};

TEST(DrawContours, OnlyLinesOfSelectedSymbolsWithACornerInViewAreDrawnAtTheirHeight) {
  ContourScene scene;
  // 20 m wide, 100 m ahead, at the eye's height of 20 m: a level line across the centre row.
  scene.Add(101, 2, 200, {{-567, 0}, {567, 0}});
  EXPECT_GT(scene.Draw(), 30u);
  for (const auto& p : testing::DrawnPixels(scene.Buffers)) EXPECT_EQ(p.second, 75);
  // The range starts at 1000000 .. 300000.
  EXPECT_EQ(std::tuple(scene.Nearest, scene.Farthest), std::tuple(10000, 300000));

  // An area symbol's outline, an unselected symbol and a type 3 object are not drawn.
  ContourScene others;
  others.Add(102, 2, 200, {{-567, 0}, {567, 0}});
  others.Add(101, 3, 200, {{-567, 0}, {567, 0}});
  EXPECT_EQ(std::tuple(others.Draw(), others.Nearest), std::tuple(0u, 1000000));

  // A long line whose extent corners all lie outside the view is skipped even though it
  // crosses the middle of the picture.
  ContourScene wide;
  wide.Add(101, 2, 200, {{-30000, 0}, {30000, 0}});
  EXPECT_EQ(wide.Draw(), 0u);
  // Type 5 lines are drawn like type 2.
  ContourScene five;
  five.Add(101, 5, 200, {{-567, 0}, {567, 0}});
  EXPECT_GT(five.Draw(), 30u);
}

TEST(DrawContours, ALineOfMorePointsThanTheOldBufferHeldIsDrawnToItsEnd) {
  ContourScene scene;
  // 4000 vertices at 2 steps each: 8001 points, the last ones at the far right.
  std::vector<TPair> pairs;
  for (int k = 0; k < 4000; ++k)
    pairs.push_back({static_cast<std::int16_t>(-567 + k * 1134 / 3999), 0});
  scene.Add(101, 2, 200, pairs);
  scene.Draw();
  EXPECT_NE(scene.Buffers.DepthBuffer(118, 75), 0);  // 9 m right of the centre, near its end
}

}  // namespace
}  // namespace terrak
