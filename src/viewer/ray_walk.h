#pragma once
// The path of one ray across the height grid: from the eye along a bearing, from one crossing
// with a grid line (x or y a whole number of cells) to the next, until it leaves the grid.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "viewer/projection.h"

namespace terrak {

struct RayCrossing {
  double Px = 0;        // grid coordinates of the crossing (cells from the grid's origin)
  double Py = 0;
  double Distance = 0;  // metres from the eye along the ray
  bool OnXLine = false;  // the crossed line is x = Px (else y = Py)
};

// Walks the ray from grid position (u, v) at rayAngle degrees (clockwise from north, any
// value). The x direction is +1 below 180 degrees, the y direction +1 below 90 or above 270; the first x line
// is trunc(u) + 1 going up and trunc(u) going down, likewise in y. The ray leaves the grid when
// a line index passes the last index (lastX, lastY) in its direction of travel, or 0 going
// down. Lines outside 0..last are passed over without a visit, as no crossing on them can lie
// on the grid. Calls crossing(RayCrossing) in order of distance; it returns false to stop.
template <typename CrossingFn>
void WalkRay(double u, double v, double rayAngle, std::int64_t lastX, std::int64_t lastY,
             CrossingFn&& crossing) {
  if (!std::isfinite(u) || !std::isfinite(v) || !std::isfinite(rayAngle)) return;
  if (lastX < 0 || lastY < 0) return;
  const double a = rayAngle / kDegreesPerRadian;
  const double s = std::fabs(std::sin(a));
  const double c = std::fabs(std::cos(a));
  // The picture's left rays start below 0 degrees when the bearing is small: their way is
  // chosen from the same bearing brought into 0..360, else they would run mirrored.
  const double heading = std::fmod(std::fmod(rayAngle, 360.0) + 360.0, 360.0);
  const int dirX = heading < 180 ? 1 : -1;
  const int dirY = heading < 90 || heading > 270 ? 1 : -1;
  const auto firstLine = [](double p, int dir, std::int64_t last) {
    const double line = dir > 0 ? std::trunc(p) + 1 : std::trunc(p);
    // Indices far outside the grid are all alike: held to one step beyond either end.
    const double held = std::clamp(line, -1.0, static_cast<double>(last) + 1);
    auto index = static_cast<std::int64_t>(held);
    // Lines before the grid in the direction of travel are never on it.
    if (dir > 0 && index < 0) index = 0;
    if (dir < 0 && index > last) index = last;
    return index;
  };
  std::int64_t nextX = firstLine(u, dirX, lastX);
  std::int64_t nextY = firstLine(v, dirY, lastY);
  const auto left = [&] {
    return (dirX > 0 ? nextX > lastX : nextX < 0) || (dirY > 0 ? nextY > lastY : nextY < 0);
  };
  constexpr double kNever = std::numeric_limits<double>::infinity();
  while (!left()) {
    const double tx = s > 0 ? (static_cast<double>(nextX) - u) * dirX / s : kNever;
    const double ty = c > 0 ? (static_cast<double>(nextY) - v) * dirY / c : kNever;
    RayCrossing hit;
    if (tx <= ty) {
      hit = {static_cast<double>(nextX), v + dirY * c * tx, tx, true};
      nextX += dirX;
    } else {
      hit = {u + dirX * s * ty, static_cast<double>(nextY), ty, false};
      nextY += dirY;
    }
    if (!crossing(hit)) return;
  }
}

}  // namespace terrak
