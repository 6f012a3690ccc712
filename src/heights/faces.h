#pragma once
// The areas of open ground between contours (faces), from which sides of which lines face each
// other. Sides that face each other lie in one face. Facings are taken strongest first (the
// share of a side's rays they hold), and one that would put both sides of a line into one face
// is refused: it can only come from rays that slipped past a line through a gap or around an end.
#include <cstdint>
#include <vector>

#include "heights/facing.h"

namespace terrak::heights {

struct Faces {
  std::vector<std::int32_t> OfSide;  // per side of each line: its face
  std::int32_t Count = 0;
  std::vector<bool> ReachesEdge;  // per face: some of its rays left the mapped area
};

struct FaceSettings {
  // A facing counts when it holds at least this share of the rays of one of its two sides, or
  // at least this many rays.
  double LeastShare = 0.05;
  std::int32_t LeastRays = 3;
};

Faces GroupFaces(std::size_t lineCount, const FacingRays& rays, const FaceSettings& settings);

}  // namespace terrak::heights
