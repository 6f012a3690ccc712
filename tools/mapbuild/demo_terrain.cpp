#include "mapbuild/demo_terrain.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/rounding.h"

namespace terrak::testing {
namespace {

constexpr double kHillBlend = 8;  // metres over which two hills' heights blend

// SplitMix64: the same numbers from the same seed on every platform, unlike the standard
// library's distributions.
class SeededNumbers {
 public:
  explicit SeededNumbers(std::uint32_t seed) : state_(seed) {}
  double Between(double low, double high) {
    state_ += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return low + (high - low) * static_cast<double>(z >> 11) / 9007199254740992.0;  // 2^53
  }

 private:
  std::uint64_t state_;
};

double ValleyFloorY(const DemoTerrain& t, double x) {
  return t.ValleyY + t.ValleySlope * (x - t.Width / 2) +
         t.ValleyWave * std::sin(2 * std::numbers::pi * x / t.Width + t.ValleyPhase);
}

// The ground before the lake is let in.
double DryHeight(const DemoTerrain& t, double x, double y) {
  double h = t.Base + t.TiltX * (x / t.Width - 0.5) + t.TiltY * (y / t.Depth - 0.5);
  // Overlapping hills merge like the higher of them (a smooth maximum), so crowded hills do
  // not pile up beyond the intended heights.
  double merged = 0;
  for (const DemoHill& hill : t.Hills) {
    const double dx = x - hill.X, dy = y - hill.Y;
    const double rise =
        hill.Rise * std::exp(-(dx * dx + dy * dy) / (2 * hill.Radius * hill.Radius));
    merged += std::expm1(rise / kHillBlend);
  }
  h += kHillBlend * std::log1p(merged);
  const double across = (y - ValleyFloorY(t, x)) / t.ValleyWidth;
  return h - t.ValleyDepth * std::exp(-across * across);
}

// The lake's ellipse radius of (x, y): 1 on the shore.
double LakeRadius(const DemoTerrain& t, double x, double y) {
  const double dx = (x - t.LakeX) / t.LakeRadiusX, dy = (y - t.LakeY) / t.LakeRadiusY;
  return std::sqrt(dx * dx + dy * dy);
}

constexpr double kShoreBlend = 0.6;  // the ground meets the water over this much of the radius

}  // namespace

DemoTerrain MakeDemoTerrain(double width, double depth, std::uint32_t seed) {
  SeededNumbers numbers(seed);
  // Features keep a ground size on large maps; there are more of them instead.
  const double size = std::min({width, depth, 800.0});
  DemoTerrain t;
  t.Width = width;
  t.Depth = depth;
  t.TiltX = numbers.Between(-15, 15);
  t.TiltY = numbers.Between(-10, 10);
  t.ValleyY = depth * numbers.Between(0.38, 0.5);
  t.ValleySlope = numbers.Between(-0.12, 0.12) * depth / width;
  t.ValleyWave = std::min(width, depth) * 0.06;
  t.ValleyPhase = numbers.Between(0, 2 * std::numbers::pi);
  t.ValleyWidth = size * 0.1;
  t.ValleyDepth = 35;
  const auto hills = std::min<std::int64_t>(64, 4 + RoundToInt(width * depth / 360000));
  for (std::int64_t k = 0; k < hills; ++k) {
    DemoHill hill;
    hill.Radius = size * numbers.Between(0.12, 0.2);
    hill.Rise = numbers.Between(45, 85);
    hill.X = width * numbers.Between(0.05, 0.95);
    hill.Y = depth * numbers.Between(0.05, 0.95);
    // Hills stand beside the valley, not in it.
    const double floorY = ValleyFloorY(t, hill.X);
    const double clearance = 1.5 * t.ValleyWidth + hill.Radius;
    if (std::fabs(hill.Y - floorY) < clearance)
      hill.Y = floorY + (hill.Y >= floorY ? clearance : -clearance);
    hill.Y = std::clamp(hill.Y, depth * 0.05, depth * 0.95);
    t.Hills.push_back(hill);
  }
  t.LakeX = width * numbers.Between(0.3, 0.7);
  t.LakeY = ValleyFloorY(t, t.LakeX);
  t.LakeRadiusX = size * 0.075;
  t.LakeRadiusY = size * 0.045;
  // The water lies below every point of the shore, at a level that no contour interval of whole
  // or half metres can hit.
  double lowestShore = 1e9;
  for (const GroundPoint& p : LakeShore(t, 256))
    lowestShore = std::min(lowestShore, DryHeight(t, p.X, p.Y));
  t.LakeLevel = std::floor(lowestShore) - 0.63;
  return t;
}

double TerrainHeight(const DemoTerrain& t, double x, double y) {
  const double dry = DryHeight(t, x, y);
  const double r = LakeRadius(t, x, y);
  if (r >= 1 + kShoreBlend) return dry;
  double w = 1;
  if (r > 1) {
    const double s = (1 + kShoreBlend - r) / kShoreBlend;
    w = s * s * (3 - 2 * s);
  }
  return dry + w * (t.LakeLevel - dry);
}

std::vector<GroundPoint> LakeShore(const DemoTerrain& t, int vertices) {
  std::vector<GroundPoint> shore;
  for (int k = 0; k < vertices; ++k) {
    const double a = 2 * std::numbers::pi * k / vertices;
    shore.push_back({t.LakeX + t.LakeRadiusX * std::cos(a), t.LakeY + t.LakeRadiusY * std::sin(a)});
  }
  shore.push_back(shore.front());
  return shore;
}

}  // namespace terrak::testing
