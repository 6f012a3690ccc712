#include "viewer/projection.h"

#include <cmath>

namespace terrak {

void SetViewAngles(ViewerState& viewer) {
  TViewPoint& view = viewer.Current();
  view.centreX = viewer.RenderWidth / 2;
  view.centreY = viewer.RenderHeight / 2;
  viewer.FocalLength = std::max(viewer.RenderWidth, viewer.RenderHeight);
  viewer.BearingRadians = view.bearing <= 180 ? view.bearing / kDegreesPerRadian
                                              : -(360 - view.bearing) / kDegreesPerRadian;
  viewer.SinBearing = std::sin(viewer.BearingRadians);
  viewer.CosBearing = std::cos(viewer.BearingRadians);
  viewer.SinIncline = std::sin(-view.incline / kDegreesPerRadian);
  viewer.CosIncline = std::cos(-view.incline / kDegreesPerRadian);
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
