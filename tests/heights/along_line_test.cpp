// Heights along a dragged line across a slope drawn as mappers draw it.
#include <gtest/gtest.h>

#include <map>

#include "heights/along_line.h"
#include "heights_test_maps.h"

namespace terrak::heights {
namespace {

using namespace terrak::heights::testing;

// The new height of every object the drag changes.
std::map<std::int32_t, double> Given(const AlongLineResult& r) {
  std::map<std::int32_t, double> given;
  for (const HeightChange& c : r.Changes) given[c.Object] = c.New.Metres;
  return given;
}

TEST(HeightsAlongLine, EachContourCrossedTheNextLevelFormLinesTheHalfTracedLinesWhole) {
  MapDrawing d;
  const auto contours = DrawSlope(d);
  const std::int32_t form = contours.back().back() + 1;
  d.Map().Objects[static_cast<std::size_t>(contours[1][0])].Height = Metres(105);
  // From the known contour (x 100, y 20) north across the form line (y 50) to y 130.
  const AlongLineResult up = HeightsAlongLine(d.Map(), TestRoles(), {100, 20}, {100, 130}, false, 2);
  EXPECT_EQ(up.Message, "");
  const auto given = Given(up);
  EXPECT_EQ(given.at(form), 112.5);
  for (std::size_t k = 2; k <= 6; ++k)
    for (std::int32_t o : contours[k]) {  // the objects it crossed and their traced lines
      if (o == contours[2][2]) continue;  // beyond a gap: not of the traced line
      EXPECT_EQ(given.at(o), 100 + 5.0 * static_cast<double>(k)) << "object " << o;
    }
  EXPECT_EQ(given.count(contours[2][2]), 0u);
  EXPECT_EQ(given.count(contours[7][0]), 0u);
  EXPECT_EQ(up.Crossed.size(), 6u);
  // Undoing gives every object its old height back.
  for (const HeightChange& c : up.Changes) EXPECT_FALSE(c.Old.Has);

  // Down with Shift: from the known contour south the index contour is 100 m.
  const AlongLineResult down =
      HeightsAlongLine(d.Map(), TestRoles(), {300, 20}, {300, -10}, true, 2);
  EXPECT_EQ(down.Message, "");
  EXPECT_EQ(Given(down).at(contours[0][2]), 100.0);
  // Down across the form line: half a level below the contour the line leaves.
  d.Map().Objects[static_cast<std::size_t>(contours[3][0])].Height = Metres(115);
  const AlongLineResult downAcross =
      HeightsAlongLine(d.Map(), TestRoles(), {100, 60}, {100, 30}, true, 2);
  EXPECT_EQ(downAcross.Message, "");
  EXPECT_EQ(Given(downAcross).at(form), 112.5);
}

TEST(HeightsAlongLine, StopsAtAnIndexContourOffTheIndexLevelsAtALineCrossedTwiceAndNeedsAStart) {
  MapDrawing d;
  const auto contours = DrawSlope(d);
  d.Map().Objects[static_cast<std::size_t>(contours[1][0])].Height = Metres(105);
  // Down from 105 m across 100 m... counted the wrong way (up) reaches the index contour at 95.
  const AlongLineResult wrong =
      HeightsAlongLine(d.Map(), TestRoles(), {100, 20}, {100, -10}, false, 2);
  EXPECT_EQ(wrong.Message,
            "The index contour crossed would lie at 110 m, which is no index level: the line "
            "stops there.");
  EXPECT_TRUE(wrong.Changes.empty());

  // Up across 110, 115 and 120: 125 would be an index level for the contour... the index
  // contour is at 125, so up to 140 all is well; a plain contour at 125 would stop.
  MapDrawing p;
  const auto lines = DrawSlope(p);
  p.Map().Objects[static_cast<std::size_t>(lines[1][0])].Height = Metres(110);
  const AlongLineResult plain =
      HeightsAlongLine(p.Map(), TestRoles(), {100, 20}, {100, 90}, false, 2);
  EXPECT_EQ(plain.Message,
            "The contour crossed would lie at 125 m, an index level: the line stops there.");
  EXPECT_EQ(Given(plain).at(lines[3][0]), 120.0);

  // A wiggle that crosses the same contour twice stops at the second crossing.
  MapDrawing w;
  w.Add(kContour, {{0, 0}, {100, 0}}, Metres(105));
  const std::int32_t bend = w.Add(kContour, {{0, 10}, {50, 10}, {50, 30}, {0, 30}});
  w.Add(kContour, {{0, 50}, {100, 50}});
  const AlongLineResult twice = HeightsAlongLine(w.Map(), TestRoles(), {20, 0}, {20, 60}, false, 2);
  EXPECT_EQ(twice.Message, "The line crosses a contour a second time: it stops there.");
  EXPECT_EQ(Given(twice).at(bend), 110.0);
  EXPECT_EQ(Given(twice).size(), 1u);

  // A drag that begins exactly the pick radius from a contour begins on it.
  EXPECT_EQ(Given(HeightsAlongLine(w.Map(), TestRoles(), {20, 2}, {20, 60}, false, 2)).at(bend),
            110.0);
  const AlongLineResult nowhere =
      HeightsAlongLine(w.Map(), TestRoles(), {20, 40}, {20, 60}, false, 2);
  EXPECT_EQ(nowhere.Message, "Start the line on a contour that has a height.");
}

}  // namespace
}  // namespace terrak::heights
