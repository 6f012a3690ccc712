// An object's points as the path the grid, the drawings and the heights walk: a start, then
// straight and curve steps, and what a damaged list leaves of it. The lists are written as
// OCAD 5 keeps them, with marker pairs, and turned into points as the OCAD 5 reader does.
#include <gtest/gtest.h>

#include <vector>

#include "mapfile/object_path.h"
#include "mapfile/ocad_points.h"

namespace terrak {
namespace {

constexpr TPair kCurve{kMarkCurve, kMarkCurve};
constexpr TPair kCornerMark{kMarkLineFlags, kMarkLineFlags};
constexpr TPair kSkipped{kMarkSkipped, 0};
constexpr TPair kNewPart{kMarkNewPart, kMarkNewPart};

using Pairs = std::vector<TPair>;

// A marked list's points and their path (which refers to the points: not to be copied).
struct Walked {
  explicit Walked(const Pairs& pairs) : Points(PointsOfMarkedList(pairs)), Path(PathOf(Points)) {}
  Walked(const Walked&) = delete;
  std::vector<ModelPoint> Points;
  ObjectPath Path;
};

std::vector<PathStep> Steps(const ObjectPath& path) {
  std::vector<PathStep> steps;
  for (const PathStep& step : path.Steps) steps.push_back(step);
  return steps;
}

PathStep Straight(TPair from, TPair to) { return {false, from, from, to, to}; }

TEST(ObjectPath, StepsChainFromPointToPointAndDamagedListsKeepWhatIsWhole) {
  // Flags and skipped pairs make no step; a curve's controls come in order and the step after
  // it starts at its end.
  const Walked whole({{0, 0}, kCornerMark, {10, 0}, kCurve, {10, 5}, {20, 5}, {20, 0}, kSkipped,
                      {30, 0}});
  EXPECT_FALSE(whole.Path.CurveWithoutStart || whole.Path.CurveCutShort);
  EXPECT_FALSE(whole.Path.FurtherPartAt);
  ASSERT_TRUE(whole.Path.HasStart);
  EXPECT_EQ(whole.Path.Start, (TPair{0, 0}));
  EXPECT_EQ(Steps(whole.Path), (std::vector<PathStep>{
                                   Straight({0, 0}, {10, 0}),
                                   {true, {10, 0}, {10, 5}, {20, 5}, {20, 0}},
                                   Straight({20, 0}, {30, 0})}));

  // A first point with a corner flag: the path starts at the point, not at the marker.
  const Walked flagged({kCornerMark, {40, 40}, {50, 40}});
  EXPECT_EQ(flagged.Path.Start, (TPair{40, 40}));
  EXPECT_EQ(Steps(flagged.Path), (std::vector<PathStep>{Straight({40, 40}, {50, 40})}));

  // A curve whose end is the list's last pair is whole; one pair fewer cuts it short, and the
  // steps before it stay.
  const Walked endsWithCurve({{0, 0}, kCurve, {1, 1}, {2, 2}, {3, 3}});
  EXPECT_FALSE(endsWithCurve.Path.CurveCutShort);
  EXPECT_EQ(Steps(endsWithCurve.Path).size(), 1u);
  const Walked cut({{0, 0}, {4, 0}, kCurve, {1, 1}, {2, 2}});
  EXPECT_TRUE(cut.Path.CurveCutShort);
  EXPECT_EQ(Steps(cut.Path), (std::vector<PathStep>{Straight({0, 0}, {4, 0})}));

  // A curve before any point starts at its own end; the next step starts there too.
  const Walked headless({kCornerMark, kCurve, {1, 1}, {2, 2}, {3, 3}, {9, 9}});
  EXPECT_TRUE(headless.Path.CurveWithoutStart);
  EXPECT_EQ(headless.Path.Start, (TPair{3, 3}));
  EXPECT_EQ(Steps(headless.Path), (std::vector<PathStep>{{true, {3, 3}, {1, 1}, {2, 2}, {3, 3}},
                                                         Straight({3, 3}, {9, 9})}));
  // ... unless it is cut short as well: then there is nothing to walk.
  const Walked nothing({kCurve, {1, 1}, {2, 2}});
  EXPECT_TRUE(!nothing.Path.HasStart && nothing.Path.CurveCutShort && Steps(nothing.Path).empty());

  // A curve marker takes the three pairs after it as its points, whatever they hold.
  const Walked markerInCurve({{0, 0}, kCurve, {1, 1}, kSkipped, {3, 3}, {4, 4}});
  EXPECT_EQ(Steps(markerInCurve.Path),
            (std::vector<PathStep>{{true, {0, 0}, {1, 1}, kSkipped, {3, 3}},
                                   Straight({3, 3}, {4, 4})}));

  // The first hole ends the path; where it begins is kept.
  const Walked holed({{0, 0}, {5, 0}, {5, 5}, kNewPart, {1, 1}, {2, 2}});
  EXPECT_EQ(holed.Path.FurtherPartAt, 3u);
  EXPECT_EQ(Steps(holed.Path), (std::vector<PathStep>{Straight({0, 0}, {5, 0}),
                                                      Straight({5, 0}, {5, 5})}));
  EXPECT_FALSE(Walked({kNewPart, {1, 1}, {2, 2}}).Path.HasStart);
  EXPECT_FALSE(Walked({kCornerMark, kSkipped}).Path.HasStart);
  EXPECT_FALSE(Walked({kNewPart, kCurve, {1, 1}, {2, 2}, {3, 3}}).Path.HasStart);
}

TEST(OcadPoints, MarkersBecomeEachPointsOwnFlags) {
  using namespace point_flag;
  // Version 5: a line-flag marker's code switches side lines off and on until switched again;
  // a corner, a new part and a curve's roles go to the points they stand before.
  const std::vector<ModelPoint> marked = PointsOfMarkedList(std::vector<TPair>{
      {kMarkLineFlags, 1}, {0, 0}, {1, 0},   // left off
      {kMarkLineFlags, 3}, {2, 0},           // right off as well
      {kMarkLineFlags, 2}, {20, 0},          // left on again
      {kMarkLineFlags, 5}, {21, 0},          // both off
      {kMarkLineFlags, 7}, {3, 0},           // left on, right stays off
      {kMarkLineFlags, 6}, {4, 0},           // left off, right on
      {kMarkLineFlags, 8}, kCornerMark, {5, 0},  // both on; a corner
      kCurve, {6, 1}, {7, 1}, {8, 0}, kNewPart, {9, 9},
      {kMarkCurve, 1}, {10, 1}, {11, 1}, {12, 0}});  // the curve's start loses its left line
  const std::vector<std::uint32_t> want = {kNoLeftLine,    kNoLeftLine,     kNoLeftLine | kNoRightLine,
                                           kNoRightLine,   kNoLeftLine | kNoRightLine,
                                           kNoRightLine,   kNoLeftLine,     kCorner,
                                           kFirstControl,  kSecondControl,  0,
                                           kHoleStart | kNoLeftLine,
                                           kFirstControl | kNoLeftLine,
                                           kSecondControl | kNoLeftLine,
                                           kNoLeftLine};
  ASSERT_EQ(marked.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) EXPECT_EQ(marked[i].Flags, want[i]) << i;
  EXPECT_EQ(marked[8].At(), (TPair{6, 1}));
  // Flag bytes and a line's first point: ConvertObject6.HeaderFieldsAndPointsWithTheirFlagBytes;
  // a lone point loses its control flag too.
  std::vector<ModelPoint> lone = {{0, 0, kFirstControl}};
  StartAtAPoint(lone);
  EXPECT_EQ(lone[0].Flags, 0u);
}

}  // namespace
}  // namespace terrak
