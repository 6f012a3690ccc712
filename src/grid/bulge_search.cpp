#include "grid/bulge_search.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/rounding.h"
#include "grid/wrap_walker.h"

namespace terrak {

using wrap::Distance2;
using wrap::kFarAway;
using wrap::Step16;
using wrap::Walker;

namespace {

using Pair = double __attribute__((vector_size(16)));

// The Bernstein weights of samples 1 .. steps (and, for an odd count, of one sample beyond),
// four a sample, two samples at a time: each lane with the scalar operations, in their order.
void FillWeights(double* weights, std::int64_t steps) {
  const Pair count = {static_cast<double>(steps), static_cast<double>(steps)};
  const Pair three = {3.0, 3.0};
  for (std::int64_t j = 1; j <= steps; j += 2, weights += 8) {
    const Pair t = Pair{static_cast<double>(j), static_cast<double>(j + 1)} / count;
    const Pair u = 1.0 - t;
    const Pair threeT = three * t;
    const Pair b0 = u * u * u, b1 = threeT * u * u, b2 = threeT * t * u, b3 = t * t * t;
    const Pair first01 = __builtin_shufflevector(b0, b1, 0, 2), first23 = __builtin_shufflevector(b2, b3, 0, 2);
    const Pair second01 = __builtin_shufflevector(b0, b1, 1, 3), second23 = __builtin_shufflevector(b2, b3, 1, 3);
    std::memcpy(weights, &first01, sizeof first01);
    std::memcpy(weights + 2, &first23, sizeof first23);
    std::memcpy(weights + 4, &second01, sizeof second01);
    std::memcpy(weights + 6, &second23, sizeof second23);
  }
}

// The cubic's blossom f(u, v, w), both coordinates at once: de Casteljau with a parameter per
// level.
Pair Blossom(const Pair c[4], double u, double v, double w) {
  const Pair a0 = c[0] + u * (c[1] - c[0]);
  const Pair a1 = c[1] + u * (c[2] - c[1]);
  const Pair a2 = c[2] + u * (c[3] - c[2]);
  const Pair b0 = a0 + v * (a1 - a0);
  const Pair b1 = a1 + v * (a2 - a1);
  return b0 + w * (b1 - b0);
}

Pair Min(Pair p, Pair q) { return p < q ? p : q; }
Pair Max(Pair p, Pair q) { return p > q ? p : q; }

// The range of the curve between parameters a and b: within its piece's control points
// f(a,a,a), f(a,a,b), f(a,b,b), f(b,b,b).
void Range(const Pair c[4], double a, double b, Pair& lo, Pair& hi) {
  const Pair q0 = Blossom(c, a, a, a), q1 = Blossom(c, a, a, b), q2 = Blossom(c, a, b, b),
             q3 = Blossom(c, b, b, b);
  lo = Min(Min(q0, q1), Min(q2, q3));
  hi = Max(Max(q0, q1), Max(q2, q3));
}

// How far from the curve a sample's cell can lie: half a cell, and a margin far beyond the
// rounding errors of the sums and of the hull's corners (a few units in the last place of
// 16-bit coordinates).
constexpr double kReach = 0.5 + 1.0 / 1024;

// Samples fewer than this are taken one by one.
constexpr std::int64_t kSmallStretch = 16;

// Floor and ceiling of box corners, which lie well within the 64-bit range.
std::int64_t FloorToInt(double v) {
  const auto i = static_cast<std::int64_t>(v);
  return static_cast<double>(i) > v ? i - 1 : i;
}
std::int64_t CeilToInt(double v) {
  const auto i = static_cast<std::int64_t>(v);
  return static_cast<double>(i) < v ? i + 1 : i;
}

// The cell a sample's sum rounds to, its column in the low half and its row in the high half.
// Sums are convex combinations of 16-bit control points, well within the 32-bit range, and are
// rounded in the default rounding mode, halves to even, as RoundToInt rounds.
[[gnu::always_inline]] inline std::uint64_t PackedCell(Pair sum) {
#if defined(__SSE2__)
  return static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_cvtpd_epi32(sum)));
#else
  const Pair magic = {0x1.8p52, 0x1.8p52};
  const Pair rounded = (sum + magic) - magic;
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(rounded[0])) |
         static_cast<std::uint64_t>(static_cast<std::uint32_t>(static_cast<std::int32_t>(rounded[1]))) << 32;
