#include "grid/quick_ray.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "common/rounding.h"
#include "common/wrap16.h"
#include "grid/wrap_walker.h"

namespace terrak {

using wrap::Distance2;
using wrap::ValueAt;
using wrap::Walker;

namespace {

// The radius a stretch to pass over reaches beyond the nearer walker, at first and at most.
constexpr std::int64_t kFirstReach = 16;
constexpr std::int64_t kLongestReach = 512;

bool Fits16(std::int64_t v) {
  return v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max();
}

std::int64_t SquareRoot(std::int64_t v) {
  auto r = static_cast<std::int64_t>(std::sqrt(static_cast<double>(v)));
  while (r * r > v) --r;
  while ((r + 1) * (r + 1) <= v) ++r;
  return r;
}

}  // namespace

void CastRayOverTiles(const HeightGridType& grid, const ContourTiles& tiles, WrapCell& anchor,
                      WrapCell target, WrapperList& list) {
  // A ray along its anchor's row or column walks by a stand-in slope, and its walkers start
  // beyond the target, so it ends at once: left to the walk cell by cell.
  if (anchor.X == target.X || anchor.Y == target.Y) {
    CastRay(grid, anchor, target, list);
    return;
  }
  WrapCell& t = anchor;
  const WrapCell s = target;
  const double m = static_cast<double>(s.Y - t.Y) / static_cast<double>(s.X - t.X);
  const int sy = s.Y > t.Y ? 1 : -1;
  const int sx = t.X < s.X ? 1 : -1;
  // Walker a at step k from the anchor: row t.Y + k sy, walker b: column t.X + k sx. Until the
  // 16-bit range wraps their cells are these, and their distances grow with k.
  const auto aColumn = [&](std::int64_t k) {
    return RoundToInt(static_cast<double>(k * sy) / m) + std::int64_t{t.X};
  };
  const auto bRow = [&](std::int64_t k) {
    return RoundToInt(static_cast<double>(k * sx) * m) + std::int64_t{t.Y};
  };
  const auto aDistance2 = [&](std::int64_t k) {
    const std::int64_t dx = aColumn(k) - t.X;
    return dx * dx + k * k;
  };
  const auto bDistance2 = [&](std::int64_t k) {
    const std::int64_t dy = bRow(k) - t.Y;
    return dy * dy + k * k;
  };
  Walker a{t}, b{t};
  std::int64_t ai = 0, bi = 0;  // the walkers' steps from the anchor
  const auto stepA = [&] {
    ++ai;
    a.Cell.Y = wrap::Step16(a.Cell.Y, sy);
    a.Cell.X = Wrap16(RoundToInt(static_cast<double>(a.Cell.Y - t.Y) / m) + t.X);
    a.Distance2 = Distance2(t, a.Cell);
  };
  const auto stepB = [&] {
    ++bi;
    b.Cell.X = wrap::Step16(b.Cell.X, sx);
    b.Cell.Y = Wrap16(RoundToInt(static_cast<double>(b.Cell.X - t.X) * m) + t.Y);
    b.Distance2 = Distance2(t, b.Cell);
  };
  const auto placeA = [&](std::int64_t k) {
    ai = k;
    a.Cell.Y = Wrap16(t.Y + k * sy);
    a.Cell.X = Wrap16(RoundToInt(static_cast<double>(a.Cell.Y - t.Y) / m) + t.X);
    a.Distance2 = Distance2(t, a.Cell);
  };
  const auto placeB = [&](std::int64_t k) {
    bi = k;
    b.Cell.X = Wrap16(t.X + k * sx);
    b.Cell.Y = Wrap16(RoundToInt(static_cast<double>(b.Cell.X - t.X) * m) + t.Y);
    b.Distance2 = Distance2(t, b.Cell);
  };
  // The last step of a walker whose distance is at most r2, from the next step k on (k - 1 when
  // even that one is farther); guess is where it about lies.
  const auto lastWithin = [](std::int64_t r2, std::int64_t k, std::int64_t guess, const auto& distance2) {
    std::int64_t last = std::max(guess, k - 1);
    while (distance2(last + 1) <= r2) ++last;
    while (last >= k && distance2(last) > r2) --last;
    return last;
  };
  // Passes both walkers over every step within the distance r2 when none of those cells holds
  // contour; returns 1 when it did, 0 when some may, -1 when the walk ends with them.
  const auto passOver = [&](std::int64_t r2) {
    const double r = std::sqrt(static_cast<double>(r2));
    const std::int64_t aLast = lastWithin(r2, ai, static_cast<std::int64_t>(r / std::sqrt(1.0 + 1.0 / (m * m))), aDistance2);
    const std::int64_t bLast = lastWithin(r2, bi, static_cast<std::int64_t>(r / std::sqrt(1.0 + m * m)), bDistance2);
    // The walk ends once a walker's next cell is on the target's row (column).
    const std::int64_t aEnd = (std::int64_t{s.Y} - t.Y) * sy, bEnd = (std::int64_t{s.X} - t.X) * sx;
    const std::int64_t aTo = std::min(aLast, aEnd - 1), bTo = std::min(bLast, bEnd - 1);
    // The cells of steps ai .. aLast + 1 and bi .. bLast + 1 must not have wrapped.
    const std::int64_t ax0 = aColumn(ai), ax1 = aColumn(aLast + 1);
    const std::int64_t ay0 = t.Y + ai * sy, ay1 = t.Y + (aLast + 1) * sy;
    const std::int64_t bx0 = t.X + bi * sx, bx1 = t.X + (bLast + 1) * sx;
    const std::int64_t by0 = bRow(bi), by1 = bRow(bLast + 1);
    if (!Fits16(ax1) || !Fits16(ay1) || !Fits16(bx1) || !Fits16(by1)) return 0;
    std::int64_t x0 = std::numeric_limits<std::int64_t>::max(), y0 = x0;
    std::int64_t x1 = std::numeric_limits<std::int64_t>::min(), y1 = x1;
    const auto cover = [&](std::int64_t cx0, std::int64_t cy0, std::int64_t cx1, std::int64_t cy1) {
      x0 = std::min({x0, cx0, cx1});
      x1 = std::max({x1, cx0, cx1});
      y0 = std::min({y0, cy0, cy1});
      y1 = std::max({y1, cy0, cy1});
    };
    if (aTo >= ai) cover(ax0, ay0, aColumn(aTo), t.Y + aTo * sy);
    if (bTo >= bi) cover(bx0, by0, t.X + bTo * sx, bRow(bTo));
    if (x0 <= x1 && tiles.AnyIn(x0, y0, x1, y1)) return 0;
    if (aLast >= aEnd - 1 || bLast >= bEnd - 1) return -1;
    placeA(aLast + 1);
    placeB(bLast + 1);
    return 1;
  };
  const auto record = [&](WrapCell cell) {
    t = cell;
    list.push_back({t.X, t.Y, grid(t.X, t.Y)});
    ai = 0;
    bi = 0;
  };
  stepA();
  stepB();
  // Distances up to walkedTo are walked cell by cell before the next stretch is tried.
  std::int64_t walkedTo = -1;
  std::int64_t reach = kFirstReach;
  while ((sy > 0 ? a.Cell.Y < s.Y : a.Cell.Y > s.Y) && (sx > 0 ? b.Cell.X < s.X : b.Cell.X > s.X)) {
    const std::int64_t nearer2 = std::min(a.Distance2, b.Distance2);
    if (nearer2 > walkedTo) {
      const std::int64_t r = SquareRoot(nearer2) + reach;
      const int passed = passOver(r * r);
      if (passed < 0) return;
      if (passed > 0) {
        reach = std::min(2 * reach, kLongestReach);
        continue;
      }
      walkedTo = r * r;
      reach = kFirstReach;
    }
    if (b.Distance2 > a.Distance2) {
      if (ValueAt(grid, a.Cell) > 0) {
        record(a.Cell);
        walkedTo = -1;
        b = a;
        stepB();
      }
      stepA();
    } else {
      if (ValueAt(grid, b.Cell) > 0) {
        record(b.Cell);
        walkedTo = -1;
        a = b;
        stepA();
      }
      stepB();
    }
  }
}

}  // namespace terrak
