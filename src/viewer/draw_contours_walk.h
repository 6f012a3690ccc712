#pragma once
// The walk along an object's coordinate pairs (included by draw_contours.h).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "mapfile/map_model.h"

namespace terrak {

template <typename PointFn>
void WalkObjectLine(const TObjectCoords& coords, double unitsPerMetre, std::int16_t curveSteps,
                    PointFn&& point) {
  const std::vector<TPair>& pairs = coords.Points;
  if (pairs.empty()) return;
  const auto flatten = [&](TPair p0, TPair p1, TPair p2, TPair p3) {
    for (int s = 1; s <= curveSteps; ++s) {
      const double t = static_cast<double>(s) / curveSteps;
      const double u = 1 - t;
      const double b0 = u * u * u, b1 = 3 * t * u * u, b2 = 3 * t * t * u, b3 = t * t * t;
      const double x = b0 * p0.X + b1 * p1.X + b2 * p2.X + b3 * p3.X;
      const double y = b0 * p0.Y + b1 * p1.Y + b2 * p2.Y + b3 * p3.Y;
      point(x / unitsPerMetre, y / unitsPerMetre);
    }
  };
  TPair previous = pairs[0];
  point(previous.X / unitsPerMetre, previous.Y / unitsPerMetre);
  for (std::size_t k = 1; k < pairs.size();) {
    const TPair pair = pairs[k];
    if (pair.X == kMarkCurve) {
      if (k + 3 >= pairs.size()) return;  // a curve cut short by the end of the list
      flatten(previous, pairs[k + 1], pairs[k + 2], pairs[k + 3]);
      previous = pairs[k + 3];
      k += 4;
    } else if (pair.X == kMarkNewPart) {
      return;
    } else if (IsMarker(pair.X)) {
      ++k;
    } else {
      flatten(previous, previous, pair, pair);
      previous = pair;
      ++k;
    }
  }
}

}  // namespace terrak
