#pragma once
// A line moved sideways, as the borders of a road or a double line run beside its centre line.
#include <vector>

#include "mapdraw/geometry.h"

namespace terrak::mapdraw {

// The points of line moved by distance to its left (right when negative), corners mitered;
// corners sharper than a right angle and a half get two points instead of a long spike.
std::vector<Vec2> OffsetLine(const std::vector<Vec2>& line, bool closed, double distance);

}  // namespace terrak::mapdraw
