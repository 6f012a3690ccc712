#pragma once
// Projection of world points (metres: x east, y north, z up) onto the picture plane of the
// current viewpoint.
#include <algorithm>
#include <cstdint>

#include "common/rounding.h"
#include "viewer/viewer_state.h"

namespace terrak {

// Degrees to radians and back, throughout the viewer and the overview.
inline constexpr double kDegreesPerRadian = 57.295;

struct ScreenPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::int32_t Depth = 0;  // centimetres ahead of the eye along the view axis
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// What the projection needs, copied out of the viewer state once per picture.
struct ViewTransform {
  double EyeX = 0, EyeY = 0, EyeZ = 0;
  double SinBearing = 0, CosBearing = 1;
  double SinIncline = 0, CosIncline = 1;
  std::int32_t CentreX = 0, CentreY = 0;
  std::int32_t FocalLength = 0;
  std::int32_t RenderWidth = 0, RenderHeight = 0;
};

// Paint steps that fix the view: the picture's centre in the current viewpoint, the focal
// length (the larger side), the bearing in radians between about -pi and pi, and the sines and
// cosines of bearing and tilt.
void SetViewAngles(ViewerState& viewer);

// The bearing in radians and the sines and cosines of bearing and tilt of a viewpoint, as the
// paint computes them; the compass and the inclinometer draw from these at every paint of their
// own, so they never show a direction older than the viewpoint.
struct ViewAngles {
  double BearingRadians = 0;
  double SinBearing = 0, CosBearing = 1;
  double SinIncline = 0, CosIncline = 1;
};
ViewAngles ViewAnglesOf(const TViewPoint& view);
ViewTransform MakeViewTransform(const ViewerState& viewer);

// Projects (x, y, z); returns whether the point is visible: inside the picture without its
// row 0 and column 0, and ahead of the eye. The screen point is meaningful only when visible.
inline bool ProjectPoint(const ViewTransform& view, double x, double y, double z,
                         ScreenPoint& out) {
  const double dx = x - view.EyeX;
  const double dy = y - view.EyeY;
  const double dz = z - view.EyeZ;
  const double u = dx * view.CosBearing - dy * view.SinBearing;
  const double f = dy * view.CosBearing + dx * view.SinBearing;
  const double d = f * view.CosIncline - dz * view.SinIncline;
  const double w = dz * view.CosIncline + f * view.SinIncline;
  if (!(d > 0)) return false;
  // Points far off the picture are held to a range where the integer sums cannot overflow;
  // they stay invisible all the same.
  constexpr double kFar = 1e9;
  const double sy = std::clamp(-(w / d) * view.FocalLength, -kFar, kFar);
  const double sx = std::clamp((u / d) * view.FocalLength, -kFar, kFar);
  const std::int64_t screenY = RoundToInt(sy) + view.CentreY;
  const std::int64_t screenX = RoundToInt(sx) + view.CentreX;
  if (screenX < 1 || screenX > view.RenderWidth - 1 || screenY < 1 ||
      screenY > view.RenderHeight - 1)
    return false;
  out.X = static_cast<std::int32_t>(screenX);
  out.Y = static_cast<std::int32_t>(screenY);
  out.Depth = static_cast<std::int32_t>(std::min<std::int64_t>(RoundToInt(d * 100), INT32_MAX));
  return true;
}

}  // namespace terrak
