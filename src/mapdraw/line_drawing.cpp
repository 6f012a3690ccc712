// Line symbols: the main line (whole, dashed, or kept off the ends with pointed caps), its
// borders, and the point symbols at its start and end, along it and at its dash points.
#include <algorithm>
#include <cmath>

#include "mapdraw/line_layout.h"
#include "mapdraw/offset_line.h"
#include "mapdraw/symbol_drawing.h"

namespace terrak::mapdraw {

namespace {

// Line symbols' miters reach at most one line width from the corner.
constexpr double kLineMiterLimit = 1;

StrokeCap CapOf(CapStyle cap) {
  switch (cap) {
    case CapStyle::Round:
      return StrokeCap::Round;
    case CapStyle::Square:
      return StrokeCap::Square;
    default:  // pointed ends are drawn as areas of their own
      return StrokeCap::Flat;
  }
}

StrokeJoin JoinOf(JoinStyle join) {
  switch (join) {
    case JoinStyle::Bevel:
      return StrokeJoin::Bevel;
    case JoinStyle::Round:
      return StrokeJoin::Round;
    default:
      return StrokeJoin::Miter;
  }
}

bool Visible(const PointDefinition* point) {
  return point && (!point->Elements.empty() || (point->InnerColour >= 0 && point->InnerRadius > 0) ||
                   (point->OuterColour >= 0 && point->OuterWidth > 0));
}

bool Visible(const LineBorder& border) {
  return border.Width > 0 && border.Colour >= 0 && !(border.Dashed && border.DashLength <= 0);
}

double AngleIf(bool rotatable, Vec2 direction) { return rotatable ? direction.Angle() : 0.0; }

// The direction halfway between the segments into and out of a vertex, and how much wider a
// mitered line is there.
std::pair<Vec2, double> CornerOf(const PathPart& part, std::size_t vertex) {
  const Vec2 in = TangentIn(part, vertex);
  const Vec2 out = TangentOut(part, vertex);
  const Vec2 middle = (in + out).Unit();
  const double cosHalf = middle.Dot(out);
  return {middle.Length() > 0 ? middle : out, cosHalf > 0 ? 1 / cosHalf : kLineMiterLimit * 2};
}

void DrawSymbolsAt(const PointDefinition& point, const PathPart& part,
                   const std::vector<double>& lengths, DrawContext& context) {
  std::size_t hint = 0;
  std::vector<double> sorted = lengths;
  std::sort(sorted.begin(), sorted.end());
  for (const double length : sorted) {
    if (context.Out.Full()) return;
    const PathPosition at = PositionAt(part, length, hint);
    hint = at.Segment;
    DrawPointSymbol(point, at.Pos, AngleIf(point.Rotatable, at.Direction), 1, context);
  }
}

void DashSymbols(const LineDefinition& line, const PathPart& part, DrawContext& context) {
  const std::vector<PathVertex>& v = part.Vertices;
  std::size_t first = 0;
  std::size_t last = v.size() - 1;
  if (line.SuppressDashSymbolAtEnds) {
    ++first;
    --last;
  } else if (part.Closed) {
    ++first;
  }
  for (std::size_t i = first; i <= last && i < v.size(); ++i) {
    if (!v[i].DashPoint) continue;
    const auto [direction, widening] = CornerOf(part, i);
    const double scale = line.ScaleDashSymbol ? std::min(widening, 2 * kLineMiterLimit) : 1.0;
    DrawPointSymbol(*line.DashSymbol, v[i].Pos, AngleIf(line.DashSymbol->Rotatable, direction),
                    scale, context);
  }
}

// A pointed end: an area narrowing from the line's width to its tip over the stretch.
void PointedCap(const LineDefinition& line, const PathPart& part, double from, double to,
                bool atEnd, DrawContext& context) {
  const double halfWidth = line.Width / 2.0;
  const double capLength = to - from;
  if (!(capLength > 0) || line.Colour < 0) return;
  const std::vector<Vec2> middle = SubPath(part, from, to);
  std::vector<Vec2> right, left;
  double walked = 0;
  for (std::size_t i = 0; i < middle.size(); ++i) {
    if (i > 0) walked += (middle[i] - middle[i - 1]).Length();
    const double fromTip = atEnd ? capLength - walked : walked;
    const Vec2 in = i > 0 ? (middle[i] - middle[i - 1]).Unit() : (middle[1] - middle[0]).Unit();
    const Vec2 out = i + 1 < middle.size() ? (middle[i + 1] - middle[i]).Unit() : in;
    const Vec2 normal = (in + out).Unit().Left();
    const double cosHalf = std::max(0.5, (in + out).Unit().Dot(out));
    const double radius = std::clamp(halfWidth * fromTip / capLength / cosHalf, 0.0, 2 * halfWidth);
    right.push_back(middle[i] - normal * radius);
    left.push_back(middle[i] + normal * radius);
  }
  Polyline ring;
  ring.Points = right;
  ring.Points.insert(ring.Points.end(), left.rbegin(), left.rend());
  context.Out.FillShape(line.Colour, ring, context.Clip);
}

// Dashes of a plain pattern along the whole part (a dashed border).
std::vector<Dash> PlainDashes(const PathPart& part, std::int32_t dash, std::int32_t gap) {
  LineDefinition pattern;
  pattern.Dashed = true;
  pattern.DashLength = dash;
  pattern.BreakLength = gap;
  return LayOutDashes(pattern, part, 0, part.Total()).Dashes;
}

void Borders(const LineDefinition& line, const PathPart& part, const std::vector<Dash>& pieces,
             DrawContext& context) {
  Pen pen;
  pen.Join = line.Join == JoinStyle::Round ? StrokeJoin::Round : StrokeJoin::Miter;
  pen.MiterLimit = kLineMiterLimit;
  for (const bool left : {true, false}) {
    const LineBorder& border = left ? line.LeftBorder : line.RightBorder;
    if (!Visible(border)) continue;
    const double distance = (line.Width / 2.0 + border.Shift) * (left ? 1 : -1);
    const std::vector<Dash> runs = border.Dashed ? PlainDashes(part, border.DashLength, border.BreakLength)
                                                 : pieces;
    std::vector<Polyline> lines;
    for (const Dash& run : runs) {
      const bool whole = run.From <= 0 && run.To >= part.Total() && part.Closed;
      std::vector<Vec2> points = SubPath(part, run.From, run.To);
      if (points.size() < 2) continue;
      lines.push_back({OffsetLine(points, whole, distance), whole});
    }
    pen.Width = border.Width;
    context.Out.Stroke(border.Colour, lines, pen, context.Clip);
  }
}

void PartLines(const LineDefinition& line, const PathPart& part, DrawContext& context) {
  if (line.DashSymbol && Visible(line.DashSymbol.get())) DashSymbols(line, part, context);
  bool mainLine = line.Width > 0 && line.Colour >= 0;
  const bool borders =
      line.HasBorders && (Visible(line.LeftBorder) || Visible(line.RightBorder));
  const bool midSymbols = Visible(line.MidSymbol.get());
  Pen pen;
  pen.Width = line.Width;
  pen.Cap = CapOf(line.Cap);
  pen.Join = JoinOf(line.Join);
  pen.MiterLimit = kLineMiterLimit;
  const double total = part.Total();
  const bool offsets = !part.Closed && (line.StartOffset > 0 || line.EndOffset > 0);
  double start = 0, end = total;
  if (offsets) {
    double startOffset = std::max(0, line.StartOffset);
    double endOffset = std::max(0, line.EndOffset);
    if (startOffset + endOffset > total) {
      // Too short for the line between its ends: only the ends, shortened, are drawn.
      mainLine = false;
      const double shrink = total / (startOffset + endOffset);
      startOffset *= shrink;
      endOffset *= shrink;
    }
    start = startOffset;
    end = std::max(start, total - endOffset);
    if (line.Cap == CapStyle::Pointed) {
      if (startOffset > 0) PointedCap(line, part, 0, start, false, context);
      if (endOffset > 0) PointedCap(line, part, end, total, true, context);
    }
    if (!mainLine) return;
  }

  std::vector<Dash> pieces;
  if (line.Dashed) {
    if (line.DashLength <= 0) return;
    LineLayout layout = LayOutDashes(line, part, start, end);
    pieces = std::move(layout.Dashes);
    if (midSymbols) DrawSymbolsAt(*line.MidSymbol, part, layout.Symbols, context);
  } else {
    if (midSymbols) DrawSymbolsAt(*line.MidSymbol, part, LayOutMidSymbols(line, part, start, end), context);
    pieces.push_back({start, end});
  }
  if (mainLine) {
    std::vector<Polyline> lines;
    if (!line.Dashed && !offsets) {
      // The whole part, a closed one joined all round.
      lines.push_back({{}, part.Closed});
      for (const PathVertex& v : part.Vertices) lines.back().Points.push_back(v.Pos);
    } else {
      for (const Dash& piece : pieces) {
        std::vector<Vec2> points = SubPath(part, piece.From, piece.To);
        if (points.size() >= 2) lines.push_back({std::move(points), false});
      }
    }
    context.Out.Stroke(line.Colour, lines, pen, context.Clip);
  }
  if (borders) Borders(line, part, pieces, context);
}

}  // namespace

void DrawLineSymbol(const LineDefinition& line, const std::vector<PathPart>& parts,
                    DrawContext& context) {
  if (parts.empty()) return;
  const PathPart& first = parts.front();
  const PathPart& last = parts.back();
  if (Visible(line.StartSymbol.get()) && !first.Vertices.empty())
    DrawPointSymbol(*line.StartSymbol, first.Vertices.front().Pos,
                    AngleIf(line.StartSymbol->Rotatable, TangentOut(first, 0)), 1, context);
  if (Visible(line.EndSymbol.get()) && !last.Vertices.empty())
    DrawPointSymbol(*line.EndSymbol, last.Vertices.back().Pos,
                    AngleIf(line.EndSymbol->Rotatable, TangentIn(last, last.Vertices.size() - 1)),
                    1, context);
  for (const PathPart& part : parts)
    if (part.Vertices.size() >= 2) PartLines(line, part, context);
}

}  // namespace terrak::mapdraw
