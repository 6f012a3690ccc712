// The inward sweep of the shrink-wrap written out plainly: every bulge is sampled point by point
// and every sample looked up in the grid, with no tables and no passing over empty stretches.
// The measure for BulgeSearch (grid/bulge_search.cpp), and the search of the reference grid.
#include <cmath>
#include <cstdint>

#include "common/wrap16.h"
#include "grid/shrinkwrap.h"

namespace terrak {

namespace {

struct PlainWalker {
  std::int64_t x = 0, y = 0;
  double distance = 0.0;
};

std::int64_t Round(double v) { return static_cast<std::int64_t>(std::nearbyint(v)); }

}  // namespace

WrapperList BulgeCellsPlain(const GridState& grid, WrapCell p, WrapCell n, ShrinkControl& control) {
  const HeightGridType& g = grid.HeightGrid;
  const std::int64_t w = grid.GridWidth, h = grid.GridHeight;
  const std::int64_t dx = n.X - p.X, dy = n.Y - p.Y;
  const double d = std::sqrt(static_cast<double>(dx * dx + dy * dy));
  const double m = dx == 0 ? -10000.0 : dy == 0 ? -0.000001 : -(static_cast<double>(dy) / static_cast<double>(dx));
  const int sy = p.X < n.X ? 1 : -1;
  const int sx = n.Y > p.Y ? -1 : 1;
  // A walker that would have to jump by the stand-in slope stays out of reach.
  const bool aOut = dx == 0, bOut = dy == 0;
  const auto distance = [&](std::int64_t x, std::int64_t y) {
    const std::int64_t ex = x - p.X, ey = y - p.Y;
    return std::sqrt(static_cast<double>(ex * ex + ey * ey));
  };
  PlainWalker a{p.X, p.Y}, b{p.X, p.Y};
  const auto stepA = [&] {
    a.y += sy;
    a.x = Round(static_cast<double>(a.y - p.Y) * m + p.X);
    a.distance = aOut ? HUGE_VAL : distance(a.x, a.y);
  };
  const auto stepB = [&] {
    b.x += sx;
    b.y = Round(static_cast<double>(b.x - p.X) / m + p.Y);
    b.distance = bOut ? HUGE_VAL : distance(b.x, b.y);
  };
  WrapperList found;
  const auto tryBulge = [&](std::int64_t kx, std::int64_t ky) {
    const auto c1x = static_cast<double>(kx), c1y = static_cast<double>(ky);
    const double c2x = c1x + static_cast<double>(dx), c2y = c1y + static_cast<double>(dy);
    const std::int64_t steps = Round(2.0 * d);
    // Counted as the quick search counts them: the work limit and the step count the outline
    // refinement leaves depend on them.
    control.CurveSteps = Wrap16(steps);
    control.Work += steps;
    std::int64_t lastX = p.X, lastY = p.Y;
    for (std::int64_t j = 1; j <= steps; ++j) {
      const double t = static_cast<double>(j) / static_cast<double>(steps);
      const double u = 1.0 - t;
      const std::int64_t rx = Round(u * u * u * p.X + 3.0 * t * u * u * c1x + 3.0 * t * t * u * c2x +
                                    t * t * t * n.X);
      const std::int64_t ry = Round(u * u * u * p.Y + 3.0 * t * u * u * c1y + 3.0 * t * t * u * c2y +
                                    t * t * t * n.Y);
      if ((rx == lastX && ry == lastY) || (rx == n.X && ry == n.Y)) continue;
      if (rx >= 0 && rx <= w - 1 && ry >= 0 && ry <= h - 1 && g(rx, ry) > 0) {
        found.push_back({static_cast<std::int16_t>(rx), static_cast<std::int16_t>(ry), g(rx, ry)});
        lastX = rx;
        lastY = ry;
      }
    }
  };
  stepA();
  stepB();
  while (found.empty()) {
    if (b.distance > a.distance) {
      if (a.distance > d) break;
      tryBulge(a.x, a.y);
      stepA();
    } else {
      if (b.distance > d) break;
      tryBulge(b.x, b.y);
      stepB();
    }
  }
  return found;
}

}  // namespace terrak
