#pragma once
// An object's points as the drawing walks them: split into parts (an area's outline and holes,
// a line's pieces), Bezier curves turned into short straight segments that stay within a
// tolerance of the curve, each vertex with its length along the part, so that dashes and
// symbols can be placed by length.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "mapdraw/geometry.h"

namespace terrak::mapdraw {

// A point with the neutral form's flags (map_format.h: point_flag).
struct FlaggedPoint {
  Vec2 Pos;
  std::uint32_t Flags = 0;
};

struct PathVertex {
  Vec2 Pos;
  double Length = 0;       // from the part's start
  bool DashPoint = false;  // a dash or corner point of the map, where dash patterns restart
};

struct PathPart {
  std::vector<PathVertex> Vertices;
  bool Closed = false;
  double Total() const { return Vertices.empty() ? 0 : Vertices.back().Length; }
};

// Splits at each hole start, flattens curves (first and second control points flagged) to
// within tolerance, drops repeated points. A part is closed when its last point carries the
// close flag or lies on its first point.
std::vector<PathPart> BuildPathParts(std::span<const FlaggedPoint> points, double tolerance);

// Where a length falls on a part: the segment (vertex index before it) and the position.
struct PathPosition {
  std::size_t Segment = 0;
  Vec2 Pos;
  Vec2 Direction;  // unit vector along the segment
};

// The position at length (clamped to the part). hint: a segment at or before the answer, to
// walk forwards from; parts are walked from the start without it.
PathPosition PositionAt(const PathPart& part, double length, std::size_t hint = 0);

// The part's points from length from to length to, the ends included.
std::vector<Vec2> SubPath(const PathPart& part, double from, double to);

// Unit tangents at a vertex: along the segment into it and out of it (the neighbours' when the
// vertex ends an open part; around the ring for closed ones).
Vec2 TangentIn(const PathPart& part, std::size_t vertex);
Vec2 TangentOut(const PathPart& part, std::size_t vertex);

// The points of all parts as rings or lines.
std::vector<Polyline> Polylines(const std::vector<PathPart>& parts);

}  // namespace terrak::mapdraw
