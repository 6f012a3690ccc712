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
  MapModel model{.MapFileName = "/nonexistent/rings.ocd", .MapScale = 56693.0 / kUnitsPerMetre,
                 .SelectedSymbols = {{101, kBlack}}, .MapMinX = 999999999, .MapMinY = 999999999,
                 .MapMaxX = -999999999, .MapMaxY = -999999999};
  for (const Ring& r : rings) {
    const std::int32_t x0 = Units(r.CentreX - r.HalfSide), x1 = Units(r.CentreX + r.HalfSide);
    const std::int32_t y0 = Units(r.CentreY - r.HalfSide), y1 = Units(r.CentreY + r.HalfSide);
    const std::int32_t height = r.Height + shift;
    std::vector<ModelPoint> points{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
    const TPair first = points.front().At();
    model.MapObjects.push_back({.MinX = x0, .MinY = y0, .MaxX = x1, .MaxY = y1, .Symbol = 101,
                                .Kind = ObjectKind::Line, .Height = height, .HasHeight = true,
                                .FirstPoint = first, .LastPoint = first});
    const auto count = static_cast<std::int32_t>(points.size());
    model.ObjectCoords.push_back({.Symbol = 101, .Kind = ObjectKind::Line, .Count = count,
                                  .Height = height, .HasHeight = true,
                                  .Points = std::move(points)});
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
