#include "mainwindow/view_transform.h"

#include <algorithm>

#include "common/wrap16.h"

namespace terrak {

std::int16_t UnitsPerPixelForZoom(std::int32_t zoomIndex) {
  if (zoomIndex < 0 || zoomIndex > 5) return 64;
  return static_cast<std::int16_t>(1 << zoomIndex);
}

namespace {

// Clamps the centre below first, then above. When the range is empty (a map area wider than
// the whole coordinate space at this zoom) its ends lie outside it; the centre then takes 0,
// the middle of the range, which the two limits always straddle.
std::int32_t ClampCentre(const MapModel& model, std::int32_t centre, std::int32_t low,
                         std::int32_t high) {
  if (low > high) return 0;
  std::int64_t c = centre;
  if (c < low) c = low;
  if (c > high) c = high;
  return WrapCentre(model, c);
}

}  // namespace

std::int32_t WrapCentre(const MapModel& model, std::int64_t centre) {
  if (model.Capabilities().Wraps16) return Wrap16(centre);
  const std::int64_t reach = model.CoordinateReach();
  return static_cast<std::int32_t>(std::clamp(centre, -reach, reach));
}

void SetUpView(MapWindowState& view, MapModel& model, std::int32_t clientWidth,
               std::int32_t clientHeight) {
  view.UnitsPerPixel = UnitsPerPixelForZoom(model.MapZoom);
  view.CurveSteps = static_cast<std::int16_t>(64 / view.UnitsPerPixel);
  view.MapArea = {0, 0, clientWidth, clientHeight - 20};
  view.HalfWidth = Wrap16(view.MapArea.Right / 2);
  view.HalfHeight = Wrap16(view.MapArea.Bottom / 2);

  const std::int32_t spanX = view.HalfWidth * view.UnitsPerPixel;
  const std::int32_t spanY = view.HalfHeight * view.UnitsPerPixel;
  const std::int32_t reach = model.CoordinateReach();
  view.CentreLimits = {spanX - reach, reach - spanX, spanY - reach, reach - spanY};

  model.MapOffsetX =
      ClampCentre(model, model.MapOffsetX, view.CentreLimits.MinX, view.CentreLimits.MaxX);
  model.MapOffsetY =
      ClampCentre(model, model.MapOffsetY, view.CentreLimits.MinY, view.CentreLimits.MaxY);

  view.VisibleWindow = {model.MapOffsetX - spanX, model.MapOffsetX + spanX,
                        model.MapOffsetY + spanY, model.MapOffsetY - spanY};
}

}  // namespace terrak
