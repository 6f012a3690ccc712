#include "mainwindow/screen_points.h"

#include "common/rounding.h"
#include "mainwindow/view_transform.h"

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
  const std::vector<TPair>& pts = coords.Points;
  const std::size_t n = pts.size();
  TPair previous;
  bool havePrevious = false;
  for (std::size_t k = 0; k < n; ++k) {
    const TPair c = pts[k];
    if (IsMarker(c.X)) {
      if (c.X == kMarkNewPart) return;
      if (c.X != kMarkCurve) continue;
      // A damaged list may end inside the curve: draw what is complete and stop.
      if (k + 3 >= n) return;
      // The curve starts at the point before its marker; without one, at the last point drawn,
      // and without that at its own end.
      TPair start = pts[k + 3];
      if (k > 0 && !IsMarker(pts[k - 1].X))
        start = pts[k - 1];
      else if (havePrevious)
        start = previous;
      AddScreenCurvePoints(view, model, start, pts[k + 1], pts[k + 2], pts[k + 3]);
      previous = pts[k + 3];
      havePrevious = true;
      k += 3;
      continue;
    }
    if (!havePrevious) {
      // The first real point; the list may begin with a line-flag marker before it.
      AppendPoint(view, MapToScreen(view, model, c.X, c.Y));
    } else {
      AddScreenCurvePoints(view, model, previous, previous, c, c);
    }
    previous = c;
    havePrevious = true;
  }
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
