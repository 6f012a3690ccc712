// Point symbols: a dot, a ring around it, and elements (lines, areas, smaller points) drawn on
// coordinates relative to the centre, turned and moved with the symbol.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "mapdraw/symbol_drawing.h"

namespace terrak::mapdraw {

namespace {

constexpr int kFewestCircleSegments = 8;
constexpr int kMostCircleSegments = 256;

}  // namespace

Polyline Circle(Vec2 centre, double radius, double tolerance) {
  Polyline ring;
  ring.Closed = true;
  // A chord of angle a leaves the arc by r (1 - cos(a / 2)).
  int segments = kMostCircleSegments;
  if (radius > tolerance) {
    const double step = 2 * std::acos(1 - tolerance / radius);
    segments = static_cast<int>(std::ceil(2 * std::numbers::pi / step));
  }
  segments = std::clamp(segments, kFewestCircleSegments, kMostCircleSegments);
  ring.Points.reserve(static_cast<std::size_t>(segments));
  for (int i = 0; i < segments; ++i) {
    const double a = 2 * std::numbers::pi * i / segments;
    ring.Points.push_back({centre.X + radius * std::cos(a), centre.Y + radius * std::sin(a)});
  }
  return ring;
}

double PointReach(const PointDefinition& point, int depth) {
  double reach = 0;
  if (point.InnerColour >= 0) reach = point.InnerRadius;
  if (point.OuterColour >= 0 && point.OuterWidth > 0)
    reach = std::max(reach, static_cast<double>(point.InnerRadius) + point.OuterWidth);
  if (depth > kDeepestSymbol) return reach;
  for (const PointElement& element : point.Elements) {
    if (!element.Symbol) continue;
    double margin = 0;
    if (const auto* line = std::get_if<LineDefinition>(&element.Symbol->Drawing))
      margin = line->Width / 2.0;
    else if (const auto* inner = std::get_if<PointDefinition>(&element.Symbol->Drawing))
      margin = PointReach(*inner, depth + 1);
    for (const FormatPoint& p : element.Points)
      reach = std::max(reach, std::hypot(double(p.X), double(p.Y)) + margin);
  }
  return reach;
}

void DrawPointSymbol(const PointDefinition& point, Vec2 at, double rotation, double scale,
                     DrawContext& context) {
  if (context.Out.Full()) return;
  if (point.InnerColour >= 0 && point.InnerRadius > 0)
    context.Out.FillShape(point.InnerColour, Circle(at, point.InnerRadius, context.Tolerance),
                          context.Clip);
  if (point.OuterColour >= 0 && point.OuterWidth > 0) {
    Pen pen;
    pen.Width = point.OuterWidth;
    context.Out.Stroke(point.OuterColour,
                       {Circle(at, point.InnerRadius + point.OuterWidth / 2.0, context.Tolerance)},
                       pen, context.Clip);
  }
  if (point.Elements.empty() || context.Depth >= kDeepestSymbol) return;
  const double cosine = std::cos(rotation);
  const double sine = std::sin(rotation);
  ++context.Depth;
  for (const PointElement& element : point.Elements) {
    if (!element.Symbol || element.Symbol->Hidden || element.Points.empty()) continue;
    std::vector<FlaggedPoint> placed;
    placed.reserve(element.Points.size());
    for (const FormatPoint& p : element.Points)
      placed.push_back({at + Rotated(Vec2{double(p.X), double(p.Y)} * scale, cosine, sine),
                        p.Flags});
    if (const auto* inner = std::get_if<PointDefinition>(&element.Symbol->Drawing)) {
      DrawPointSymbol(*inner, placed.front().Pos, 0, 1, context);
      continue;
    }
    const std::vector<PathPart> parts = BuildPathParts(placed, context.Tolerance);
    if (const auto* area = std::get_if<AreaDefinition>(&element.Symbol->Drawing)) {
      // An element's area is one shape of its own, whatever its rings' direction.
      if (area->Colour >= 0) context.Out.Fill(area->Colour, Polylines(parts), context.Clip);
      continue;
    }
    DrawSymbolOnPath(*element.Symbol, parts, {}, context);
  }
  --context.Depth;
}

}  // namespace terrak::mapdraw
