#include "support/contour_tracer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace terrak::testing {
namespace {

double Distance(const GroundPoint& a, double x, double y) { return std::hypot(a.X - x, a.Y - y); }

bool OnBorder(const GroundPoint& p, double size) {
  return p.X == 0 || p.Y == 0 || p.X == size || p.Y == size;
}

TEST(ContourTracer, ConeGivesClosedRingsInsideAndBorderArcsWhereClipped) {
  // A cone: the level l lies on the circle of radius 100 - l around (50, 50).
  const HeightSamples cone = SampleHeights(
      [](double x, double y) { return 100 - std::hypot(x - 50, y - 50); }, 100, 100, 1);
  const auto rings = TraceLevel(cone, 80);
  ASSERT_EQ(rings.size(), 1u);
  EXPECT_EQ(rings[0].front(), rings[0].back());
  EXPECT_GT(rings[0].size(), 100u);
  for (const GroundPoint& p : rings[0]) EXPECT_NEAR(Distance(p, 50, 50), 20, 0.05);

  // Radius 60 leaves the square on all four sides: four open arcs ending on the border.
  const auto arcs = TraceLevel(cone, 40);
  ASSERT_EQ(arcs.size(), 4u);
  for (const auto& arc : arcs) {
    EXPECT_TRUE(OnBorder(arc.front(), 100));
    EXPECT_TRUE(OnBorder(arc.back(), 100));
    for (const GroundPoint& p : arc) EXPECT_NEAR(Distance(p, 50, 50), 60, 0.05);
  }
}

TEST(ContourTracer, SeparateHillsSaddlesAndUnevenSamplingAreAllTraced) {
  // Two hills joined by a saddle at about 65 m: below it one ring, above it two.
  auto twoHills = [](double x, double y) {
    return 100 * std::exp(-(std::pow(x - 30, 2) + std::pow(y - 40, 2)) / 200) +
           100 * std::exp(-(std::pow(x - 60, 2) + std::pow(y - 40, 2)) / 200);
  };
  // 90 x 81 m sampled every 2 m: the last row and column are nearer than a step.
  const HeightSamples samples = SampleHeights(twoHills, 90, 81, 2);
  EXPECT_EQ(samples.Xs.back(), 90);
  EXPECT_EQ(samples.Ys.back(), 81);
  EXPECT_EQ(samples.Ys[samples.Ys.size() - 2], 80);
  EXPECT_EQ(TraceLevel(samples, 70).size(), 2u);
  EXPECT_EQ(TraceLevel(samples, 10).size(), 1u);
  for (double level : {10.0, 70.0, 95.0})
    for (const auto& ring : TraceLevel(samples, level)) {
      EXPECT_EQ(ring.front(), ring.back());
      for (const GroundPoint& p : ring) EXPECT_NEAR(twoHills(p.X, p.Y), level, 1.0);
    }
  EXPECT_TRUE(TraceLevel(samples, 500).empty());

  // A saddle cell: the centre cell's corners alternate above and below 0.1, and its mean (0)
  // is below, so the two branches of the hyperbola must stay apart.
  const HeightSamples saddle =
      SampleHeights([](double x, double y) { return (x - 4.5) * (y - 4.5); }, 9, 9, 1);
  const auto branches = TraceLevel(saddle, 0.1);
  ASSERT_EQ(branches.size(), 2u);
  for (const auto& branch : branches) {
    const bool northEast = branch.front().X > 4.5;
    for (const GroundPoint& p : branch) {
      EXPECT_EQ(p.X > 4.5, northEast);
      EXPECT_EQ(p.Y > 4.5, northEast);
    }
  }

  // A plane exactly at a sample's height: no repeated points where the line meets a sample.
  const HeightSamples plane = SampleHeights([](double x, double y) { return x + y; }, 10, 10, 1);
  const auto lines = TraceLevel(plane, 10);
  ASSERT_EQ(lines.size(), 1u);
  for (std::size_t k = 1; k < lines[0].size(); ++k) EXPECT_FALSE(lines[0][k] == lines[0][k - 1]);
}

TEST(ContourTracer, SimplifyKeepsEndsAndCornersAndSplitPiecesJoinEndToEnd) {
  std::vector<GroundPoint> bent;
  for (int k = 0; k <= 10; ++k) bent.push_back({static_cast<double>(k), 0.01 * (k % 2)});
  for (int k = 1; k <= 10; ++k) bent.push_back({10, static_cast<double>(k)});
  const std::vector<GroundPoint> simple = Simplify(bent, 0.1);
  EXPECT_EQ(simple, (std::vector<GroundPoint>{{0, 0}, {10, 0}, {10, 10}}));
  const std::vector<GroundPoint> ring{{0, 0}, {5, 0}, {5, 5}, {0, 5}, {0, 0}};
  EXPECT_EQ(Simplify(ring, 0.1), ring);

  std::vector<GroundPoint> line;
  for (int k = 0; k < 1000; ++k) line.push_back({static_cast<double>(k), 0});
  const auto pieces = SplitLine(line, 250);
  ASSERT_EQ(pieces.size(), 5u);
  std::vector<GroundPoint> joined = pieces[0];
  for (std::size_t p = 1; p < pieces.size(); ++p) {
    EXPECT_LE(pieces[p].size(), 250u);
    EXPECT_GE(pieces[p].size(), 2u);
    EXPECT_EQ(pieces[p].front(), pieces[p - 1].back());
    joined.insert(joined.end(), pieces[p].begin() + 1, pieces[p].end());
  }
  EXPECT_EQ(joined, line);
  EXPECT_EQ(SplitLine({{0, 0}, {1, 1}}, 2).size(), 1u);
  EXPECT_THROW(SplitLine(line, 1), std::invalid_argument);
}

}  // namespace
}  // namespace terrak::testing
