// Area symbols: the fill inside the outline and its holes, and patterns of parallel lines or of
// point symbols on a lattice, clipped to the area (or whole symbols chosen by the pattern's
// rule at the edge). Patterns are anchored to the paper, not to the object, so neighbouring
// areas of one symbol join seamlessly.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "mapdraw/symbol_drawing.h"

namespace terrak::mapdraw {

namespace {

// More lattice points than this in one area mean a damaged definition; the pattern is left out.
constexpr double kMostPatternPoints = 4e6;

// Even-odd: whether p lies inside the rings.
bool Inside(const std::vector<Polyline>& rings, Vec2 p) {
  bool inside = false;
  for (const Polyline& ring : rings) {
    const std::vector<Vec2>& v = ring.Points;
    for (std::size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
      if ((v[i].Y > p.Y) != (v[j].Y > p.Y) &&
          p.X < (v[j].X - v[i].X) * (p.Y - v[i].Y) / (v[j].Y - v[i].Y) + v[i].X)
        inside = !inside;
    }
  }
  return inside;
}

Box BoxOf(const std::vector<Polyline>& rings) {
  Box box;
  for (const Polyline& ring : rings)
    for (const Vec2& p : ring.Points) box.Add(p);
  return box;
}

// The piece of the line through base along direction that crosses the box, as the range of
// its parameter; empty when it misses.
bool ClipToBox(const Box& box, Vec2 base, Vec2 direction, double& from, double& to) {
  from = -1e300;
  to = 1e300;
  const double lows[2] = {box.MinX - base.X, box.MinY - base.Y};
  const double highs[2] = {box.MaxX - base.X, box.MaxY - base.Y};
  const double d[2] = {direction.X, direction.Y};
  for (int axis = 0; axis < 2; ++axis) {
    if (std::abs(d[axis]) < 1e-12) {
      if (lows[axis] > 0 || highs[axis] < 0) return false;
      continue;
    }
    double t1 = lows[axis] / d[axis], t2 = highs[axis] / d[axis];
    if (t1 > t2) std::swap(t1, t2);
    from = std::max(from, t1);
    to = std::min(to, t2);
  }
  return from <= to;
}

struct Lattice {
  Vec2 Along;   // the pattern's lines run this way
  Vec2 Across;  // and follow each other this way
  double Offset;  // of the lines across, from the paper's origin
};

// The pattern's lines: direction at its angle (counterclockwise), numbered across from the
// pattern's origin.
Lattice LatticeOf(const FillPattern& pattern, const ObjectPlacement& placement) {
  double angle = pattern.Angle + (pattern.Rotatable ? placement.Rotation : 0.0);
  angle = std::fmod(angle, std::numbers::pi);
  if (angle < 0) angle += std::numbers::pi;
  Lattice lattice;
  lattice.Along = {std::cos(angle), std::sin(angle)};
  lattice.Across = {std::sin(angle), -std::cos(angle)};
  const Vec2 origin = pattern.Rotatable ? Vec2{double(placement.PatternOrigin.X),
                                               double(placement.PatternOrigin.Y)}
                                        : Vec2{};
  lattice.Offset = pattern.LineOffset + lattice.Across.Dot(origin);
  return lattice;
}

void LinePattern(const FillPattern& pattern, const Lattice& lattice, const Box& area,
                 DrawContext& context) {
  const double spacing = pattern.LineSpacing;
  const Box box = area.Grown(pattern.LineWidth / 2.0);
  double low = 1e300, high = -1e300;
  for (const Vec2 corner : {Vec2{box.MinX, box.MinY}, Vec2{box.MaxX, box.MinY},
                            Vec2{box.MinX, box.MaxY}, Vec2{box.MaxX, box.MaxY}}) {
    low = std::min(low, lattice.Across.Dot(corner));
    high = std::max(high, lattice.Across.Dot(corner));
  }
  if ((high - low) / spacing > kMostPatternPoints) return;
  std::vector<Polyline> lines;
  for (double k = std::ceil((low - lattice.Offset) / spacing); lattice.Offset + k * spacing <= high;
       ++k) {
    if (context.Out.Full()) return;
    const Vec2 base = lattice.Across * (lattice.Offset + k * spacing);
    double from = 0, to = 0;
    if (!ClipToBox(box, base, lattice.Along, from, to)) continue;
    lines.push_back({{base + lattice.Along * from, base + lattice.Along * to}, false});
  }
  Pen pen;
  pen.Width = pattern.LineWidth;
  pen.Cap = StrokeCap::Flat;
  pen.Join = StrokeJoin::Miter;
  context.Out.Stroke(pattern.LineColour, lines, pen, context.Clip);
}

void PointPattern(const FillPattern& pattern, const Lattice& lattice,
                  const std::vector<Polyline>& rings, const Box& area, double rotation,
                  DrawContext& context) {
  const PointDefinition& point = *pattern.Point;
  const double reach = PointReach(point);
  const Box box = area.Grown(reach);
  const double spacing = pattern.LineSpacing;
  const double distance = pattern.PointDistance;
  const double across = (box.MaxX - box.MinX) + (box.MaxY - box.MinY);
  if ((across / spacing) * (across / distance) > kMostPatternPoints) return;
  double low = 1e300, high = -1e300;
  for (const Vec2 corner : {Vec2{box.MinX, box.MinY}, Vec2{box.MaxX, box.MinY},
                            Vec2{box.MinX, box.MaxY}, Vec2{box.MaxX, box.MaxY}}) {
    low = std::min(low, lattice.Across.Dot(corner));
    high = std::max(high, lattice.Across.Dot(corner));
  }
  // Along the lines, the points lie offset from the origin; lines at an angle of up to a right
  // one count their offset the other way round.
  const double angle = std::atan2(lattice.Along.Y, lattice.Along.X);
  const bool reversed = angle > 1e-9 && angle <= std::numbers::pi / 2 + 1e-9;
  const double along = reversed ? -pattern.OffsetAlongLine : pattern.OffsetAlongLine;
  const double pointRotation = pattern.Rotatable && point.Rotatable ? rotation : 0.0;
  for (double k = std::ceil((low - lattice.Offset) / spacing); lattice.Offset + k * spacing <= high;
       ++k) {
    if (context.Out.Full()) return;
    const Vec2 base = lattice.Across * (lattice.Offset + k * spacing);
    double from = 0, to = 0;
    if (!ClipToBox(box, base, lattice.Along, from, to)) continue;
    for (double t = along + std::ceil((from - along) / distance) * distance; t <= to; t += distance) {
      const Vec2 at = base + lattice.Along * t;
      switch (pattern.AtEdge) {
        case FillPattern::Edge::Clip:
          break;
        case FillPattern::Edge::CentreInside:
          if (!Inside(rings, at)) continue;
          break;
        case FillPattern::Edge::WhollyInside:
          if (!Inside(rings, at + Vec2{-reach, -reach}) || !Inside(rings, at + Vec2{reach, -reach}) ||
              !Inside(rings, at + Vec2{-reach, reach}) || !Inside(rings, at + Vec2{reach, reach}))
            continue;
          break;
        case FillPattern::Edge::PartlyInside:
          if (!Inside(rings, at) && !Inside(rings, at + Vec2{-reach, -reach}) &&
              !Inside(rings, at + Vec2{reach, -reach}) && !Inside(rings, at + Vec2{-reach, reach}) &&
              !Inside(rings, at + Vec2{reach, reach}))
            continue;
          break;
      }
      DrawPointSymbol(point, at, pointRotation, 1, context);
    }
  }
}

}  // namespace

void DrawAreaSymbol(const AreaDefinition& area, const std::vector<PathPart>& parts,
                    const ObjectPlacement& placement, DrawContext& context) {
  std::vector<Polyline> rings = Polylines(parts);
  rings.erase(std::remove_if(rings.begin(), rings.end(),
                             [](const Polyline& r) { return r.Points.size() < 3; }),
              rings.end());
  if (rings.empty()) return;
  for (Polyline& ring : rings) ring.Closed = true;
  if (area.Colour >= 0) context.Out.Fill(area.Colour, rings, context.Clip);
  if (area.Patterns.empty()) return;
  const Box box = BoxOf(rings);
  std::int32_t areaClip = -1;
  const std::int32_t outerClip = context.Clip;
  for (const FillPattern& pattern : area.Patterns) {
    if (pattern.LineSpacing <= 0) continue;
    const bool lines = pattern.Type == FillPattern::Kind::Lines;
    if (lines ? (pattern.LineColour < 0 || pattern.LineWidth <= 0)
              : (!pattern.Point || pattern.PointDistance <= 0))
      continue;
    const bool clipped = lines || pattern.AtEdge == FillPattern::Edge::Clip;
    // Inside a point symbol the outer clip stays: the picture clips one region at a time.
    if (clipped && outerClip < 0) {
      if (areaClip < 0) areaClip = context.Out.AddClip(rings);
      context.Clip = areaClip;
    }
    const Lattice lattice = LatticeOf(pattern, placement);
    if (lines)
      LinePattern(pattern, lattice, box, context);
    else
      PointPattern(pattern, lattice, rings, box, placement.Rotation, context);
    context.Clip = outerClip;
  }
}

}  // namespace terrak::mapdraw
