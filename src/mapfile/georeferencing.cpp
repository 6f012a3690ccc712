#include "mapfile/georeferencing.h"

#include <cmath>
#include <numbers>

namespace terrak {

Georeferencing GeoreferencingFromOffsetAngle(double easting, double northing, double angleDegrees,
                                             double scaleFactor) {
  Georeferencing g;
  g.Known = true;
  g.OriginEasting = easting;
  g.OriginNorthing = northing;
  g.AngleDegrees = angleDegrees;
  g.ScaleFactor = scaleFactor;
  const double radians = angleDegrees * std::numbers::pi / 180.0;
  const double c = std::cos(radians) * scaleFactor;
  const double s = std::sin(radians) * scaleFactor;
  g.A = c;
  g.B = -s;
  g.C = s;
  g.D = c;
  return g;
}

}  // namespace terrak
