#pragma once
// Plane geometry of the map drawing, in paper micrometres with y upwards.
#include <algorithm>
#include <cmath>
#include <vector>

namespace terrak::mapdraw {

struct Vec2 {
  double X = 0;
  double Y = 0;
  Vec2 operator+(Vec2 o) const { return {X + o.X, Y + o.Y}; }
  Vec2 operator-(Vec2 o) const { return {X - o.X, Y - o.Y}; }
  Vec2 operator*(double f) const { return {X * f, Y * f}; }
  Vec2 operator-() const { return {-X, -Y}; }
  bool operator==(const Vec2&) const = default;
  double Dot(Vec2 o) const { return X * o.X + Y * o.Y; }
  double Cross(Vec2 o) const { return X * o.Y - Y * o.X; }
  double Length() const { return std::hypot(X, Y); }
  // The unit vector of the same direction; zero stays zero.
  Vec2 Unit() const {
    const double l = Length();
    return l > 0 ? Vec2{X / l, Y / l} : Vec2{};
  }
  Vec2 Left() const { return {-Y, X}; }  // turned a quarter counterclockwise
  double Angle() const { return std::atan2(Y, X); }
};

// Turns v counterclockwise by the angle whose cosine and sine are given.
inline Vec2 Rotated(Vec2 v, double cosine, double sine) {
  return {v.X * cosine - v.Y * sine, v.X * sine + v.Y * cosine};
}

// A line or a ring of points, ready to be filled or stroked.
struct Polyline {
  std::vector<Vec2> Points;
  bool Closed = false;
};

struct Box {
  double MinX = 1e300, MinY = 1e300, MaxX = -1e300, MaxY = -1e300;
  bool Empty() const { return MinX > MaxX; }
  void Add(Vec2 p) {
    MinX = std::min(MinX, p.X);
    MinY = std::min(MinY, p.Y);
    MaxX = std::max(MaxX, p.X);
    MaxY = std::max(MaxY, p.Y);
  }
  void Include(const Box& b) {
    if (b.Empty()) return;
    Add(Vec2{b.MinX, b.MinY});
    Add(Vec2{b.MaxX, b.MaxY});
  }
  Box Grown(double by) const {
    return Empty() ? *this : Box{MinX - by, MinY - by, MaxX + by, MaxY + by};
  }
};

}  // namespace terrak::mapdraw
