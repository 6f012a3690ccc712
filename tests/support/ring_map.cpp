#include "support/ring_map.h"

#include <algorithm>
#include <cmath>

#include "grid/build_grid.h"
#include "support/recording_progress.h"
#include "support/scripted_dialogs.h"

namespace terrak::testing {

namespace {

constexpr double kUnitsPerMetre = 4.0;

std::int32_t Units(double metres) {
  return static_cast<std::int32_t>(std::lround(metres * kUnitsPerMetre));
}

}  // namespace

MapModel RingMap(const std::vector<Ring>& rings, std::int32_t shift) {
  MapModel model;
  model.MapFileName = "/nonexistent/rings.ocd";
  model.MapScale = 56693.0 / kUnitsPerMetre;
  model.SelectedSymbols = {{101, kBlack}};
  model.MapMinX = model.MapMinY = 999999999;
  model.MapMaxX = model.MapMaxY = -999999999;
  for (const Ring& r : rings) {
    const std::int32_t x0 = Units(r.CentreX - r.HalfSide), x1 = Units(r.CentreX + r.HalfSide);
    const std::int32_t y0 = Units(r.CentreY - r.HalfSide), y1 = Units(r.CentreY + r.HalfSide);
    TMapObject object;
    object.Symbol = 101;
    object.Kind = ObjectKind::Line;
    object.Height = r.Height + shift;
    object.HasHeight = true;
    object.MinX = x0;
    object.MinY = y0;
    object.MaxX = x1;
    object.MaxY = y1;
    TObjectCoords coords;
    coords.Symbol = 101;
    coords.Kind = ObjectKind::Line;
    coords.Height = object.Height;
    coords.HasHeight = true;
    coords.Points = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
    coords.Count = static_cast<std::int32_t>(coords.Points.size());
    object.FirstPoint = object.LastPoint = coords.Points.front().At();
    model.MapObjects.push_back(object);
    model.ObjectCoords.push_back(coords);
    model.MapMinX = std::min(model.MapMinX, x0);
    model.MapMinY = std::min(model.MapMinY, y0);
    model.MapMaxX = std::max(model.MapMaxX, x1);
    model.MapMaxY = std::max(model.MapMaxY, y1);
  }
  model.MapWidth = model.MapMaxX - model.MapMinX;
  model.MapHeight = model.MapMaxY - model.MapMinY;
  return model;
}

GridState BuildRingGrid(const MapModel& model, std::string* refusal) {
  GridState grid;
  GridBuildState build;
  build.CurveSteps = GridCurveSteps(model.MapScale);
  SilentProgress progress;
  ScriptedDialogs dialogs;
  const Settings settings;
  if (!BuildGrid(model, settings, grid, build, {progress, dialogs, nullptr}) && refusal)
    *refusal = dialogs.Messages.empty() ? std::string() : dialogs.Messages.back().Text;
  return grid;
}

}  // namespace terrak::testing