#endif
}

std::uint64_t Pack(std::int64_t x, std::int64_t y) {
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(x)) |
         static_cast<std::uint64_t>(static_cast<std::uint32_t>(static_cast<std::int32_t>(y))) << 32;
}

}  // namespace

void BulgeSearch::Fill(WrapCell p, WrapCell n, WrapperList& found) {
  p_ = p;
  n_ = n;
  dx_ = n.X - p.X;
  dy_ = n.Y - p.Y;
  d2_ = Distance2(p, n);
  d_ = std::sqrt(static_cast<double>(d2_));
  double m;
  if (dx_ == 0)
    m = -10000.0;
  else if (dy_ == 0)
    m = -0.000001;
  else
    m = -(static_cast<double>(dy_) / static_cast<double>(dx_));
  // Towards the left of P->N, which with the counter-clockwise sweep is the map's inside.
  const int sy = p.X < n.X ? 1 : -1;
  const int sx = n.Y > p.Y ? -1 : 1;
  Walker a{p}, b{p};
  // Along a vertical (horizontal) chord the normal is horizontal (vertical): the row-stepping
  // (column-stepping) walker would have to jump by the stand-in slope and is left out.
  const bool aOut = dx_ == 0;
  const bool bOut = dy_ == 0;
  const auto stepA = [&] {
    a.Cell.Y = Step16(a.Cell.Y, sy);
    a.Cell.X = Wrap16(RoundToInt(static_cast<double>(a.Cell.Y - p.Y) * m + p.X));
    a.Distance2 = aOut ? kFarAway : Distance2(p, a.Cell);
  };
  const auto stepB = [&] {
    b.Cell.X = Step16(b.Cell.X, sx);
    b.Cell.Y = Wrap16(RoundToInt(static_cast<double>(b.Cell.X - p.X) / m + p.Y));
    b.Distance2 = bOut ? kFarAway : Distance2(p, b.Cell);
  };
  stepA();
  stepB();
  // Without 16-bit wrap-around each walker passes the chord's length within d + 1 steps, so
  // this bound only ends walks whose cells have wrapped round the 16-bit range.
  const std::int64_t maxSteps = 2 * (static_cast<std::int64_t>(d_) + 2);
  for (std::int64_t i = 0; i < maxSteps && found.empty(); ++i) {
    if (b.Distance2 > a.Distance2) {
      if (a.Distance2 > d2_) return;
      TryBulge(a.Cell, found);
      stepA();
    } else {
      if (b.Distance2 > d2_) return;
      TryBulge(b.Cell, found);
      stepB();
    }
  }
}

void BulgeSearch::TryBulge(WrapCell k, WrapperList& found) {
  const WrapCell c2{Wrap16(std::int64_t{k.X} + dx_), Wrap16(std::int64_t{k.Y} + dy_)};
  c_[0] = Pair{static_cast<double>(p_.X), static_cast<double>(p_.Y)};
  c_[1] = Pair{static_cast<double>(k.X), static_cast<double>(k.Y)};
  c_[2] = Pair{static_cast<double>(c2.X), static_cast<double>(c2.Y)};
  c_[3] = Pair{static_cast<double>(n_.X), static_cast<double>(n_.Y)};
  steps_ = RoundToInt(2.0 * d_);
  if (steps_ != weightSteps_ && steps_ >= 1) {
    // Every bulge between the same two points is sampled at the same parameters.
    weights_.resize(static_cast<std::size_t>(4 * steps_ + 4));
    FillWeights(weights_.data(), steps_);
    weightSteps_ = steps_;
  }
  control_.CurveSteps = Wrap16(steps_);
  control_.Work += steps_;
  last_ = Pack(p_.X, p_.Y);
  previous_ = last_;
  // Only cells up to column W - 1 and row H - 1 count: as unsigned numbers, those below these.
  limitX_ = static_cast<std::uint64_t>(std::max<std::int64_t>(g_.Columns() - 1, 0));
  limitY_ = static_cast<std::uint64_t>(std::max<std::int64_t>(g_.Rows() - 1, 0));
  found_ = &found;
  if (steps_ >= 1) Visit(1, steps_);
}

