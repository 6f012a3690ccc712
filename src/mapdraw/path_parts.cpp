#include "mapdraw/path_parts.h"

#include <algorithm>
#include <cmath>

#include "mapfile/map_format.h"

namespace terrak::mapdraw {

namespace {

constexpr std::uint32_t kDashFlags = point_flag::kDash | point_flag::kCorner;
// A curve is cut into at most this many segments, however bad its control points.
constexpr int kMostCurveSegments = 256;

bool IsControl(std::uint32_t flags, std::uint32_t which) { return (flags & which) != 0; }

class PartWriter {
 public:
  explicit PartWriter(std::vector<PathPart>& parts) : parts_(parts) {}

  void Start() { parts_.emplace_back(); }
  void Add(Vec2 p, bool dashPoint) {
    PathPart& part = parts_.back();
    if (!part.Vertices.empty()) {
      PathVertex& last = part.Vertices.back();
      if (last.Pos == p) {
        last.DashPoint = last.DashPoint || dashPoint;
        return;
      }
      part.Vertices.push_back({p, last.Length + (p - last.Pos).Length(), dashPoint});
      return;
    }
    part.Vertices.push_back({p, 0, dashPoint});
  }
  // The cubic from the last vertex over c1, c2 to end, cut so that no point of it lies further
  // than tolerance from the segments: a cubic's second derivative is at most six times the
  // larger second difference of its control points, and n segments stay within an eighth of
  // that over n squared.
  void AddCurve(Vec2 c1, Vec2 c2, Vec2 end, bool dashPoint, double tolerance) {
    const Vec2 start = parts_.back().Vertices.back().Pos;
    const double bend = std::max((start - c1 * 2 + c2).Length(), (c1 - c2 * 2 + end).Length());
    const int segments = std::clamp(
        static_cast<int>(std::ceil(std::sqrt(6 * bend / (8 * tolerance)))), 1, kMostCurveSegments);
    for (int i = 1; i < segments; ++i) {
      const double t = static_cast<double>(i) / segments;
      const double u = 1 - t;
      Add(start * (u * u * u) + c1 * (3 * u * u * t) + c2 * (3 * u * t * t) + end * (t * t * t),
          false);
    }
    Add(end, dashPoint);
  }

 private:
  std::vector<PathPart>& parts_;
};

}  // namespace

std::vector<PathPart> BuildPathParts(std::span<const FlaggedPoint> points, double tolerance) {
  std::vector<PathPart> parts;
  if (!(tolerance > 0)) tolerance = 1;
  PartWriter writer(parts);
  std::size_t partStart = 0;
  for (std::size_t i = 0; i < points.size();) {
    const FlaggedPoint& p = points[i];
    if (i == 0 || (p.Flags & point_flag::kHoleStart)) {
      writer.Start();
      partStart = i;
      writer.Add(p.Pos, (p.Flags & kDashFlags) != 0);
      ++i;
      continue;
    }
    // A curve: two control points, then its end, all in this part.
    if (IsControl(p.Flags, point_flag::kFirstControl) && i + 2 < points.size() &&
        IsControl(points[i + 1].Flags, point_flag::kSecondControl) &&
        !(points[i + 1].Flags & point_flag::kHoleStart) &&
        !(points[i + 2].Flags & point_flag::kHoleStart)) {
      writer.AddCurve(p.Pos, points[i + 1].Pos, points[i + 2].Pos,
                      (points[i + 2].Flags & kDashFlags) != 0, tolerance);
      i += 3;
    } else {
      writer.Add(p.Pos, (p.Flags & kDashFlags) != 0);
      ++i;
    }
    const bool partEnds = i >= points.size() || (points[i].Flags & point_flag::kHoleStart);
    if (partEnds) {
      PathPart& part = parts.back();
      part.Closed = (points[i - 1].Flags & point_flag::kClose) ||
                    (i - partStart > 2 && points[i - 1].Pos == points[partStart].Pos);
    }
  }
  return parts;
}

PathPosition PositionAt(const PathPart& part, double length, std::size_t hint) {
  const std::vector<PathVertex>& v = part.Vertices;
  PathPosition at;
  if (v.size() < 2) {
    if (!v.empty()) at.Pos = v.front().Pos;
    at.Direction = {1, 0};
    return at;
  }
  length = std::clamp(length, 0.0, part.Total());
  std::size_t s = std::min(hint, v.size() - 2);
  if (v[s].Length > length) s = 0;
  while (s + 2 < v.size() && v[s + 1].Length < length) ++s;
  const double span = v[s + 1].Length - v[s].Length;
  const double t = span > 0 ? (length - v[s].Length) / span : 0;
  at.Segment = s;
  at.Pos = v[s].Pos + (v[s + 1].Pos - v[s].Pos) * t;
  at.Direction = (v[s + 1].Pos - v[s].Pos).Unit();
  return at;
}

std::vector<Vec2> SubPath(const PathPart& part, double from, double to) {
  std::vector<Vec2> out;
  if (part.Vertices.empty()) return out;
  if (to < from) std::swap(from, to);
  const PathPosition start = PositionAt(part, from);
  const PathPosition end = PositionAt(part, to, start.Segment);
  out.push_back(start.Pos);
  for (std::size_t k = start.Segment + 1; k <= end.Segment; ++k) {
    if (!(out.back() == part.Vertices[k].Pos)) out.push_back(part.Vertices[k].Pos);
  }
  if (!(out.back() == end.Pos) || out.size() == 1) out.push_back(end.Pos);
  return out;
}

Vec2 TangentIn(const PathPart& part, std::size_t vertex) {
  const std::vector<PathVertex>& v = part.Vertices;
  if (v.size() < 2) return {1, 0};
  if (vertex == 0) {
    if (part.Closed && v.size() > 2) return (v.back().Pos - v[v.size() - 2].Pos).Unit();
    return (v[1].Pos - v[0].Pos).Unit();
  }
  return (v[vertex].Pos - v[vertex - 1].Pos).Unit();
}

Vec2 TangentOut(const PathPart& part, std::size_t vertex) {
  const std::vector<PathVertex>& v = part.Vertices;
  if (v.size() < 2) return {1, 0};
  if (vertex + 1 >= v.size()) {
    if (part.Closed && v.size() > 2) return (v[1].Pos - v[0].Pos).Unit();
    return (v.back().Pos - v[v.size() - 2].Pos).Unit();
  }
  return (v[vertex + 1].Pos - v[vertex].Pos).Unit();
}

std::vector<Polyline> Polylines(const std::vector<PathPart>& parts) {
  std::vector<Polyline> out;
  out.reserve(parts.size());
  for (const PathPart& part : parts) {
    Polyline line;
    line.Closed = part.Closed;
    line.Points.reserve(part.Vertices.size());
    for (const PathVertex& v : part.Vertices) line.Points.push_back(v.Pos);
    out.push_back(std::move(line));
  }
  return out;
}

}  // namespace terrak::mapdraw
