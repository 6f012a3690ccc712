#include "viewer/movement.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/rounding.h"
#include "viewer/projection.h"

namespace terrak {

void ChoosePreset(ViewerState& viewer, ViewpointIndex preset) {
  viewer.Current() = viewer.Viewpoints[preset];
}

void SetSteps(ViewerState& viewer, std::int32_t moveStep, std::int32_t turnStep) {
  viewer.MoveStep = moveStep;
  viewer.TurnStep = turnStep;
}

void ApplyGroundRule(TViewPoint& view, const GridState& grid) {
  const double u = view.x - grid.GridMinX;
  const double v = view.y - grid.GridMinY;
  if (u >= 0 && u <= grid.GridWidth - 1.0 && v >= 0 && v <= grid.GridHeight - 1.0) {
    const std::int64_t column = RoundToInt(u), row = RoundToInt(v);
    const std::int16_t h =
        grid.HeightGrid.Contains(column, row) ? grid.HeightGrid(column, row) : std::int16_t{0};
    // The eye goes 2 m above the ground (2 m above 0 where the cell is empty).
    view.z = static_cast<double>((h == 0 ? 0 : CellTenths(h, grid.HeightBase)) + 20) / 10.0;
  } else {
    view.z = 0;
  }
}

void MoveViewpoint(ViewerState& viewer, const GridState& grid, double offset) {
  TViewPoint& view = viewer.Current();
  viewer.MoveDirection = view.bearing + offset;
  if (viewer.MoveDirection > 360) viewer.MoveDirection -= 360;
  const double a = viewer.MoveDirection / kDegreesPerRadian;
  view.x += viewer.MoveStep * std::sin(a);
  view.y += viewer.MoveStep * std::cos(a);
  if (viewer.OnGround) ApplyGroundRule(view, grid);
}

namespace {

Refresh TiltUp(ViewerState& viewer) {
  TViewPoint& view = viewer.Current();
  view.incline += viewer.TurnStep;
  if (view.incline > 90) view.incline = 90;
  return Refresh::ViewAndDirection;
}

Refresh TiltDown(ViewerState& viewer) {
  TViewPoint& view = viewer.Current();
  view.incline -= viewer.TurnStep;
  if (view.incline < -90) view.incline = -90;
  return Refresh::ViewAndDirection;
}

Refresh TurnLeft(ViewerState& viewer) {
  TViewPoint& view = viewer.Current();
  view.bearing -= viewer.TurnStep;
  if (view.bearing < 0) view.bearing += 360;
  return Refresh::ViewAndDirection;
}

Refresh TurnRight(ViewerState& viewer) {
  TViewPoint& view = viewer.Current();
  view.bearing += viewer.TurnStep;
  if (view.bearing > 360) view.bearing -= 360;  // 360 itself is kept
  return Refresh::ViewAndDirection;
}

// Rising or sinking leaves "On the ground"; the item's check mark stays as it is.
Refresh Rise(ViewerState& viewer) {
  viewer.Current().z += viewer.MoveStep;
  viewer.OnGround = false;
  return Refresh::View;
}

Refresh Sink(ViewerState& viewer) {
  TViewPoint& view = viewer.Current();
  view.z -= viewer.MoveStep;
  viewer.OnGround = false;
  if (view.z < 0) view.z = 0;
  return Refresh::View;
}

}  // namespace

Refresh FormKeyDown(ViewerState& viewer, const GridState& grid, ArrowKey key,
                    KeyModifiers modifiers) {
  if (modifiers.Shift) {
    if (key == ArrowKey::Up) return TiltUp(viewer);
    if (key == ArrowKey::Down) return TiltDown(viewer);
    return Refresh::None;
  }
  if (modifiers.Ctrl) {
    switch (key) {
      case ArrowKey::Left: MoveViewpoint(viewer, grid, 270); return Refresh::View;
      case ArrowKey::Right: MoveViewpoint(viewer, grid, 90); return Refresh::View;
      case ArrowKey::Up: return Rise(viewer);
      case ArrowKey::Down: return Sink(viewer);
    }
  }
  if (modifiers.Alt) return Refresh::None;
  switch (key) {
    case ArrowKey::Up: MoveViewpoint(viewer, grid, 0); return Refresh::View;
    case ArrowKey::Down: MoveViewpoint(viewer, grid, 180); return Refresh::View;
    case ArrowKey::Left: return TurnLeft(viewer);
    case ArrowKey::Right: return TurnRight(viewer);
  }
  return Refresh::None;
}

Refresh OnTheGroundClick(ViewerState& viewer, const GridState& grid) {
  if (viewer.Menu.OnTheGroundChecked) {
    viewer.Menu.OnTheGroundChecked = false;
    viewer.OnGround = false;
    return Refresh::None;
  }
  ApplyGroundRule(viewer.Current(), grid);
  viewer.Menu.OnTheGroundChecked = true;
  viewer.OnGround = true;
  return Refresh::View;
}

namespace {

std::int32_t RoundToInt32(double value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(RoundToInt(value), INT32_MIN, INT32_MAX));
}

}  // namespace

void SaveLocation(const ViewerState& viewer, Settings& settings, MapModel& model) {
  const TViewPoint& view = viewer.Current();
  settings.ViewpointX = RoundToInt32(view.x);
  settings.ViewpointY = RoundToInt32(view.y);
  settings.ViewpointZ = RoundToInt32(view.z);
  settings.ViewpointBearing = RoundToInt32(view.bearing);
  settings.ViewpointIncline = RoundToInt32(view.incline);
  model.MapModified = true;
}

void LoadLocation(ViewerState& viewer, const Settings& settings) {
  TViewPoint& view = viewer.Current();
  view.x = settings.ViewpointX;
  view.y = settings.ViewpointY;
  view.z = settings.ViewpointZ;
  view.bearing = settings.ViewpointBearing;
  view.incline = settings.ViewpointIncline;
}

}  // namespace terrak
