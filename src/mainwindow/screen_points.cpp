#include "mainwindow/screen_points.h"

#include "common/rounding.h"
#include "mainwindow/view_transform.h"
#include "mapfile/object_path.h"

namespace terrak {

namespace {

void AppendPoint(MapWindowState& view, Point p) {
  const auto count = static_cast<std::size_t>(view.PointCount);
  if (count < view.ScreenPoints.size())
    view.ScreenPoints[count] = p;
  else
    view.ScreenPoints.push_back(p);
  ++view.PointCount;
}

}  // namespace

void AddScreenCurvePoints(MapWindowState& view, const MapModel& model, TPair p0, TPair c1,
                          TPair c2, TPair p3) {
  const int steps = view.CurveSteps > 0 ? view.CurveSteps : 1;
  for (int s = 1; s <= steps; ++s) {
    const double t = static_cast<double>(s) / steps;
    const double u = 1.0 - t;
    const double w0 = u * u * u, w1 = 3 * t * u * u, w2 = 3 * t * t * u, w3 = t * t * t;
    const double x = p0.X * w0 + c1.X * w1 + c2.X * w2 + p3.X * w3;
    const double y = p0.Y * w0 + c1.Y * w1 + c2.Y * w2 + p3.Y * w3;
    const Point p = MapToScreen(view, model, RoundToInt(x), RoundToInt(y));
    if (view.PointCount > 0 && view.ScreenPoints[static_cast<std::size_t>(view.PointCount - 1)] == p)
      continue;
    AppendPoint(view, p);
  }
}

void BuildScreenPoints(MapWindowState& view, const MapModel& model, const TObjectCoords& coords) {
  const ObjectPath path = PathOf(coords);
  if (!path.HasStart) return;
  // A curve with no point before it starts at its own end, which its last step reaches.
  if (!path.CurveWithoutStart)
    AppendPoint(view, MapToScreen(view, model, path.Start.X, path.Start.Y));
  for (const PathStep& step : path.Steps)
    AddScreenCurvePoints(view, model, step.From, step.Control1, step.Control2, step.End);
}

void DrawObjectOutline(const MapWindowState& view, ObjectKind kind, Canvas& canvas) {
  if (view.PointCount <= 0) return;
  const Point first = view.ScreenPoints[0];
  if (IsDrawnAsLine(kind)) {
    canvas.MoveTo(first.X, first.Y);
    for (std::int32_t i = 1; i < view.PointCount; ++i) {
      const Point p = view.ScreenPoints[static_cast<std::size_t>(i)];
      canvas.LineTo(p.X, p.Y);
    }
  } else if (kind == ObjectKind::Point) {
    canvas.Ellipse({first.X - 4, first.Y - 4, first.X + 4, first.Y + 4});
  }
}

}  // namespace terrak
