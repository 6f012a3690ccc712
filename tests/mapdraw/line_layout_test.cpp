// Where dashes and line symbols go: whole groups stretched to fit, a dash split across a dash
// point, lines too short for a pattern, symbols in dashes, groups, gaps and along undashed
// lines, and curves flattened within their tolerance.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "mapdraw/line_layout.h"
#include "mapdraw/offset_line.h"
#include "mapdraw/path_parts.h"
#include "mapfile/map_format.h"

namespace terrak::mapdraw {
namespace {

using ::testing::DoubleNear;
using ::testing::ElementsAre;

PathPart Straight(double length, std::vector<double> dashPointsAt = {}) {
  std::vector<FlaggedPoint> points{{{0, 0}, 0}};
  for (double at : dashPointsAt) points.push_back({{at, 0}, point_flag::kDash});
  points.push_back({{length, 0}, 0});
  return BuildPathParts(points, 1).front();
}

std::shared_ptr<PointDefinition> Dot() {
  return std::make_shared<PointDefinition>(PointDefinition{.InnerRadius = 100, .InnerColour = 0});
}

LineDefinition Dashed(std::int32_t dash, std::int32_t gap) {
  return {.Dashed = true, .DashLength = dash, .BreakLength = gap};
}

TEST(LineLayout, DashesStretchSoThatWholeDashesOrGroupsEndTheLine) {
  // 4 mm dashes and 1 mm gaps on 101 mm: 20 dashes of 4.1 mm between 19 gaps fit exactly.
  const PathPart part = Straight(101000);
  const LineLayout layout = LayOutDashes(Dashed(4000, 1000), part, 0, part.Total());
  ASSERT_EQ(layout.Dashes.size(), 20u);
  EXPECT_DOUBLE_EQ(layout.Dashes.front().From, 0);
  EXPECT_NEAR(layout.Dashes.back().To, 101000, 1e-6);
  for (std::size_t i = 0; i < layout.Dashes.size(); ++i) {
    EXPECT_NEAR(layout.Dashes[i].To - layout.Dashes[i].From, 4100, 1e-6) << i;
    if (i > 0) {
      EXPECT_NEAR(layout.Dashes[i].From - layout.Dashes[i - 1].To, 1000, 1e-6) << i;
    }
  }

  // Half outer dashes: the first and the last are half as long.
  LineDefinition half = Dashed(4000, 1000);
  half.HalfOuterDashes = true;
  const LineLayout halves = LayOutDashes(half, part, 0, part.Total());
  ASSERT_GE(halves.Dashes.size(), 3u);
  const double full = halves.Dashes[1].To - halves.Dashes[1].From;
  EXPECT_NEAR(halves.Dashes.front().To - halves.Dashes.front().From, full / 2, 1e-6);
  EXPECT_NEAR(halves.Dashes.back().To - halves.Dashes.back().From, full / 2, 1e-6);
  EXPECT_NEAR(halves.Dashes.back().To, 101000, 1e-6);

  // A line too short for the pattern is drawn whole.
  const PathPart shortPart = Straight(3000);
  const LineLayout whole = LayOutDashes(Dashed(4000, 1000), shortPart, 0, shortPart.Total());
  ASSERT_EQ(whole.Dashes.size(), 1u);
  EXPECT_EQ(std::pair(whole.Dashes[0].From, whole.Dashes[0].To), std::pair(0.0, 3000.0));

  // Groups of two dashes keep their short gap.
  LineDefinition grouped = Dashed(2000, 1500);
  grouped.DashesInGroup = 2;
  grouped.InGroupBreakLength = 500;
  const PathPart groupedPart = Straight(50000);
  const LineLayout groups = LayOutDashes(grouped, groupedPart, 0, groupedPart.Total());
  ASSERT_EQ(groups.Dashes.size() % 2, 0u);
  for (std::size_t i = 0; i + 1 < groups.Dashes.size(); i += 2)
    EXPECT_NEAR(groups.Dashes[i + 1].From - groups.Dashes[i].To, 500, 1e-6);
  EXPECT_NEAR(groups.Dashes.back().To, 50000, 1e-6);
}

TEST(LineLayout, ADashPointSplitsOneDashAcrossIt) {
  // A dash point in the middle: each side ends in half a dash, and the two halves are drawn as
  // one dash centred on the point.
  const PathPart part = Straight(60000, {30000});
  const LineLayout layout = LayOutDashes(Dashed(4000, 1000), part, 0, part.Total());
  const auto across = std::find_if(layout.Dashes.begin(), layout.Dashes.end(), [](const Dash& d) {
    return d.From < 30000 && d.To > 30000;
  });
  ASSERT_NE(across, layout.Dashes.end());
  EXPECT_NEAR((across->From + across->To) / 2, 30000, 1e-6);
  EXPECT_NEAR(layout.Dashes.front().From, 0, 1e-6);
  EXPECT_NEAR(layout.Dashes.back().To, 60000, 1e-6);
  // From the dash point on, the line is laid out as one without it.
  const LineLayout from = LayOutDashes(Dashed(4000, 1000), part, 30000, part.Total());
  const LineLayout plain = LayOutDashes(Dashed(4000, 1000), Straight(30000), 0, 30000);
  ASSERT_EQ(from.Dashes.size(), plain.Dashes.size());
  for (std::size_t i = 0; i < from.Dashes.size(); ++i)
    EXPECT_NEAR(from.Dashes[i].From, plain.Dashes[i].From + 30000, 1e-6) << i;
}

TEST(LineLayout, MidSymbolsGoIntoDashesGroupsOrGaps) {
  LineDefinition line = Dashed(4000, 1000);
  line.MidSymbol = Dot();
  const PathPart part = Straight(101000);
  const LineLayout inDashes = LayOutDashes(line, part, 0, part.Total());
  ASSERT_EQ(inDashes.Symbols.size(), inDashes.Dashes.size());
  for (std::size_t i = 0; i < inDashes.Dashes.size(); ++i)
    EXPECT_NEAR(inDashes.Symbols[i], (inDashes.Dashes[i].From + inDashes.Dashes[i].To) / 2, 1e-6);

  line.MidPlacement = MidSymbolPlacement::CentreOfGap;
  const LineLayout inGaps = LayOutDashes(line, part, 0, part.Total());
  ASSERT_EQ(inGaps.Symbols.size(), inGaps.Dashes.size() - 1);
  for (std::size_t i = 0; i < inGaps.Symbols.size(); ++i)
    EXPECT_NEAR(inGaps.Symbols[i], (inGaps.Dashes[i].To + inGaps.Dashes[i + 1].From) / 2, 1e-6);

  // Two symbols a spot, 1 mm apart, centred in each gap.
  line.MidSymbolsPerSpot = 2;
  line.MidSymbolDistance = 1000;
  const LineLayout pairs = LayOutDashes(line, part, 0, part.Total());
  ASSERT_EQ(pairs.Symbols.size(), 2 * inGaps.Symbols.size());
  EXPECT_NEAR(pairs.Symbols[1] - pairs.Symbols[0], 1000, 1e-6);
  EXPECT_NEAR((pairs.Symbols[0] + pairs.Symbols[1]) / 2, inGaps.Symbols[0], 1e-6);
}

TEST(LineLayout, UndashedLinesCarrySymbolsEverySegment) {
  LineDefinition line{.MidSymbol = Dot(), .SegmentLength = 6000};
  const PathPart part = Straight(30000);
  // No end length: symbols at both ends and at five equal segments.
  EXPECT_THAT(LayOutMidSymbols(line, part, 0, part.Total()),
              ElementsAre(0, 6000, 12000, 18000, 24000, 30000));
  // 31 mm: five segments of 6.2 mm fit better than six of 5.17 mm.
  const PathPart longer = Straight(31000);
  const std::vector<double> stretched = LayOutMidSymbols(line, longer, 0, longer.Total());
  ASSERT_EQ(stretched.size(), 6u);
  EXPECT_NEAR(stretched[1], 6200, 1e-6);

  // An end length keeps the first and last symbols off the ends, stretched alike.
  line.EndLength = 3000;
  const std::vector<double> kept = LayOutMidSymbols(line, part, 0, part.Total());
  ASSERT_EQ(kept.size(), 5u);
  EXPECT_NEAR(kept.front(), 3000, 1e-6);
  EXPECT_NEAR(kept.back(), 27000, 1e-6);
}

TEST(PathParts, CurvesGetJustEnoughSegmentsToStayWithinTheTolerance) {
  // A parabola as a cubic (a quadratic's controls raised): its chords miss it by exactly
  // height / (2 n^2), so 1000 units high at a tolerance of 1 needs 23 segments, at 10 eight.
  const double length = 60000, height = 1000;
  const double rise = 2 * height / 3;
  const std::vector<FlaggedPoint> points{{{0, 0}, 0},
                                         {{length / 3, rise}, point_flag::kFirstControl},
                                         {{2 * length / 3, rise}, point_flag::kSecondControl},
                                         {{length, 0}, 0}};
  for (const auto& [tolerance, segments] : {std::pair{1.0, 23u}, {10.0, 8u}}) {
    const std::vector<PathPart> parts = BuildPathParts(points, tolerance);
    ASSERT_EQ(parts.size(), 1u);
    const std::vector<PathVertex>& v = parts[0].Vertices;
    ASSERT_EQ(v.size(), segments + 1) << tolerance;
    EXPECT_EQ(v.back().Pos, (Vec2{length, 0}));
    for (std::size_t i = 1; i < v.size(); ++i) {
      const Vec2 middle = (v[i - 1].Pos + v[i].Pos) * 0.5;
      const double along = middle.X / length;
      EXPECT_LE(2 * height * along * (1 - along) - middle.Y, tolerance) << "chord " << i;
    }
  }
  EXPECT_EQ(BuildPathParts(points, 1e-6)[0].Vertices.size(), 257u);  // at most 256 segments
}

TEST(PathParts, HolesStartPartsAndCoincidentEndsClose) {
  const std::vector<FlaggedPoint> points{
      {{0, 0}, 0},         {{100, 0}, point_flag::kCorner}, {{100, 100}, 0}, {{0, 0}, 0},
      {{20, 20}, point_flag::kHoleStart}, {{40, 20}, 0}, {{40, 40}, point_flag::kClose}};
  const std::vector<PathPart> parts = BuildPathParts(points, 1);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_TRUE(parts[0].Closed && parts[1].Closed && parts[0].Vertices[1].DashPoint);
  EXPECT_FALSE(parts[0].Vertices[2].DashPoint);
  EXPECT_DOUBLE_EQ(parts[0].Total(), 200 + std::hypot(100, 100));
  const PathPosition at = PositionAt(parts[0], 150);
  EXPECT_EQ(std::tuple(at.Pos, at.Direction), std::tuple((Vec2{100, 50}), (Vec2{0, 1})));
  // A closed ring comes into its first point along its last side and leaves its last point
  // along its first; an open line has nothing before its start nor after its end.
  const std::vector<PathPart> open = BuildPathParts(std::span(points).first(3), 1);
  ASSERT_FALSE(open.front().Closed);
  const Vec2 closedIn = TangentIn(parts[0], 0), closedOut = TangentOut(parts[0], 3);
  EXPECT_NEAR(closedIn.X, -std::sqrt(0.5), 1e-12);
  EXPECT_NEAR(closedIn.Y, -std::sqrt(0.5), 1e-12);
  EXPECT_EQ(std::tuple(closedOut, TangentIn(open.front(), 0), TangentOut(open.front(), 2)),
            std::tuple((Vec2{1, 0}), (Vec2{1, 0}), (Vec2{0, 1})));
}

TEST(OffsetLine, BordersRunOnTheirSideWithMiteredCorners) {
  // Left of the way along (0,0) - (10,0) - (10,10) lies inside the corner: its miter point is
  // one unit in from both legs; right of it, one unit out.
  const std::vector<Vec2> line{{0, 0}, {10, 0}, {10, 10}};
  EXPECT_THAT(OffsetLine(line, false, 1), ElementsAre(Vec2{0, 1}, Vec2{9, 1}, Vec2{9, 10}));
  EXPECT_THAT(OffsetLine(line, false, -1), ElementsAre(Vec2{0, -1}, Vec2{11, -1}, Vec2{11, 10}));
  // A closed square keeps its ring closed; a hairpin gets two points instead of a spike.
  const std::vector<Vec2> ring = OffsetLine({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, true, 1);
  EXPECT_EQ(std::tuple(ring.front(), ring.front()), std::tuple(ring.back(), (Vec2{1, 1})));
  EXPECT_EQ(OffsetLine({{0, 0}, {10, 0}, {0, 1}}, false, 1).size(), 4u);
  // A closed line out and back along one segment is a ring of two points: both its ends turn
  // round, one unit to each side, and the ring closes.
  EXPECT_THAT(OffsetLine({{0, 0}, {10, 0}, {0, 0}}, true, 1),
              ElementsAre(Vec2{0, -1}, Vec2{0, 1}, Vec2{10, 1}, Vec2{10, -1}, Vec2{0, -1}));
}

}  // namespace
}  // namespace terrak::mapdraw
