#pragma once
// The segments of many lines in a uniform grid of cells, for the two questions the heights core
// asks thousands of times: which line does a ray from a point meet first, and which line is
// nearest to a point. Round markers (the open ends of lines) can be added: a ray that passes
// one of them before its hit is marked, since it may have slipped through a gap.
#include <cstdint>
#include <optional>
#include <vector>

#include "heights/polyline.h"

namespace terrak::heights {

class SegmentIndex {
 public:
  struct Segment {
    Point A, B;
    std::int32_t Owner = 0;  // the line it belongs to
  };
  struct Marker {
    Point Centre;
    double Radius = 0.0;
    std::int32_t Owner = 0;
  };

  SegmentIndex(std::vector<Segment> segments, std::vector<Marker> markers);

  struct RayHit {
    bool Hit = false;        // false: the ray left the indexed area or went beyond its length
    double Distance = 0.0;   // from the origin to the hit
    std::int32_t Segment = -1;
    bool NearMarker = false;  // it passed a marker of a third line before the hit
  };
  // The first segment the ray meets beyond minDistance and within maxDistance; direction must
  // be a unit vector. Markers of fromOwner and of the line hit do not count.
  RayHit Cast(Point origin, Point direction, double minDistance, double maxDistance,
              std::int32_t fromOwner) const;

  struct Nearby {
    std::int32_t Segment = -1;
    SegmentDistance Where;
  };
  // The segment nearest to p within radius, leaving out skipOwner's; nothing when none is.
  std::optional<Nearby> Nearest(Point p, double radius, std::int32_t skipOwner = -1) const;

  const Segment& SegmentAt(std::int32_t i) const { return segments_[static_cast<std::size_t>(i)]; }
  std::size_t SegmentCount() const { return segments_.size(); }
  // The indexed area: every segment lies inside.
  Point Low() const { return low_; }
  Point High() const { return high_; }

 private:
  std::int64_t CellOf(std::int64_t cx, std::int64_t cy) const { return cy * columns_ + cx; }
  std::int64_t Column(double x) const;
  std::int64_t Row(double y) const;

  std::vector<Segment> segments_;
  std::vector<Marker> markers_;
  Point low_, high_;
  double cell_ = 1.0;
  std::int64_t columns_ = 1, rows_ = 1;
  // Per cell, the items in it: cellStart_[c] to cellStart_[c + 1] in items_; segments as their
  // index, markers as -1 - their index.
  std::vector<std::int32_t> cellStart_;
  std::vector<std::int32_t> items_;
};

}  // namespace terrak::heights
