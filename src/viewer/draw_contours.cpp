#include "viewer/draw_contours.h"

#include <cmath>

namespace terrak {

namespace {

bool AnyCornerVisible(const ViewTransform& view, const TMapObject& object, double unitsPerMetre) {
  const double z = object.Height / 10.0;
  const double corners[4][2] = {{static_cast<double>(object.MinX), static_cast<double>(object.MaxY)},
                                {static_cast<double>(object.MinX), static_cast<double>(object.MinY)},
                                {static_cast<double>(object.MaxX), static_cast<double>(object.MaxY)},
                                {static_cast<double>(object.MaxX), static_cast<double>(object.MinY)}};
  ScreenPoint unused;
  for (const auto& corner : corners)
    if (ProjectPoint(view, corner[0] / unitsPerMetre, corner[1] / unitsPerMetre, z, unused))
      return true;
  return false;
}

}  // namespace

void DrawContours(RasterTarget& target, const ViewTransform& view, const MapModel& model,
                  double unitsPerMetre, std::int16_t curveSteps) {
  target.NearestDepth = kContourNearestStart;
  target.FarthestDepth = kContourFarthestStart;
  if (!(unitsPerMetre > 0) || !std::isfinite(unitsPerMetre)) return;
  LinePen pen;
  for (const TSelectedSymbol& selected : model.SelectedSymbols) {
    for (std::size_t i = 0; i < model.MapObjects.size(); ++i) {
      const TMapObject& object = model.MapObjects[i];
      if (object.Symbol != selected.Symbol) continue;
      if (!AnyCornerVisible(view, object, unitsPerMetre)) continue;
      if (i >= model.ObjectCoords.size()) continue;
      const TObjectCoords& coords = GetObjectCoords(model, i);
      if (!IsDrawnAsLine(coords.Kind)) continue;
      const double z = object.Height / 10.0;
      pen.PenUp = true;
      WalkObjectLine(coords, unitsPerMetre, curveSteps, [&](double x, double y) {
        AddVertex<false>(target, pen, view, x, y, z);
      });
    }
  }
}

}  // namespace terrak
