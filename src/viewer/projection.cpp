#include "viewer/projection.h"

#include <cmath>

namespace terrak {

ViewAngles ViewAnglesOf(const TViewPoint& view) {
  ViewAngles a;
  a.BearingRadians = view.bearing <= 180 ? view.bearing / kDegreesPerRadian
                                         : -(360 - view.bearing) / kDegreesPerRadian;
  a.SinBearing = std::sin(a.BearingRadians);
  a.CosBearing = std::cos(a.BearingRadians);
  a.SinIncline = std::sin(-view.incline / kDegreesPerRadian);
  a.CosIncline = std::cos(-view.incline / kDegreesPerRadian);
  return a;
}

void SetViewAngles(ViewerState& viewer) {
  TViewPoint& view = viewer.Current();
  view.centreX = viewer.RenderWidth / 2;
  view.centreY = viewer.RenderHeight / 2;
  viewer.FocalLength = std::max(viewer.RenderWidth, viewer.RenderHeight);
  const ViewAngles a = ViewAnglesOf(view);
  viewer.BearingRadians = a.BearingRadians;
  viewer.SinBearing = a.SinBearing;
  viewer.CosBearing = a.CosBearing;
  viewer.SinIncline = a.SinIncline;
  viewer.CosIncline = a.CosIncline;
}

ViewTransform MakeViewTransform(const ViewerState& viewer) {
  const TViewPoint& view = viewer.Current();
  ViewTransform t;
  t.EyeX = view.x;
  t.EyeY = view.y;
  t.EyeZ = view.z;
  t.SinBearing = viewer.SinBearing;
  t.CosBearing = viewer.CosBearing;
  t.SinIncline = viewer.SinIncline;
  t.CosIncline = viewer.CosIncline;
  t.CentreX = view.centreX;
  t.CentreY = view.centreY;
  t.FocalLength = viewer.FocalLength;
  t.RenderWidth = viewer.RenderWidth;
  t.RenderHeight = viewer.RenderHeight;
  return t;
}

}  // namespace terrak
