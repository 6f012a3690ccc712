// An object's pairs as the path the grid, the drawings and the heights walk: a start, then
// straight and curve steps, and what a damaged list leaves of it.
#include <gtest/gtest.h>

#include <vector>

#include "mapfile/object_path.h"

namespace terrak {
namespace {

constexpr TPair kCurve{kMarkCurve, kMarkCurve};
constexpr TPair kFlags{kMarkLineFlags, 1};
constexpr TPair kSkipped{kMarkSkipped, 0};
constexpr TPair kNewPart{kMarkNewPart, kMarkNewPart};

using Pairs = std::vector<TPair>;

std::vector<PathStep> Steps(const ObjectPath& path) {
  std::vector<PathStep> steps;
  for (const PathStep& step : path.Steps) steps.push_back(step);
  return steps;
}

PathStep Straight(TPair from, TPair to) { return {false, from, from, to, to}; }

TEST(ObjectPath, StepsChainFromPointToPointAndDamagedListsKeepWhatIsWhole) {
  // Flags and skipped pairs make no step; a curve's controls come in order and the step after
  // it starts at its end.
  const Pairs wholePairs = {{0, 0},  kFlags, {10, 0},  kCurve, {10, 5},
                           {20, 5}, {20, 0}, kSkipped, {30, 0}};
  const ObjectPath whole = PathOf(wholePairs);
  EXPECT_FALSE(whole.BeginsWithMarker || whole.CurveWithoutStart || whole.CurveCutShort);
  EXPECT_FALSE(whole.FurtherPartAt);
  ASSERT_TRUE(whole.HasStart);
  EXPECT_EQ(whole.Start, (TPair{0, 0}));
  EXPECT_EQ(Steps(whole), (std::vector<PathStep>{
                              Straight({0, 0}, {10, 0}),
                              {true, {10, 0}, {10, 5}, {20, 5}, {20, 0}},
                              Straight({20, 0}, {30, 0})}));

  // A first point with a corner flag: the path starts at the point, not at the marker.
  const Pairs flaggedPairs = {kFlags, {40, 40}, {50, 40}};
  const ObjectPath flagged = PathOf(flaggedPairs);
  EXPECT_TRUE(flagged.BeginsWithMarker);
  EXPECT_EQ(flagged.Start, (TPair{40, 40}));
  EXPECT_EQ(Steps(flagged), (std::vector<PathStep>{Straight({40, 40}, {50, 40})}));

  // A curve whose end is the list's last pair is whole; one pair fewer cuts it short, and the
  // steps before it stay.
  const Pairs endsWithCurve = {{0, 0}, kCurve, {1, 1}, {2, 2}, {3, 3}};
  EXPECT_FALSE(PathOf(endsWithCurve).CurveCutShort);
  EXPECT_EQ(Steps(PathOf(endsWithCurve)).size(), 1u);
  const Pairs cutPairs = {{0, 0}, {4, 0}, kCurve, {1, 1}, {2, 2}};
  const ObjectPath cut = PathOf(cutPairs);
  EXPECT_TRUE(cut.CurveCutShort);
  EXPECT_EQ(Steps(cut), (std::vector<PathStep>{Straight({0, 0}, {4, 0})}));

  // A curve before any point starts at its own end; the next step starts there too.
  const Pairs headlessPairs = {kFlags, kCurve, {1, 1}, {2, 2}, {3, 3}, {9, 9}};
  const ObjectPath headless = PathOf(headlessPairs);
  EXPECT_TRUE(headless.CurveWithoutStart);
  EXPECT_EQ(headless.Start, (TPair{3, 3}));
  EXPECT_EQ(Steps(headless), (std::vector<PathStep>{{true, {3, 3}, {1, 1}, {2, 2}, {3, 3}},
                                                    Straight({3, 3}, {9, 9})}));
  // ... unless it is cut short as well: then there is nothing to walk.
  const Pairs nothingPairs = {kCurve, {1, 1}, {2, 2}};
  const ObjectPath nothing = PathOf(nothingPairs);
  EXPECT_TRUE(!nothing.HasStart && nothing.CurveCutShort && Steps(nothing).empty());

  // The first hole ends the path; where it begins is kept.
  const Pairs holedPairs = {{0, 0}, {5, 0}, {5, 5}, kNewPart, {1, 1}, {2, 2}};
  const ObjectPath holed = PathOf(holedPairs);
  EXPECT_EQ(holed.FurtherPartAt, 3u);
  EXPECT_EQ(Steps(holed), (std::vector<PathStep>{Straight({0, 0}, {5, 0}),
                                                 Straight({5, 0}, {5, 5})}));
  const Pairs holeFirst = {kNewPart, {1, 1}, {2, 2}}, markersOnly = {kFlags, kSkipped};
  EXPECT_FALSE(PathOf(holeFirst).HasStart);
  EXPECT_FALSE(PathOf(markersOnly).HasStart);
}

}  // namespace
}  // namespace terrak
