#pragma once
// Small geometry of polylines in ground metres: lengths, samples along a line with the line's
// direction there, the side of a line a point lies on, and segment crossings.
#include <cmath>
#include <optional>
#include <vector>

#include "heights/height_types.h"

namespace terrak::heights {

inline Point operator+(Point a, Point b) { return {a.X + b.X, a.Y + b.Y}; }
inline Point operator-(Point a, Point b) { return {a.X - b.X, a.Y - b.Y}; }
inline Point operator*(Point a, double f) { return {a.X * f, a.Y * f}; }
inline double Dot(Point a, Point b) { return a.X * b.X + a.Y * b.Y; }
// Positive when b turns left of a.
inline double Cross(Point a, Point b) { return a.X * b.Y - a.Y * b.X; }
inline double Length(Point a) { return std::hypot(a.X, a.Y); }
// The direction turned a quarter to the left.
inline Point LeftOf(Point direction) { return {-direction.Y, direction.X}; }

double LineLength(const std::vector<Point>& line);

// The distance from p to the segment a-b, and where on it (0 at a, 1 at b) the nearest point is.
struct SegmentDistance {
  double Distance = 0.0;
  double Along = 0.0;
};
SegmentDistance DistanceToSegment(Point p, Point a, Point b);

// A point on a line with the unit direction of the line there.
struct LineSample {
  Point At;
  Point Direction;
  std::size_t Segment = 0;  // the segment it lies on (points Segment and Segment + 1)
};

// count samples spread evenly along the line, each in the middle of its share of the length;
// none for a line without length.
std::vector<LineSample> SampleLine(const std::vector<Point>& line, std::size_t count);

// Where segment p-q crosses segment a-b: the fraction along p-q, or nothing when they do not
// cross (touching at an end counts as crossing).
std::optional<double> SegmentCrossing(Point p, Point q, Point a, Point b);

// Twice the signed area the closed line encloses: positive when it runs counter-clockwise, so
// that its inside lies on its left.
double SignedDoubleArea(const std::vector<Point>& line);

}  // namespace terrak::heights
