#include "heights/segment_index.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace terrak::heights {

namespace {

// About this many segments per cell on average, and never more cells than this.
constexpr double kSegmentsPerCell = 2.0;
constexpr std::int64_t kMostCells = 4'000'000;

}  // namespace

SegmentIndex::SegmentIndex(std::vector<Segment> segments, std::vector<Marker> markers)
    : segments_(std::move(segments)), markers_(std::move(markers)) {
  double minX = std::numeric_limits<double>::infinity(), minY = minX;
  double maxX = -minX, maxY = -minX;
  for (const Segment& s : segments_) {
    minX = std::min({minX, s.A.X, s.B.X});
    minY = std::min({minY, s.A.Y, s.B.Y});
    maxX = std::max({maxX, s.A.X, s.B.X});
    maxY = std::max({maxY, s.A.Y, s.B.Y});
  }
  if (!(minX <= maxX)) minX = minY = maxX = maxY = 0.0;
  low_ = {minX, minY};
  high_ = {maxX, maxY};
  const double width = std::max(maxX - minX, 1e-6);
  const double height = std::max(maxY - minY, 1e-6);
  const double wantedCells =
      std::clamp(static_cast<double>(segments_.size()) / kSegmentsPerCell, 1.0,
                 static_cast<double>(kMostCells));
  cell_ = std::max(std::sqrt(width * height / wantedCells), 1e-3);
  // A very long, thin area would still give too many cells.
  while ((width / cell_ + 1) * (height / cell_ + 1) > static_cast<double>(kMostCells)) cell_ *= 2;
  columns_ = static_cast<std::int64_t>(width / cell_) + 1;
  rows_ = static_cast<std::int64_t>(height / cell_) + 1;

  // Each item goes into every cell its box touches: counted first, then placed.
  const auto forEachCell = [&](double x0, double y0, double x1, double y1, auto&& visit) {
    const std::int64_t c0 = Column(std::min(x0, x1)), c1 = Column(std::max(x0, x1));
    const std::int64_t r0 = Row(std::min(y0, y1)), r1 = Row(std::max(y0, y1));
    for (std::int64_t r = r0; r <= r1; ++r)
      for (std::int64_t c = c0; c <= c1; ++c) visit(CellOf(c, r));
  };
  const auto forEachItem = [&](auto&& visit) {
    for (std::size_t i = 0; i < segments_.size(); ++i) {
      const Segment& s = segments_[i];
      // Long segments walk their cells; short ones take their box.
      const double length = Length(s.B - s.A);
      const std::int64_t steps = static_cast<std::int64_t>(length / cell_) + 1;
      if (steps <= 2) {
        forEachCell(s.A.X, s.A.Y, s.B.X, s.B.Y,
                    [&](std::int64_t cell) { visit(cell, static_cast<std::int32_t>(i)); });
        continue;
      }
      std::int64_t lastCell = -1;
      for (std::int64_t k = 0; k < steps; ++k) {
        const Point a = s.A + (s.B - s.A) * (static_cast<double>(k) / static_cast<double>(steps));
        const Point b =
            s.A + (s.B - s.A) * (static_cast<double>(k + 1) / static_cast<double>(steps));
        forEachCell(a.X, a.Y, b.X, b.Y, [&](std::int64_t cell) {
          if (cell != lastCell) visit(cell, static_cast<std::int32_t>(i));
        });
        lastCell = CellOf(Column(b.X), Row(b.Y));
      }
    }
    for (std::size_t i = 0; i < markers_.size(); ++i) {
      const Marker& m = markers_[i];
      forEachCell(m.Centre.X - m.Radius, m.Centre.Y - m.Radius, m.Centre.X + m.Radius,
                  m.Centre.Y + m.Radius,
                  [&](std::int64_t cell) { visit(cell, -1 - static_cast<std::int32_t>(i)); });
    }
  };
  std::vector<std::int32_t> counts(static_cast<std::size_t>(columns_ * rows_) + 1, 0);
  forEachItem([&](std::int64_t cell, std::int32_t) { ++counts[static_cast<std::size_t>(cell)]; });
  cellStart_.assign(counts.size(), 0);
  std::int32_t total = 0;
  for (std::size_t c = 0; c + 1 < counts.size(); ++c) {
    cellStart_[c] = total;
    total += counts[c];
  }
  cellStart_.back() = total;
  items_.assign(static_cast<std::size_t>(total), 0);
  std::vector<std::int32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
  forEachItem([&](std::int64_t cell, std::int32_t item) {
    items_[static_cast<std::size_t>(fill[static_cast<std::size_t>(cell)]++)] = item;
  });
  // A segment walked in pieces may sit twice in a cell; harmless for the questions asked.
}

std::int64_t SegmentIndex::Column(double x) const {
  return std::clamp<std::int64_t>(static_cast<std::int64_t>(std::floor((x - low_.X) / cell_)), 0,
                                  columns_ - 1);
}

std::int64_t SegmentIndex::Row(double y) const {
  return std::clamp<std::int64_t>(static_cast<std::int64_t>(std::floor((y - low_.Y) / cell_)), 0,
                                  rows_ - 1);
}

