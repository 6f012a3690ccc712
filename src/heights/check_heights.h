#pragma once
// Check Heights: every contradiction among the heights a map has, each with its reason and
// where it lies, so a list can step through them and centre the map on each.
#include <cstdint>
#include <string>
#include <vector>

#include "heights/contour_roles.h"
#include "heights/topology.h"

namespace terrak::heights {

enum class FindingKind : std::uint8_t {
  TooFarApart,         // neighbours across open ground more than one interval apart
  EqualMustRise,       // neighbours equal where the ground must rise between them
  SlopeContradiction,  // neighbours one interval apart the wrong way round
  IndexOffLevel,       // an index contour off the index levels
  ContourOnIndexLevel, // a contour that is no index contour on an index level
  OffLevel,            // a height that is on no level of the interval
  FormLineNotBetween,  // a form line not half an interval from its neighbours
  ChainHeights,        // objects of one traced line with different heights
  NoHeight,            // a contour object without a height
};

struct Finding {
  FindingKind Kind = FindingKind::NoHeight;
  std::vector<std::int32_t> Objects;  // the objects concerned, the first the one to show
  Point Where;                        // ground metres: where to centre the map
  std::string Reason;
};

// The findings in the order of the kinds above, each kind from the top of the map down.
std::vector<Finding> CheckHeights(const HeightMap& map, const ContourRoles& roles,
                                  const Topology& topology);
std::vector<Finding> CheckHeights(const HeightMap& map, const ContourRoles& roles);

}  // namespace terrak::heights
