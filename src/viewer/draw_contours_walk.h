#pragma once
// The walk along an object's path (included by draw_contours.h).
#include <cstdint>

#include "mapfile/map_model.h"
#include "mapfile/object_path.h"

namespace terrak {

template <typename PointFn>
void WalkObjectLine(const TObjectCoords& coords, double unitsPerMetre, std::int16_t curveSteps,
                    PointFn&& point) {
  const ObjectPath path = PathOf(coords);
  if (!path.HasStart) return;
  // A curve with no point before it starts at its own end, which its last step reaches.
  if (!path.CurveWithoutStart) point(path.Start.X / unitsPerMetre, path.Start.Y / unitsPerMetre);
  for (const PathStep& step : path.Steps) {
    for (int s = 1; s <= curveSteps; ++s) {
      const double t = static_cast<double>(s) / curveSteps;
      const double u = 1 - t;
      const double b0 = u * u * u, b1 = 3 * t * u * u, b2 = 3 * t * t * u, b3 = t * t * t;
      const double x = b0 * step.From.X + b1 * step.Control1.X + b2 * step.Control2.X +
                       b3 * step.End.X;
      const double y = b0 * step.From.Y + b1 * step.Control1.Y + b2 * step.Control2.Y +
                       b3 * step.End.Y;
      point(x / unitsPerMetre, y / unitsPerMetre);
    }
  }
}

}  // namespace terrak
