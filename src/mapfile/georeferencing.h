#pragma once
// Where a map lies on Earth. Ground coordinates are metres on the ground in the map's own frame:
// the paper coordinates times the map scale, x towards the map's right (east on the paper), y
// towards its top (north on the paper), origin at the paper origin. A grid cell's position in
// metres (GridMinX + column, GridMinY + row) is such a ground coordinate.
//
// The map's formats state their placement as an offset, an angle and a scale factor; every reader
// turns them into the one affine transform below, so writers of georeferenced output never need
// to know which format the map came from.
#include <string>

namespace terrak {

struct Georeferencing {
  // False: the map carries no real-world position; ToProjected is then the identity.
  bool Known = false;

  // Projected = Origin + [A B; C D] * ground, in the units of the CRS (metres for projected ones).
  double OriginEasting = 0.0;
  double OriginNorthing = 0.0;
  double A = 1.0, B = 0.0, C = 0.0, D = 1.0;

  // As the map states them, for display: the rotation of the map's paper against grid north
  // (degrees, counter-clockwise positive) and the grid scale factor.
  double AngleDegrees = 0.0;
  double ScaleFactor = 1.0;

  int EpsgCode = 0;           // 0 when the map names no EPSG code
  std::string CrsDefinition;  // PROJ or WKT text the map gives, empty when none
  std::string CrsName;        // a short name for display ("UTM 31N", "EPSG:3006"), may be empty

  struct Point {
    double Easting = 0.0;
    double Northing = 0.0;
  };
  Point ToProjected(double groundX, double groundY) const {
    return {OriginEasting + A * groundX + B * groundY, OriginNorthing + C * groundX + D * groundY};
  }
};

// Limits of a placement that can be real: projected coordinates (metres) within 10^8 of the
// CRS's origin, a turn of at most a full circle either way, a grid scale factor that real
// projections give (UTM's lies between 0.9996 and 1.001; Mapper's combined factor folds in the
// map's own scale correction as well).
inline constexpr double kMaxPlausibleOffset = 1e8;
inline constexpr double kMaxPlausibleAngle = 360.0;
inline constexpr double kMinPlausibleScaleFactor = 0.5;
inline constexpr double kMaxPlausibleScaleFactor = 2.0;

// True when every value is finite and within the limits above. A format's placement that is
// not plausible means the map is not georeferenced: its fields hold garbage, not a place.
bool IsPlausiblePlacement(double easting, double northing, double angleDegrees,
                          double scaleFactor = 1.0);

// EPSG codes of geographic CRSs (degrees of latitude and longitude).
bool IsGeographicEpsgCode(int code);

// Removes the CRS when it is geographic (by its EPSG code or its PROJ or WKT text): the
// transform here turns metres on the ground into CRS units, which degrees are not, so such a
// CRS would put the map somewhere else. The placement itself is kept.
void DropGeographicCrs(Georeferencing& georef);

// The transform for a map whose paper origin lies at (easting, northing), whose paper is turned
// counter-clockwise by angleDegrees against grid north, with the grid scale factor given:
// projected = origin + scaleFactor * R(angle) * ground, R the counter-clockwise rotation.
Georeferencing GeoreferencingFromOffsetAngle(double easting, double northing, double angleDegrees,
                                             double scaleFactor = 1.0);

}  // namespace terrak