SegmentIndex::RayHit SegmentIndex::Cast(Point origin, Point direction, double minDistance,
                                        double maxDistance, std::int32_t fromOwner) const {
  RayHit result;
  if (segments_.empty()) return result;
  // Clip the ray to the indexed area.
  double t0 = 0.0, t1 = maxDistance;
  const double o[2] = {origin.X, origin.Y};
  const double d[2] = {direction.X, direction.Y};
  const double lo[2] = {low_.X, low_.Y};
  const double hi[2] = {high_.X, high_.Y};
  for (int axis = 0; axis < 2; ++axis) {
    if (d[axis] == 0) {
      if (o[axis] < lo[axis] || o[axis] > hi[axis]) return result;
      continue;
    }
    double a = (lo[axis] - o[axis]) / d[axis];
    double b = (hi[axis] - o[axis]) / d[axis];
    if (a > b) std::swap(a, b);
    t0 = std::max(t0, a);
    t1 = std::min(t1, b);
  }
  if (t0 > t1) return result;

  // Walk the cells the ray passes (Amanatides and Woo), nearest first.
  const Point start = origin + direction * t0;
  std::int64_t cx = Column(start.X), cy = Row(start.Y);
  const std::int64_t stepX = direction.X > 0 ? 1 : -1;
  const std::int64_t stepY = direction.Y > 0 ? 1 : -1;
  const double inf = std::numeric_limits<double>::infinity();
  const auto boundary = [&](std::int64_t c, std::int64_t step, double base) {
    return base + static_cast<double>(step > 0 ? c + 1 : c) * cell_;
  };
  double nextX = direction.X != 0 ? (boundary(cx, stepX, low_.X) - origin.X) / direction.X : inf;
  double nextY = direction.Y != 0 ? (boundary(cy, stepY, low_.Y) - origin.Y) / direction.Y : inf;
  const double deltaX = direction.X != 0 ? cell_ / std::fabs(direction.X) : inf;
  const double deltaY = direction.Y != 0 ? cell_ / std::fabs(direction.Y) : inf;

  // The clip only says where the walk starts: a hit on the area's edge may lie a rounding
  // beyond t1, and must still count.
  double best = maxDistance;
  std::int32_t bestSegment = -1;
  std::vector<std::int32_t> markersMet;
  while (true) {
    const std::int64_t cell = CellOf(cx, cy);
    for (std::int32_t k = cellStart_[static_cast<std::size_t>(cell)];
         k < cellStart_[static_cast<std::size_t>(cell) + 1]; ++k) {
      const std::int32_t item = items_[static_cast<std::size_t>(k)];
      if (item < 0) {
        markersMet.push_back(-1 - item);
        continue;
      }
      const Segment& s = segments_[static_cast<std::size_t>(item)];
      const Point e = s.B - s.A;
      const double denominator = Cross(direction, e);
      if (denominator == 0) continue;
      const Point ao = s.A - origin;
      const double t = Cross(ao, e) / denominator;
      const double u = Cross(ao, direction) / denominator;
      if (u < 0 || u > 1 || t <= minDistance || t >= best) continue;
      best = t;
      bestSegment = item;
    }
    const double cellExit = std::min(nextX, nextY);
    if (cellExit >= best) break;
    if (nextX < nextY) {
      cx += stepX;
      nextX += deltaX;
    } else {
      cy += stepY;
      nextY += deltaY;
    }
    if (cx < 0 || cy < 0 || cx >= columns_ || cy >= rows_) break;
  }
  if (bestSegment < 0) return result;
  result.Hit = true;
  result.Distance = best;
  result.Segment = bestSegment;
  const std::int32_t hitOwner = segments_[static_cast<std::size_t>(bestSegment)].Owner;
  const Point hitPoint = origin + direction * best;
  for (std::int32_t m : markersMet) {
    const Marker& marker = markers_[static_cast<std::size_t>(m)];
    if (marker.Owner == fromOwner || marker.Owner == hitOwner) continue;
    if (DistanceToSegment(marker.Centre, origin, hitPoint).Distance < marker.Radius) {
      result.NearMarker = true;
      break;
    }
  }
  return result;
}

std::optional<SegmentIndex::Nearby> SegmentIndex::Nearest(Point p, double radius,
                                                          std::int32_t skipOwner) const {
  std::optional<Nearby> best;
  if (segments_.empty()) return best;
  const std::int64_t c0 = Column(p.X - radius), c1 = Column(p.X + radius);
  const std::int64_t r0 = Row(p.Y - radius), r1 = Row(p.Y + radius);
  for (std::int64_t r = r0; r <= r1; ++r)
    for (std::int64_t c = c0; c <= c1; ++c) {
      const std::int64_t cell = CellOf(c, r);
      for (std::int32_t k = cellStart_[static_cast<std::size_t>(cell)];
           k < cellStart_[static_cast<std::size_t>(cell) + 1]; ++k) {
        const std::int32_t item = items_[static_cast<std::size_t>(k)];
        if (item < 0) continue;
        const Segment& s = segments_[static_cast<std::size_t>(item)];
        if (s.Owner == skipOwner) continue;
        const SegmentDistance where = DistanceToSegment(p, s.A, s.B);
        if (where.Distance <= radius && (!best || where.Distance < best->Where.Distance))
          best = Nearby{item, where};
      }
    }
  return best;
}

}  // namespace terrak::heights
