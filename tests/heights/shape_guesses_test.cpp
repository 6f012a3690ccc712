// Guesses from the shape of the lines where the rules leave up and down open: a piece of contour
// cut off by the map's edge follows the slope beside it, a ring too small to draw lies at the
// level of the contours clearly nearer it.
#include <gtest/gtest.h>

#include <numbers>
#include <tuple>

#include "heights/derive_heights.h"
#include "heights_test_maps.h"

namespace terrak::heights {
namespace {

using namespace terrak::heights::testing;

std::vector<Point> Straight(double y, double x0, double x1) {
  std::vector<Point> line;
  for (double x = x0; x <= x1 + 1e-9; x += 20) line.push_back({x, y});
  return line;
}

// A quarter circle round the map's north-east corner (400, 100): a contour cut off by two edges.
std::vector<Point> CornerPiece(double radius) {
  std::vector<Point> line;
  for (int i = 0; i <= 12; ++i) {
    const double a = std::numbers::pi * (1 + i / 24.0);  // from west round to south
    line.push_back({400 + radius * std::cos(a), 100 + radius * std::sin(a)});
  }
  return line;
}

// An index contour at y 0 and n contours every 20 m north of it, the first at known.
void DrawStraightSlope(MapDrawing& d, int n, double known = 105) {
  d.Add(kIndex, Straight(0, 0, 400));
  for (int i = 1; i <= n; ++i)
    d.Add(kContour, Straight(20.0 * i, 0, 400), i == 1 ? Metres(known) : HeightValue{});
}

// Contours every 20 m northwards from an index contour, the one next to it known,
// the northernmost leaving the map at x = 300, and a piece in the north-east corner beside it.
struct CornerMap {
  MapDrawing Drawing;
  std::int32_t Piece = -1;
};

CornerMap DrawCorner(double known) {
  CornerMap m;
  DrawStraightSlope(m.Drawing, 3, known);
  m.Drawing.Add(kContour, Straight(100, 0, 300));
  m.Piece = m.Drawing.Add(kContour, CornerPiece(30));
  return m;
}

TEST(ShapeGuesses, APieceCutOffByTheMapsEdgeFollowsTheSlopeBesideIt) {
  // Rising northwards (100, 105, 110, 115): the northernmost contour and the corner piece share
  // the face above 115 m, so either may go down again; the slope says both rise to 120 m.
  CornerMap up = DrawCorner(105);
  const HeightsResult r = DeriveHeights(up.Drawing.Map(), TestRoles());
  const ObjectHeight& piece = r.Objects[static_cast<std::size_t>(up.Piece)];
  EXPECT_EQ(std::tuple(r.Objects[3].State, r.Objects[4].State, r.Objects[4].Height),
            std::tuple(HeightState::Derived, HeightState::Guessed, Metres(120)));
  EXPECT_EQ(std::tuple(piece.State, piece.Height), std::tuple(HeightState::Guessed, Metres(120)));
  EXPECT_EQ(piece.Reason,
            "up or down guessed from closed contours taken for hills and slopes going on as "
            "beside them; nothing else tells it here");

  // Falling northwards (125, 120, 115, 110, 105): the corner is lower still.
  CornerMap down = DrawCorner(120);
  const HeightsResult f = DeriveHeights(down.Drawing.Map(), TestRoles());
  const ObjectHeight& lower = f.Objects[static_cast<std::size_t>(down.Piece)];
  EXPECT_EQ(std::tuple(f.Objects[4].Height, lower.State, lower.Height),
            std::tuple(Metres(105), HeightState::Guessed, Metres(105)));
}

TEST(ShapeGuesses, ATinyRingLiesAtTheLevelOfTheContoursClearlyNearerItOrOfTheOneLevelRoundIt) {
  MapDrawing d;
  DrawStraightSlope(d, 3);
  // In the face between 105 and 110 m; 9 m round, below what a mapper draws.
  const std::int32_t nearUpper = d.Add(kContour, Circle(100, 36, 1.5));
  const std::int32_t nearLower = d.Add(kContour, Circle(300, 24, 1.5));
  const std::int32_t between = d.Add(kContour, Circle(200, 31, 1.5));
  const HeightsResult r = DeriveHeights(d.Map(), TestRoles());
  const auto& knoll = r.Objects[static_cast<std::size_t>(nearUpper)];
  EXPECT_EQ(std::tie(knoll.State, knoll.Height, knoll.Reason),
            std::tuple(HeightState::Guessed, Metres(110),
                       "a knoll or a hollow guessed from the level of the contours nearer it"));
  const auto& hollow = r.Objects[static_cast<std::size_t>(nearLower)];
  EXPECT_EQ(std::tie(hollow.State, hollow.Height), std::tuple(HeightState::Guessed, Metres(105)));
  // About as near to both (7.5 and 9.5 m from its edge): nothing to go by.
  const auto& open = r.Objects[static_cast<std::size_t>(between)];
  EXPECT_EQ(std::tie(open.State, open.Reason),
            std::tuple(HeightState::None, "too small to tell a knoll from a hollow"));

  // A hill whose top lies above 105 m and nowhere reaches 110 m: a speck of noise on it, with
  // only the 105 m contour round it, is where the ground comes back down to 105 m. Beside a
  // second speck, it goes by the contour round both, not by the speck its rays meet first.
  MapDrawing h;
  h.Add(kContour, Circle(200, 200, 100), Metres(105));
  const std::int32_t speck = h.Add(kContour, Circle(280, 200, 1.5));
  const std::int32_t beside = h.Add(kContour, Circle(274, 200, 1.5));
  const HeightsResult hill = DeriveHeights(h.Map(), TestRoles());
  for (const std::int32_t ring : {speck, beside}) {
    const ObjectHeight& o = hill.Objects[static_cast<std::size_t>(ring)];
    EXPECT_EQ(std::tie(o.State, o.Height, o.Reason),
              std::tuple(HeightState::Guessed, Metres(105),
                         "a knoll or a hollow guessed from the level of the contours nearer it"))
        << ring;
  }
}

TEST(ShapeGuesses, ASmallRingWhoseHillGuessTheContoursRoundItContradictKeepsNoHeight) {
  // 22 m round, a small knoll or hollow as a mapper draws them. On a hill's top that rises to a
  // knoll of 110 m, 4 m from the 105 m contour round it and 80 m from the knoll, the hill rule
  // says 110 m, where it lies says 105 m: too little either way.
  MapDrawing hill;
  hill.Add(kContour, Circle(200, 200, 100), Metres(105));
  hill.Add(kContour, Circle(180, 200, 30));
  const std::int32_t top = hill.Add(kContour, Circle(292.5, 200, 3.5));
  const HeightsResult r = DeriveHeights(hill.Map(), TestRoles());
  const ObjectHeight& doubted = r.Objects[static_cast<std::size_t>(top)];
  EXPECT_EQ(std::tie(doubted.State, doubted.Height.Has, doubted.Reason),
            std::tuple(HeightState::None, false,
                       "a small ring: taken for a knoll, but the contours round it say a hollow, "
                       "or the other way round"));

  // On a slope, much nearer the 120 m contour above it than the 115 m one below: both say a
  // knoll, at 120 m.
  MapDrawing slope;
  DrawStraightSlope(slope, 4);
  const std::int32_t knoll = slope.Add(kContour, Circle(100, 75, 3.5));
  const HeightsResult k = DeriveHeights(slope.Map(), TestRoles());
  const auto& high = k.Objects[static_cast<std::size_t>(knoll)];
  EXPECT_EQ(std::tie(high.State, high.Height), std::tuple(HeightState::Guessed, Metres(120)));
}

}  // namespace
}  // namespace terrak::heights
