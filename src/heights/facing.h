#pragma once
// Which lines face each other across open ground. From points spread along each line, a ray goes
// straight out to its left and to its right; the first other line it meets faces this side of
// the line across open ground, with the side of that line the ray arrives at. Rays that pass the
// open end of a third line are not counted (they may have slipped through a gap in it); rays
// that meet nothing leave the mapped area.
#include <cstdint>
#include <vector>

#include "heights/segment_index.h"

namespace terrak::heights {

// A side of line k: 2k its left, 2k + 1 its right (looking along the line).
constexpr std::int32_t SideOf(std::int32_t line, bool left) { return 2 * line + (left ? 0 : 1); }
constexpr std::int32_t LineOfSide(std::int32_t side) { return side / 2; }
constexpr std::int32_t OtherSide(std::int32_t side) { return side ^ 1; }
constexpr bool IsLeftSide(std::int32_t side) { return (side & 1) == 0; }

struct FacingLink {
  std::int32_t From = 0;  // the side the rays left
  std::int32_t To = 0;    // the side of the line they met
  std::int32_t Rays = 0;
  Point Where;  // the middle of the shortest of these rays
  double Shortest = 0.0;  // that ray's length: how far apart the two lines come
};

struct FacingRays {
  std::vector<FacingLink> Links;     // sorted by From, then To
  std::vector<std::int32_t> Counted;  // per side: rays that met a line or left the area
  std::vector<std::int32_t> Escaped;  // per side: rays that left the area
};

struct RaySettings {
  double Spacing = 4.0;      // metres between the rays along a line
  std::int32_t Least = 3;    // rays per side of even the shortest line
  double Start = 0.01;       // metres from the line where a ray starts looking
};

// Rays from each of lines (side numbers by their place in lines) towards the segments of
// obstacles (whose owners are side numbers' lines too when sameLines, so a line's own segments
// are where its rays may meet itself).
FacingRays CastFacingRays(const std::vector<std::vector<Point>>& lines,
                          const SegmentIndex& obstacles, bool sameLines,
                          const RaySettings& settings);

}  // namespace terrak::heights
