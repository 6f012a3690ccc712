#pragma once
// Small maps for the heights core's tests, drawn in ground metres.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <ostream>
#include <vector>

#include "heights/contour_roles.h"
#include "heights/height_result.h"
#include "heights/height_types.h"

namespace terrak::heights {
// Heights in test messages.
inline std::ostream& operator<<(std::ostream& out, const HeightValue& h) {
  return h.Has ? out << h.Metres << " m" : out << "none";
}
inline std::ostream& operator<<(std::ostream& out, HeightState s) { return out << StateName(s); }
}  // namespace terrak::heights

namespace terrak::heights::testing {

inline constexpr std::int32_t kContour = 101000;
inline constexpr std::int32_t kIndex = 102000;
inline constexpr std::int32_t kForm = 103000;
inline constexpr std::int32_t kSlope = 104000;
inline constexpr std::int32_t kPath = 507000;

inline ContourRoles TestRoles() {
  return {.Contours = {kContour}, .IndexContours = {kIndex}, .FormLines = {kForm}, .SlopeLines = {kSlope}};
}

// A circle of radius r round (x, y), counter-clockwise, its first point repeated at the end.
inline std::vector<Point> Circle(double x, double y, double r, int points = 48) {
  std::vector<Point> line;
  for (int i = 0; i <= points; ++i) {
    const double a = 2 * std::numbers::pi * (i % points) / points;
    line.push_back({x + r * std::cos(a), y + r * std::sin(a)});
  }
  return line;
}

// The part of a line from point first to point last (both included).
inline std::vector<Point> Part(const std::vector<Point>& line, std::size_t first,
                               std::size_t last) {
  return {line.begin() + static_cast<std::ptrdiff_t>(first),
          line.begin() + static_cast<std::ptrdiff_t>(last) + 1};
}

class MapDrawing {
 public:
  MapDrawing() {
    map_.JoinTolerance = 0.5;
    map_.MetresPerPaperMm = 10;
  }
  // Adds an object; returns its number.
  std::int32_t Add(std::int32_t symbol, std::vector<Point> points, HeightValue height = {}) {
    map_.Objects.push_back({symbol, TestRoles().RoleOf(symbol), std::move(points), height});
    return static_cast<std::int32_t>(map_.Objects.size()) - 1;
  }
  // A slope line tick from the point on a line, pointing len metres towards (dx, dy).
  std::int32_t Tick(Point at, double dx, double dy, double len = 5) {
    const double n = std::hypot(dx, dy);
    return Add(kSlope, {at, {at.X + dx / n * len, at.Y + dy / n * len}});
  }
  const HeightMap& Map() const { return map_; }
  HeightMap& Map() { return map_; }

 private:
  HeightMap map_;
};

}  // namespace terrak::heights::testing

namespace terrak::heights::testing {

// A slope as a mapper draws it: contours every 20 m northwards across a map 400 m wide, from
// 100 m (an index contour) up by 5 m each, every one cut into three objects that run either
// way, one of them ending 6 m short of the next (a gap left for a label), one a straight piece
// of two points; a form line in the flat stretch between the third and fourth contour ending
// in open ground; a path of another symbol across everything. Returns the objects of each contour, south first.
inline std::vector<std::vector<std::int32_t>> DrawSlope(MapDrawing& d, int contours = 8) {
  std::vector<std::vector<std::int32_t>> objects;
  for (int k = 0; k < contours; ++k) {
    const double y = 20.0 * k;
    const std::int32_t symbol = k % 5 == 0 ? kIndex : kContour;
    const auto line = [&](double x0, double x1) {
      std::vector<Point> points;
      for (double x = x0; x <= x1 + 1e-9; x += 10) points.push_back({x, y + 2 * std::sin(x / 30)});
      if (k % 2 == 1) std::reverse(points.begin(), points.end());
      return points;
    };
    std::vector<Point> middle = line(120, 250);
    if (k == 3) middle = {middle.front(), middle.back()};  // a straight piece of two points
    objects.push_back({d.Add(symbol, line(0, 120)), d.Add(symbol, std::move(middle)),
                       d.Add(symbol, line(k == 2 ? 260 : 250, 400))});
  }
  d.Add(kForm, {{80, 50}, {120, 51}, {160, 50}});
  d.Add(kPath, {{10, -10}, {390, 20.0 * contours}});
  return objects;
}

}  // namespace terrak::heights::testing
