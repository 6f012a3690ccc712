#include "heights/polyline.h"

#include <algorithm>

namespace terrak::heights {

double LineLength(const std::vector<Point>& line) {
  double length = 0.0;
  for (std::size_t i = 1; i < line.size(); ++i) length += Length(line[i] - line[i - 1]);
  return length;
}

SegmentDistance DistanceToSegment(Point p, Point a, Point b) {
  const Point ab = b - a;
  const double squared = Dot(ab, ab);
  const double along = squared > 0 ? std::clamp(Dot(p - a, ab) / squared, 0.0, 1.0) : 0.0;
  return {Length(p - (a + ab * along)), along};
}

std::vector<LineSample> SampleLine(const std::vector<Point>& line, std::size_t count) {
  std::vector<LineSample> samples;
  const double total = LineLength(line);
  if (count == 0 || !(total > 0)) return samples;
  samples.reserve(count);
  const double step = total / static_cast<double>(count);
  double wanted = step / 2;
  double start = 0.0;  // the length up to the start of segment i
  for (std::size_t i = 1; i < line.size() && samples.size() < count; ++i) {
    const Point d = line[i] - line[i - 1];
    const double length = Length(d);
    while (samples.size() < count && (wanted <= start + length || i + 1 == line.size())) {
      if (!(length > 0)) break;
      const double f = std::clamp((wanted - start) / length, 0.0, 1.0);
      samples.push_back({line[i - 1] + d * f, d * (1.0 / length), i - 1});
      wanted += step;
    }
    start += length;
  }
  return samples;
}

std::optional<double> SegmentCrossing(Point p, Point q, Point a, Point b) {
  const Point r = q - p;
  const Point s = b - a;
  const double denominator = Cross(r, s);
  if (denominator == 0) return std::nullopt;  // parallel: never counted as a crossing
  const Point ap = a - p;
  const double t = Cross(ap, s) / denominator;
  const double u = Cross(ap, r) / denominator;
  if (t < 0 || t > 1 || u < 0 || u > 1) return std::nullopt;
  return t;
}

double SignedDoubleArea(const std::vector<Point>& line) {
  double area = 0.0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const Point a = line[i];
    const Point b = line[(i + 1) % line.size()];
    area += a.X * b.Y - b.X * a.Y;
  }
  return area;
}

}  // namespace terrak::heights
