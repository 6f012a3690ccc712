// The contours' topology: which sides of which lines face each other along rays.
#include <gtest/gtest.h>

#include <algorithm>

#include "heights/topology.h"

namespace terrak::heights {
namespace {

// Two long contours 50 m apart and a shorter one halfway between them, open at x = 50: rays
// between the long ones that pass within 10 m (1 mm of paper) of its end are left out, whichever
// way it runs.
TEST(Topology, RaysPassingNearEitherOpenEndOfAContourAreNotCounted) {
  std::int32_t across[2] = {0, 0};
  for (const bool reversed : {false, true}) {
    std::vector<Point> middle = {{0, 25}, {50, 25}};
    if (reversed) std::reverse(middle.begin(), middle.end());
    HeightMap map;  // 10 m a millimetre of paper
    for (const std::vector<Point>& points :
         {std::vector<Point>{{0, 0}, {100, 0}}, middle, std::vector<Point>{{0, 50}, {100, 50}}})
      map.Objects.push_back({.Symbol = 101, .Role = ContourRole::Contour, .Points = points});
    for (const FacingLink& link : AnalyseTopology(map).Rays.Links)
      if (link.Shortest > 40) across[reversed] += link.Rays;
  }
  EXPECT_GT(across[0], 0);
  EXPECT_EQ(across[0], across[1]);
}

}  // namespace
}  // namespace terrak::heights
