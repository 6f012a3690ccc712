#include "export/ground_frame.h"

#include <cmath>
#include <numbers>

#include "export/export_error.h"

namespace terrak {

GroundFrame GroundFrameOf(const Georeferencing& g) {
  if (!g.Known) return {};
  const double det = g.A * g.D - g.B * g.C;
  if (!std::isfinite(det) || det == 0.0) throw ExportError(kBadGeoreferencingMessage);
  // The transform is the scale factor times a turn: its determinant is the factor squared, and
  // the image of the map's east (A, C) gives the turn.
  return {std::sqrt(std::fabs(det)), std::atan2(g.C, g.A) * 180.0 / std::numbers::pi};
}

}  // namespace terrak
