#include "viewer/viewpoint_placement.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/rounding.h"
#include "viewer/projection.h"

namespace terrak {

namespace {

double R(double value) { return RoundHalfEven(value); }

// atan(value) in degrees; an undefined quotient (0 / 0) gives 0.
double AtanDegrees(double value) {
  if (std::isnan(value)) return 0;
  return std::atan(value) * kDegreesPerRadian;
}

}  // namespace

void PlaceViewpoints(const MapModel& model, ViewpointBlock& views) {
  double minX = 32767, minY = 32767, maxX = -32768, maxY = -32768;
  // The range of every object's height (0 for one without, as always); heights are 32-bit, so
  // the range starts empty. A map without objects keeps the start values it always had.
  double minH = 32767, maxH = 0;
  if (!model.MapObjects.empty()) {
    minH = std::numeric_limits<double>::infinity();
    maxH = -minH;
  }
  for (const TMapObject& object : model.MapObjects) {
    minX = std::min<double>(minX, object.MinX);
    minY = std::min<double>(minY, object.MinY);
    maxX = std::max<double>(maxX, object.MaxX);
    maxY = std::max<double>(maxY, object.MaxY);
    minH = std::min<double>(minH, object.Height);
    maxH = std::max<double>(maxH, object.Height);
  }
  const double unitsPerMetre = model.MapScale > 0 ? 56693.0 / model.MapScale
                                                  : std::numeric_limits<double>::infinity();
  const double xmax = R(maxX / unitsPerMetre), ymax = R(maxY / unitsPerMetre);
  const double xmin = R(minX / unitsPerMetre), ymin = R(minY / unitsPerMetre);
  const double hmax = R(maxH / 10), hmin = R(minH / 10);
  const double hx = R((xmax - xmin) / 2), hy = R((ymax - ymin) / 2), hh = R((hmax - hmin) / 2);

  const double cx = xmax - hx, cy = ymax - hy;
  const double yN = R(ymax + hy / 2), yS = R(ymin - hy / 2);
  const double xE = R(xmax + hx / 2), xW = R(xmin - hx / 2);
  const double z0 = hmax + hh;
  const double diag = AtanDegrees(std::fabs((xE - cx) / (yN - cy)));
  const double incD = -AtanDegrees(hmax / std::sqrt((xE - cx) * (xE - cx) + (yN - cy) * (yN - cy)));
  const double incNS = -AtanDegrees(hmax / (yN - cy));
  const double incEW = -AtanDegrees(hmax / (xE - cx));

  const auto preset = [&](double x, double y, double bearing, double incline) {
    return TViewPoint{x, y, z0, bearing, incline, 0, 0, 0};
  };
  views[kNorthView] = preset(cx, yN, 180, incNS);
  views[kSouthView] = preset(cx, yS, 0, incNS);
  views[kWestView] = preset(xW, cy, 90, incEW);
  views[kEastView] = preset(xE, cy, 270, incEW);
  views[kNorthEastView] = preset(xE, yN, 180 + diag, incD);
  views[kNorthWestView] = preset(xW, yN, 180 - diag, incD);
  views[kSouthEastView] = preset(xE, yS, 360 - diag, incD);
  views[kSouthWestView] = preset(xW, yS, diag, incD);
  views[kCurrentView] = views[kNorthView];
}

}  // namespace terrak
