// The segment index answers its two questions as a walk over every segment would.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>

#include "heights/segment_index.h"

namespace terrak::heights {
namespace {

using Segment = SegmentIndex::Segment;

// The first crossing beyond minDistance and within maxDistance, found by trying every segment.
std::optional<double> FirstCrossing(const std::vector<Segment>& segments, Point origin,
                                    Point direction, double minDistance, double maxDistance) {
  std::optional<double> best;
  for (const Segment& s : segments) {
    const Point e = s.B - s.A;
    const double denominator = Cross(direction, e);
    if (denominator == 0) continue;
    const double t = Cross(s.A - origin, e) / denominator;
    const double u = Cross(s.A - origin, direction) / denominator;
    if (u < 0 || u > 1 || t <= minDistance || t >= maxDistance) continue;
    if (!best || t < *best) best = t;
  }
  return best;
}

TEST(SegmentIndex, RaysAndNearestSegmentsAgreeWithAWalkOverEverySegment) {
  std::mt19937 random(7);
  // Widths that leave a narrow strip of cells at the east and north edges, and one much wider
  // than high, so that the grid's last column and row are each tried.
  for (const Point size : {Point{1000.3, 613.7}, Point{997.0, 1003.9}, Point{4000.0, 90.0}}) {
    std::uniform_real_distribution<double> x(0.0, size.X), y(0.0, size.Y), turn(0.0, 6.283);
    std::vector<Segment> segments;
    for (std::int32_t i = 0; i < 300; ++i) {
      const Point a{x(random), y(random)};
      const double angle = turn(random), length = 5.0 + 40.0 * (i % 5);
      segments.push_back({a, a + Point{std::cos(angle), std::sin(angle)} * length, i});
    }
    // Two along the far edges: a ray may meet them exactly where it leaves the indexed area.
    segments.push_back({{size.X, 0.0}, {size.X, size.Y}, 300});
    segments.push_back({{0.0, size.Y}, {size.X, size.Y}, 301});
    const SegmentIndex index(segments, {});
    for (int ray = 0; ray < 2000; ++ray) {
      const Point origin = ray % 4 == 0 ? Point{size.X - x(random) * 0.01, y(random)}
                                        : Point{x(random), y(random)};
      const double angle = turn(random);
      const Point direction{std::cos(angle), std::sin(angle)};
      const SegmentIndex::RayHit hit = index.Cast(origin, direction, 0.5, 700.0, -1);
      const std::optional<double> expected = FirstCrossing(segments, origin, direction, 0.5, 700.0);
      ASSERT_EQ(hit.Hit, expected.has_value()) << "ray " << ray << " of " << size.X;
      if (expected) {
        ASSERT_NEAR(hit.Distance, *expected, 1e-9) << "ray " << ray;
      }

      const double radius = 3.0 + ray % 60;
      const std::optional<SegmentIndex::Nearby> near = index.Nearest(origin, radius);
      double nearest = radius;
      bool any = false;
      for (const Segment& s : segments) {
        const double d = DistanceToSegment(origin, s.A, s.B).Distance;
        if (d <= nearest) {
          nearest = d;
          any = true;
        }
      }
      ASSERT_EQ(near.has_value(), any) << "point " << ray;
      if (any) {
        ASSERT_NEAR(near->Where.Distance, nearest, 1e-9);
      }
    }
  }
}

}  // namespace
}  // namespace terrak::heights
