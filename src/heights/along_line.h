#pragma once
// Heights along a line: the user drags from a contour that has a height across others. Each
// contour or index contour crossed gets the next level up (down when asked), a form line crossed
// the half level between; every object of the crossed object's traced line gets the height too.
// An index contour crossed off the index levels (or a contour on one) stops the line there, and
// so does a line crossed a second time.
#include <cstdint>
#include <string>
#include <vector>

#include "heights/contour_roles.h"
#include "heights/height_result.h"

namespace terrak::heights {

struct AlongLineResult {
  HeightChanges Changes;              // what the drag gives, an undo step of its own
  std::vector<std::int32_t> Crossed;  // the objects crossed, in order, that got a height
  std::string Message;                // why it stopped or did not start; empty when it did all
};

// The drag from `from` to `to` in ground metres; it must start within pickRadius metres of a
// contour, index contour or form line that has a height.
AlongLineResult HeightsAlongLine(const HeightMap& map, const ContourRoles& roles, Point from,
                                 Point to, bool down, double pickRadius);

}  // namespace terrak::heights
