// Heights from the known contours on small maps whose answer is known by hand.
#include <gtest/gtest.h>

#include <tuple>

#include "heights/derive_heights.h"
#include "heights_test_maps.h"

namespace terrak::heights {
namespace {

using namespace terrak::heights::testing;

HeightValue At(const HeightsResult& r, std::int32_t object) {
  return r.Objects[static_cast<std::size_t>(object)].Height;
}
HeightState StateOf(const HeightsResult& r, std::int32_t object) {
  return r.Objects[static_cast<std::size_t>(object)].State;
}

TEST(DeriveHeights, AClosedContourEnclosesAHillUnlessSlopeLinesPointIntoItOrItIsTooSmall) {
  // Two known rings: the ground rises inwards into the face that holds the small rings.
  MapDrawing d, specks;
  for (MapDrawing* m : {&d, &specks}) m->Add(kContour, Circle(0, 0, 260), Metres(105));
  const std::int32_t outer = d.Add(kContour, Circle(0, 0, 200), Metres(110));
  specks.Add(kContour, Circle(0, 0, 200), Metres(110));
  const std::int32_t left = d.Add(kContour, Circle(-80, 0, 40));
  const std::int32_t right = d.Add(kContour, Circle(80, 0, 40));
  const std::int32_t middle = d.Add(kContour, Circle(0, 100, 30));
  // Ticks into the right ring: a hollow.
  d.Tick({120, 0}, -1, 0);
  d.Tick({40, 0}, 1, 0);
  const HeightsResult r = DeriveHeights(d.Map(), TestRoles());
  EXPECT_EQ(StateOf(r, outer), HeightState::Known);
  // The face round the small rings lies between 110 and 115: beside the hollow (right) one of
  // the others must be a hill, else the face would hold a top of its own; which one, only the
  // rule that a closed contour encloses a hill tells, so both are guessed.
  EXPECT_EQ(std::tuple(At(r, left), At(r, middle), At(r, right)),
            std::tuple(Metres(115), Metres(115), Metres(110)));
  EXPECT_EQ(std::tuple(StateOf(r, left), StateOf(r, middle), StateOf(r, right)),
            std::tuple(HeightState::Guessed, HeightState::Guessed, HeightState::Derived));

  // Rings too small to draw are never guessed unless the index levels tell them.
  const std::int32_t hill = specks.Add(kContour, Circle(-80, 0, 40));
  const std::int32_t speck = specks.Add(kContour, Circle(80, 0, 1.5));  // 9 m round: 0.9 mm
  const std::int32_t indexSpeck = specks.Add(kIndex, Circle(0, 80, 1.5));
  const HeightsResult s = DeriveHeights(specks.Map(), TestRoles());
  EXPECT_EQ(At(s, hill), Metres(115));
  EXPECT_EQ(StateOf(s, speck), HeightState::None);
  EXPECT_EQ(s.Objects[static_cast<std::size_t>(speck)].Reason,
            "too small to tell a knoll from a hollow");
  // In the face between 110 and 115 m an index contour can only be 110... which is no index
  // level (every 25 m): a conflict.
  EXPECT_EQ(StateOf(s, indexSpeck), HeightState::Conflict);
}

TEST(DeriveHeights, ASlopeAsMappersDrawItFromOneKnownContour) {
  MapDrawing d;
  const auto contours = DrawSlope(d);
  const std::int32_t form = static_cast<std::int32_t>(d.Map().Objects.size()) - 2;
  const std::int32_t path = form + 1;
  d.Map().Objects[static_cast<std::size_t>(contours[1][1])].Height = Metres(105);
  const HeightsResult r = DeriveHeights(d.Map(), TestRoles());
  // The index contour one step south is 100 m, so the ground rises northwards.
  for (std::size_t k = 0; k < contours.size(); ++k)
    for (std::int32_t o : contours[k]) {
      if (o == contours[1][1]) continue;
      EXPECT_EQ(At(r, o), Metres(100 + 5.0 * static_cast<double>(k))) << "object " << o;
      EXPECT_EQ(StateOf(r, o), HeightState::Derived) << "object " << o;
    }
  EXPECT_EQ(std::tuple(At(r, form), StateOf(r, form), StateOf(r, path)),
            std::tuple(Metres(112.5), HeightState::Derived, HeightState::None));
  EXPECT_EQ(r.Objects[static_cast<std::size_t>(path)].Reason, "");

  // The same from the top: an index contour alone, at 125 m, tells nothing of up or down.
  MapDrawing top;
  const auto again = DrawSlope(top);
  top.Map().Objects[static_cast<std::size_t>(again[5][0])].Height = Metres(125);
  const HeightsResult t = DeriveHeights(top.Map(), TestRoles());
  EXPECT_EQ(StateOf(t, again[4][0]), HeightState::None);
  EXPECT_EQ(t.Objects[static_cast<std::size_t>(again[4][0])].Reason,
            "nothing tells up from down here");

  // A form line's level is the contour's below it; a height off its role's levels has none.
  EXPECT_EQ(std::tuple(LevelOf(112.5, 5, true), LevelOf(-2.5, 5, true), LevelOf(110, 5, false)),
            std::tuple(22, -1, 22));
  EXPECT_EQ(std::tuple(LevelOf(112.5, 5, false), LevelOf(110, 5, true)),
            std::tuple(std::nullopt, std::nullopt));
}

TEST(DeriveHeights, ContradictionsAreConflictsAndMapsWithoutKnownHeightsStayAsTheyAre) {
  MapDrawing d;
  const auto contours = DrawSlope(d);
  auto& objects = d.Map().Objects;
  objects[static_cast<std::size_t>(contours[1][0])].Height = Metres(105);
  objects[static_cast<std::size_t>(contours[2][0])].Height = Metres(120);  // 110 at most
  objects[static_cast<std::size_t>(contours[3][0])].Height = Metres(116.3);  // off the levels
  const HeightsResult r = DeriveHeights(d.Map(), TestRoles());
  // The index contours side with 105 m: 120 m is the one that contradicts, left as it was.
  EXPECT_EQ(std::tuple(StateOf(r, contours[1][0]), StateOf(r, contours[2][0]),
                       At(r, contours[2][0])),
            std::tuple(HeightState::Known, HeightState::Conflict, Metres(120)));
  EXPECT_EQ(r.Objects[static_cast<std::size_t>(contours[2][0])].Reason,
            "its known height contradicts the other known heights or the index levels");
  EXPECT_EQ(StateOf(r, contours[3][0]), HeightState::Conflict);
  EXPECT_EQ(r.Objects[static_cast<std::size_t>(contours[3][0])].Reason,
            "its known height is not on a level of the interval");
  EXPECT_EQ(At(r, contours[6][2]), Metres(130));

  // Without index contours nothing sides with either: both are conflicts, nothing is derived.
  ContourRoles plain = TestRoles();
  plain.IndexContours.clear();
  for (HeightObject& o : objects)
    if (o.Symbol == kIndex) o.Role = ContourRole::Contour;
  const HeightsResult p = DeriveHeights(d.Map(), plain);
  EXPECT_EQ(std::tuple(StateOf(p, contours[1][0]), StateOf(p, contours[2][0])),
            std::tuple(HeightState::Conflict, HeightState::Conflict));
  for (const ObjectHeight& o : p.Objects) EXPECT_NE(o.State, HeightState::Derived);

  MapDrawing none;
  const auto lines = DrawSlope(none);
  const HeightsResult n = DeriveHeights(none.Map(), TestRoles());
  EXPECT_EQ(StateOf(n, lines[3][1]), HeightState::None);
  EXPECT_EQ(n.Objects[static_cast<std::size_t>(lines[3][1])].Reason,
            "no contour with a known height is connected to it");
}

}  // namespace
}  // namespace terrak::heights
