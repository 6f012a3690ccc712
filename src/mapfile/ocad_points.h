#pragma once
// OCAD's two ways of keeping a line's point flags, turned into the model's points. Version 5
// keeps them in-band: marker pairs between the points. Versions 6 and later keep two flag bytes
// with each point, one in x and one in y.
#include <cstdint>
#include <span>
#include <vector>

#include "mapfile/map_model.h"

namespace terrak {

// x values of version 5's marker pairs, read as signed 16-bit numbers.
inline constexpr std::int16_t kMarkNewPart = -32768;    // a further part (hole) follows
inline constexpr std::int16_t kMarkLineFlags = -32767;  // y: the line flags change / a corner
inline constexpr std::int16_t kMarkCurve = -32766;      // two control points and an end follow
inline constexpr std::int16_t kMarkSkipped = -32765;    // passed over
inline constexpr std::int16_t kHighestMarker = -32765;

constexpr bool IsMarker(std::int32_t x) { return x >= kMarkNewPart && x <= kHighestMarker; }

// A point of version 6 or later with its x and y flag bytes.
constexpr ModelPoint PointWithOcadFlags(TPair at, std::uint8_t xFlags, std::uint8_t yFlags) {
  return {at.X, at.Y, std::uint32_t{xFlags} | std::uint32_t{yFlags} << 8};
}

// A line's first point is never a control point: OCAD's first point starts the line whatever its
// flags say, so control flags there are dropped.
void StartAtAPoint(std::vector<ModelPoint>& line);

// The points of a version 5 list. A curve marker takes the three pairs after it as they stand;
// a line-flag marker's change goes to the point after it; skipped markers and a new-part marker
// that ends the list leave nothing.
std::vector<ModelPoint> PointsOfMarkedList(std::span<const TPair> pairs);

}  // namespace terrak
