#pragma once
// Heights from the known contours: every contour, index contour and form line whose height
// follows from the ones the map already gives, the map's topology and the rules of contour maps.
// docs/heights.md describes the method.
#include <cstdint>
#include <optional>

#include "heights/contour_roles.h"
#include "heights/height_result.h"
#include "heights/topology.h"

namespace terrak::heights {

// The proposal for every object of map; nothing is changed.
HeightsResult DeriveHeights(const HeightMap& map, const ContourRoles& roles,
                            const TopologySettings& settings = {});
// The same on a topology already analysed for map.
HeightsResult DeriveHeights(const HeightMap& map, const ContourRoles& roles,
                            const Topology& topology);

// The level (in intervals) a contour's height stands for, when it lies on one; for form lines
// the level below it. Nothing when the height is off the levels (by more than a centimetre).
std::optional<std::int32_t> LevelOf(double metres, double interval, bool formLine);

}  // namespace terrak::heights