void BulgeSearch::SampleRun(std::int64_t first, std::int64_t last) {
  // The loop's state in locals: most samples fall in the cell of the one before and cost only
  // their sum, its rounding and one comparison.
  const Pair c0 = c_[0], c1 = c_[1], c2 = c_[2], c3 = c_[3];
  const double* b = &weights_[static_cast<std::size_t>(4 * (first - 1))];
  std::uint64_t previous = previous_;
  for (std::int64_t j = first; j <= last; ++j, b += 4) {
    // Both coordinates at once, each lane with the operations, in the order, of the scalar sum.
    const Pair sum = (((Pair{b[0], b[0]} * c0) + Pair{b[1], b[1]} * c1) + Pair{b[2], b[2]} * c2) +
                     Pair{b[3], b[3]} * c3;
    const std::uint64_t cell = PackedCell(sum);
    // A sample in the cell of the one evaluated before it meets what that one met: nothing new.
    if (cell == previous) continue;
    previous = cell;
    const std::int64_t rx = static_cast<std::int32_t>(cell);
    const std::int64_t ry = static_cast<std::int32_t>(cell >> 32);
    // Most samples fall beside the contours: that test comes before the cells to leave out.
    if (static_cast<std::uint64_t>(rx) >= limitX_ || static_cast<std::uint64_t>(ry) >= limitY_) continue;
    if (!tiles_.Contour(rx, ry)) continue;
    if (cell == last_ || (rx == n_.X && ry == n_.Y)) continue;
    found_->push_back({static_cast<std::int16_t>(rx), static_cast<std::int16_t>(ry), g_(rx, ry)});
    last_ = cell;
  }
  previous_ = previous;
}

void BulgeSearch::Visit(std::int64_t first, std::int64_t last) {
  if (last - first + 1 > kSmallStretch && !control_.EverySample) {
    // A stretch from the first sample or to the last one lies next to P or N, contour cells
    // both, so its box nearly always holds contour: it is split without being tested.
    if (first != 1 && last != steps_) {
      // The samples of the stretch round to cells within half a cell of the curve between its
      // end parameters, and the curve lies within the hull of that piece's control points.
      const double a = static_cast<double>(first) / static_cast<double>(steps_);
      const double b = static_cast<double>(last) / static_cast<double>(steps_);
      Pair lo, hi;
      Range(c_, a, b, lo, hi);
      const double x0 = lo[0], x1 = hi[0], y0 = lo[1], y1 = hi[1];
      // Only cells up to column W - 1 and row H - 1 can be met.
      if (!tiles_.AnyIn(CeilToInt(x0 - kReach), CeilToInt(y0 - kReach),
                        std::min<std::int64_t>(FloorToInt(x1 + kReach), g_.Columns() - 2),
                        std::min<std::int64_t>(FloorToInt(y1 + kReach), g_.Rows() - 2)))
        return;
    }
    const std::int64_t middle = first + (last - first) / 2;
    Visit(first, middle);
    Visit(middle + 1, last);
    return;
  }
  SampleRun(first, last);
}

WrapperList BulgeCells(const GridState& grid, WrapCell p, WrapCell n, ShrinkControl& control) {
  BulgeSearch search(grid.HeightGrid, control);
  WrapperList found;
  search.Fill(p, n, found);
  return found;
}

}  // namespace terrak
