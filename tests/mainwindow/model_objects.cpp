#include "mainwindow/model_objects.h"

#include <algorithm>

#include "mapfile/ocad_points.h"

namespace terrak::testing {

std::size_t AddObject(MapModel& model, std::int16_t symbol, std::int16_t objectType,
                      const std::vector<TPair>& points, std::int16_t height) {
  TMapObject object;
  object.Symbol = symbol;
  object.Kind = static_cast<ObjectKind>(objectType);
  object.Height = height;
  object.HasHeight = height > 0;  // as an OCAD 5 to 7 map reads its field
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
  TObjectCoords coords;
  coords.Symbol = symbol;
  coords.Kind = object.Kind;
  coords.Height = height;
  coords.HasHeight = height > 0;
  coords.Points = PointsOfMarkedList(points);
  coords.Count = static_cast<std::int32_t>(coords.Points.size());
  model.MapObjects.push_back(object);
  model.ObjectCoords.push_back(coords);
  return model.MapObjects.size() - 1;
}

}  // namespace terrak::testing
