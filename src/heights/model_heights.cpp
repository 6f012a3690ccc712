#include "heights/model_heights.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "common/rounding.h"
#include "heights/polyline.h"
#include "mapfile/height_field.h"
#include "mapfile/map_format.h"
#include "mapfile/map_writer.h"
#include "mapfile/object_path.h"

namespace terrak::heights {

namespace {

// Model units per metre of paper, as the grid and the viewer count them.
constexpr double kUnitsPerPaperMetre = 56693.0;
constexpr double kFallbackScale = 10000.0;
constexpr int kCurveSteps = 8;

std::vector<Point> Flatten(const TObjectCoords& coords, double metresPerUnit) {
  std::vector<Point> points;
  const auto at = [&](TPair p) {
    return Point{p.X * metresPerUnit, p.Y * metresPerUnit};
  };
  const ObjectPath path = PathOf(coords);
  // A curve with no point before it has nothing to start from: no line.
  if (!path.HasStart || path.CurveWithoutStart) return points;
  points.push_back(at(path.Start));
  for (const PathStep& step : path.Steps) {
    if (!step.Curve) {
      points.push_back(at(step.End));
      continue;
    }
    const Point p0 = at(step.From), p1 = at(step.Control1), p2 = at(step.Control2),
                p3 = at(step.End);
    for (int i = 1; i <= kCurveSteps; ++i) {
      const double t = static_cast<double>(i) / kCurveSteps, u = 1.0 - t;
      points.push_back(p0 * (u * u * u) + p1 * (3 * t * u * u) + p2 * (3 * t * t * u) +
                       p3 * (t * t * t));
    }
  }
  return points;
}

}  // namespace

double MetresPerModelUnit(const MapModel& model) {
  const double scale = model.MapScale > 0 && std::isfinite(model.MapScale) ? model.MapScale
                                                                            : kFallbackScale;
  return scale / kUnitsPerPaperMetre;
}

HeightMap HeightMapFromModel(const MapModel& model, const ContourRoles& roles,
                             std::int32_t traceTolerance) {
  HeightMap map;
  const double metresPerUnit = MetresPerModelUnit(model);
  map.MetresPerPaperMm = metresPerUnit * kUnitsPerPaperMetre / 1000.0;
  map.JoinTolerance = std::max(traceTolerance, 1) * metresPerUnit;
  map.Objects.reserve(model.MapObjects.size());
  for (std::size_t k = 0; k < model.MapObjects.size(); ++k) {
    const TMapObject& object = model.MapObjects[k];
    HeightObject o;
    o.Symbol = object.Symbol;
    o.Role = roles.RoleOf(object.Symbol);
    // Only line objects are contours: points, areas, texts and rectangles are none whatever
    // their symbol.
    if (object.Kind != ObjectKind::Line) o.Role = ContourRole::None;
    if (k < model.ObjectCoords.size()) o.Points = Flatten(model.ObjectCoords[k], metresPerUnit);
    if (object.HasHeight) o.Height = Metres(object.Height / 10.0);
    map.Objects.push_back(std::move(o));
  }
  return map;
}

ContourRoles DefaultContourRoles(const MapModel& model) {
  std::vector<RoleSymbol> symbols;
  for (const TmapSymbol& s : model.SymbolList) symbols.push_back({s.Symbol, s.Kind == ObjectKind::Line, s.Text});
  return DefaultContourRoles(symbols, model.SymbolNumberScale);
}

TPair ModelPosition(const MapModel& model, Point p) {
  const double metresPerUnit = MetresPerModelUnit(model);
  const auto unit = [&](double v) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(RoundToInt(v / metresPerUnit), -(std::int64_t{1} << 30),
                                 std::int64_t{1} << 30));
  };
  return {unit(p.X), unit(p.Y)};
}

HeightChanges WriteHeightChanges(MapModel& model, const std::string& workingCopy,
                                 const HeightChanges& changes) {
  HeightChanges unwritten;
  // One write per new height (none: the height goes).
  std::map<std::optional<std::int32_t>, TracedObjectList> byHeight;
  for (const HeightChange& change : changes) {
    if (change.Object < 0 || static_cast<std::size_t>(change.Object) >= model.MapObjects.size()) {
      unwritten.push_back(change);
      continue;
    }
    std::optional<std::int32_t> tenths;
    if (change.New.Has) {
      tenths = HeightTenthsFromMetres(change.New.Metres);
      if (!tenths || HeightNotHeldMessage(model, *tenths)) {
        unwritten.push_back(change);
        continue;
      }
    }
    byHeight[tenths].push_back(change.Object);
  }
  for (const auto& [tenths, objects] : byHeight) {
    if (tenths)
      WriteTracedHeights(model, workingCopy, objects, *tenths);
    else
      ClearTracedHeights(model, workingCopy, objects);
  }
  return unwritten;
}

}  // namespace terrak::heights
