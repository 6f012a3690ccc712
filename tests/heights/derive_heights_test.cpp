// Heights from the known contours on small maps whose answer is known by hand.
#include <gtest/gtest.h>

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

TEST(DeriveHeights, AClosedContourEnclosesAHillUnlessSlopeLinesPointIntoIt) {
  MapDrawing d;
  // Two known rings: the ground rises inwards into the face that holds the two small rings.
  d.Add(kContour, Circle(0, 0, 260), Metres(105));
  const std::int32_t outer = d.Add(kContour, Circle(0, 0, 200), Metres(110));
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
  EXPECT_EQ(At(r, left), Metres(115));
  EXPECT_EQ(StateOf(r, left), HeightState::Guessed);
  EXPECT_EQ(At(r, middle), Metres(115));
  EXPECT_EQ(StateOf(r, middle), HeightState::Guessed);
  EXPECT_EQ(At(r, right), Metres(110));
  EXPECT_EQ(StateOf(r, right), HeightState::Derived);
}

}  // namespace
}  // namespace terrak::heights
