#include "mapfile/georeferencing.h"

#include <cctype>
#include <cmath>
#include <numbers>
#include <string_view>

namespace terrak {

bool IsPlausiblePlacement(double easting, double northing, double angleDegrees,
                          double scaleFactor) {
  return std::isfinite(easting) && std::isfinite(northing) && std::isfinite(angleDegrees) &&
         std::isfinite(scaleFactor) && std::fabs(easting) <= kMaxPlausibleOffset &&
         std::fabs(northing) <= kMaxPlausibleOffset &&
         std::fabs(angleDegrees) <= kMaxPlausibleAngle &&
         scaleFactor >= kMinPlausibleScaleFactor && scaleFactor <= kMaxPlausibleScaleFactor;
}

namespace {

// A PROJ string of latitude and longitude, or WKT whose outermost CRS is geographic.
bool IsGeographicDefinition(std::string_view text) {
  std::string lower;
  for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::size_t start = lower.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return false;
  const std::string_view head = std::string_view(lower).substr(start);
  if (head.starts_with("geogcs[") || head.starts_with("geogcrs[") ||
      head.starts_with("geographiccrs["))
    return true;
  return lower.find("+proj=longlat") != std::string::npos ||
         lower.find("+proj=latlong") != std::string::npos ||
         lower.find("+proj=lonlat") != std::string::npos ||
         lower.find("+proj=latlon") != std::string::npos;
}

}  // namespace

void DropGeographicCrs(Georeferencing& georef) {
  if (!IsGeographicEpsgCode(georef.EpsgCode) && !IsGeographicDefinition(georef.CrsDefinition))
    return;
  georef.EpsgCode = 0;
  georef.CrsDefinition.clear();
  georef.CrsName.clear();
}

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
