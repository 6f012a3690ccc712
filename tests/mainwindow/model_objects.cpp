#include "mainwindow/model_objects.h"

#include <algorithm>

#include "mapfile/ocad_points.h"

namespace terrak::testing {

std::size_t AddObject(MapModel& model, std::int16_t symbol, std::int16_t objectType,
                      const std::vector<TPair>& points, std::int16_t height) {
  // A height above 0 is a height, as an OCAD 5 to 7 map reads its field.
  TMapObject object{.Symbol = symbol, .Kind = static_cast<ObjectKind>(objectType), .Height = height,
                    .HasHeight = height > 0, .FirstPoint = {}, .LastPoint = {}};
  bool first = true;
  for (const TPair& p : points) {
    if (p.X <= kHighestMarker) continue;
    if (first) {
      object.MinX = object.MaxX = p.X;
      object.MinY = object.MaxY = p.Y;
      object.FirstPoint = p;
      first = false;
    }
    object.MinX = std::min(object.MinX, p.X);
    object.MaxX = std::max(object.MaxX, p.X);
    object.MinY = std::min(object.MinY, p.Y);
    object.MaxY = std::max(object.MaxY, p.Y);
    object.LastPoint = p;
  }
  std::vector<ModelPoint> modelPoints = PointsOfMarkedList(points);
  const auto count = static_cast<std::int32_t>(modelPoints.size());
  model.MapObjects.push_back(object);
  model.ObjectCoords.push_back({.Symbol = symbol, .Kind = object.Kind, .Count = count, .Height = height,
                                .HasHeight = height > 0, .Points = std::move(modelPoints)});
  return model.MapObjects.size() - 1;
}

}  // namespace terrak::testing
