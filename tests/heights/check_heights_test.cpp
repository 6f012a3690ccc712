// Check Heights: every kind of contradiction on a slope drawn as mappers draw it, each found
// with its reason where it lies, and a consistent map without findings.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "heights/check_heights.h"
#include "heights_test_maps.h"

namespace terrak::heights {
namespace {

using namespace terrak::heights::testing;

// The slope with every contour at its height (100 m in the south, 5 m a contour) and the form
// line at 112.5 m; heights[k] overrides contour k's.
MapDrawing Slope(std::vector<std::vector<std::int32_t>>& contours, std::map<int, double> heights = {}) {
  MapDrawing d;
  contours = DrawSlope(d);
  for (std::size_t k = 0; k < contours.size(); ++k) {
    const auto it = heights.find(static_cast<int>(k));
    const double h = it != heights.end() ? it->second : 100 + 5.0 * static_cast<double>(k);
    for (std::int32_t o : contours[k]) d.Map().Objects[static_cast<std::size_t>(o)].Height = Metres(h);
  }
  d.Map().Objects[static_cast<std::size_t>(contours.back().back() + 1)].Height = Metres(112.5);
  return d;
}

std::vector<const Finding*> OfKind(const std::vector<Finding>& findings, FindingKind kind) {
  std::vector<const Finding*> found;
  for (const Finding& f : findings)
    if (f.Kind == kind) found.push_back(&f);
  return found;
}

TEST(CheckHeights, NeighboursTooFarApartOrEqualWhereTheGroundMustRiseWithWhereTheyMeet) {
  std::vector<std::vector<std::int32_t>> contours;
  EXPECT_TRUE(CheckHeights(Slope(contours).Map(), TestRoles()).empty());  // consistent: nothing
  const MapDrawing far = Slope(contours, {{3, 130}});
  const std::vector<Finding> farFindings = CheckHeights(far.Map(), TestRoles());
  const auto tooFar = OfKind(farFindings, FindingKind::TooFarApart);
  // 130 m between 110 and 120 m: too far from both; listed from the top of the map down.
  ASSERT_EQ(tooFar.size(), 3u);  // the third contour is two lines beyond its gap
  EXPECT_EQ(tooFar[0]->Reason, "neighbouring contours 130 m and 120 m are more than one interval apart");
  EXPECT_NEAR(tooFar[0]->Where.Y, 70, 8);  // between the contours at 60 and 80 m north
  EXPECT_EQ(tooFar[1]->Reason, "neighbouring contours 110 m and 130 m are more than one interval apart");
  EXPECT_NEAR(tooFar[1]->Where.Y, 50, 8);

  const MapDrawing equal = Slope(contours, {{3, 110}, {4, 115}, {5, 120}, {6, 125}, {7, 130}});
  const std::vector<Finding> findings = CheckHeights(equal.Map(), TestRoles());
  const auto mustRise = OfKind(findings, FindingKind::EqualMustRise);
  ASSERT_EQ(mustRise.size(), 2u);  // both lines of the third contour (it has a gap)
  EXPECT_EQ(mustRise[0]->Reason,
            "neighbouring contours both at 110 m where the ground must rise between them");
  EXPECT_NEAR(mustRise[0]->Where.Y, 50, 8);
  EXPECT_TRUE(OfKind(findings, FindingKind::TooFarApart).empty());
  // The index contour at 125 m is now a plain one's level, the 6th contour (plain) at 125 m.
  EXPECT_FALSE(OfKind(findings, FindingKind::ContourOnIndexLevel).empty());

  // The lowest contour above the next: the ground falls from the lower one into the faces it
  // shares with it and with the one beyond. The highest below the one before: the ground rises
  // from the higher one. (Beyond the map's edge no contour tells either way.)
  using Pairs = std::vector<std::string>;
  for (const auto& [changed, pairs] : std::vector<std::pair<std::map<int, double>, Pairs>>{
           {{{0, 110}}, {"105 m and 110 m", "105 m and 110 m", "110 m and 105 m"}},
           {{{7, 125}}, {"130 m and 125 m", "125 m and 130 m"}}}) {
    const MapDrawing wrongWay = Slope(contours, changed);
    const std::vector<Finding> found = CheckHeights(wrongWay.Map(), TestRoles());
    Pairs said, expected;
    for (const Finding* f : OfKind(found, FindingKind::SlopeContradiction))
      said.push_back(f->Reason);
    for (const std::string& pair : pairs)
      expected.push_back("neighbouring contours " + pair +
                         " contradict which way the ground slopes between them");
    EXPECT_EQ(said, expected);
  }
}

TEST(CheckHeights, LevelsFormLinesTracedLinesAndMissingHeights) {
  std::vector<std::vector<std::int32_t>> contours;
  MapDrawing d = Slope(contours, {{5, 130}, {6, 135}, {7, 140}});  // index contour at 130
  auto& objects = d.Map().Objects;
  const std::int32_t form = contours.back().back() + 1;
  objects[static_cast<std::size_t>(form)].Height = Metres(117.5);  // between 110 and 115
  objects[static_cast<std::size_t>(contours[6][1])].Height = Metres(140);
  objects[static_cast<std::size_t>(contours[4][0])].Height = Metres(121.3);
  objects[static_cast<std::size_t>(contours[1][2])].Height = {};
  const std::vector<Finding> findings = CheckHeights(d.Map(), TestRoles());

  const auto index = OfKind(findings, FindingKind::IndexOffLevel);
  ASSERT_EQ(index.size(), 3u);  // each object of the index contour
  EXPECT_EQ(index[0]->Reason, "index contour at 130 m, which is no index level");
  const auto offLevel = OfKind(findings, FindingKind::OffLevel);
  ASSERT_EQ(offLevel.size(), 1u);
  EXPECT_EQ(offLevel[0]->Objects, std::vector<std::int32_t>{contours[4][0]});
  EXPECT_EQ(offLevel[0]->Reason, "contour at 121.3 m, which is on no level of the 5 m interval");
  const auto formLine = OfKind(findings, FindingKind::FormLineNotBetween);
  ASSERT_EQ(formLine.size(), 1u);
  EXPECT_EQ(formLine[0]->Objects.front(), form);
  const auto traced = OfKind(findings, FindingKind::ChainHeights);
  ASSERT_EQ(traced.size(), 2u);  // the 7th contour, and the 5th with its height off the levels
  EXPECT_EQ(traced[0]->Reason, "objects of one traced line with different heights: 135 m, 140 m");
  EXPECT_NEAR(traced[0]->Where.X, 120, 0.5);  // where the two objects meet
  EXPECT_EQ(traced[1]->Reason, "objects of one traced line with different heights: 120 m, 121.3 m");
  const auto missing = OfKind(findings, FindingKind::NoHeight);
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_EQ(missing[0]->Objects, std::vector<std::int32_t>{contours[1][2]});
  EXPECT_NEAR(missing[0]->Where.X, 325, 10);
  // Kinds in their order, so the list steps through one kind after another.
  for (std::size_t i = 1; i < findings.size(); ++i)
    EXPECT_LE(findings[i - 1].Kind, findings[i].Kind);
}

}  // namespace
}  // namespace terrak::heights
