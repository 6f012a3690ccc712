#include "grid/bulge_search.h"

#include <algorithm>
#include <cmath>

#include "common/rounding.h"
#include "grid/wrap_walker.h"

namespace terrak {

using wrap::Distance2;
using wrap::kFarAway;
using wrap::Step16;
using wrap::Walker;

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
    weights_.resize(static_cast<std::size_t>(4 * steps_));
    for (std::int64_t j = 1; j <= steps_; ++j) {
      const double t = static_cast<double>(j) / static_cast<double>(steps_);
      const double u = 1.0 - t;
      double* b = &weights_[static_cast<std::size_t>(4 * (j - 1))];
      b[0] = u * u * u;
      b[1] = 3.0 * t * u * u;
      b[2] = 3.0 * t * t * u;
      b[3] = t * t * t;
    }
    weightSteps_ = steps_;
  }
  control_.CurveSteps = Wrap16(steps_);
  control_.Work += steps_;
  lastX_ = p_.X;
  lastY_ = p_.Y;
  previousX_ = p_.X;
  previousY_ = p_.Y;
  // Only cells up to column W - 1 and row H - 1 count: as unsigned numbers, those below these.
  limitX_ = static_cast<std::uint64_t>(std::max<std::int64_t>(g_.Columns() - 1, 0));
  limitY_ = static_cast<std::uint64_t>(std::max<std::int64_t>(g_.Rows() - 1, 0));
  found_ = &found;
  if (steps_ >= 1) Visit(1, steps_);
}

namespace {

using Pair = double __attribute__((vector_size(16)));

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

}  // namespace

[[gnu::always_inline]] inline void BulgeSearch::Sample(std::int64_t j) {
  const double* b = &weights_[static_cast<std::size_t>(4 * (j - 1))];
  // Both coordinates at once, each lane with the operations, in the order, of the scalar sum;
  // rounded as RoundToInt rounds, which for these sizes (the weights sum to 1 and the control
  // points are 16-bit) is by adding and taking away 1.5 * 2^52.
  const Pair sum = (((Pair{b[0], b[0]} * c_[0]) + Pair{b[1], b[1]} * c_[1]) +
                    Pair{b[2], b[2]} * c_[2]) +
                   Pair{b[3], b[3]} * c_[3];
  const Pair magic = {0x1.8p52, 0x1.8p52};
  const Pair rounded = (sum + magic) - magic;
  const auto rx = static_cast<std::int64_t>(rounded[0]);
  const auto ry = static_cast<std::int64_t>(rounded[1]);
  // A sample in the cell of the one evaluated before it meets what that one met: nothing new.
  if (rx == previousX_ && ry == previousY_) return;
  previousX_ = rx;
  previousY_ = ry;
  // Most samples fall beside the contours: that test comes before the cells to leave out.
  if (static_cast<std::uint64_t>(rx) >= limitX_ || static_cast<std::uint64_t>(ry) >= limitY_) return;
  if (!tiles_.Contour(rx, ry)) return;
  if ((rx == lastX_ && ry == lastY_) || (rx == n_.X && ry == n_.Y)) return;
  found_->push_back({static_cast<std::int16_t>(rx), static_cast<std::int16_t>(ry), g_(rx, ry)});
  lastX_ = rx;
  lastY_ = ry;
}

void BulgeSearch::Visit(std::int64_t first, std::int64_t last) {
  if (last - first + 1 > kSmallStretch && !control_.EverySample) {
    // A stretch from the first sample or to the last one lies next to P or N, contour cells
    // both, so its box nearly always holds contour: it is split without being tested.
    if (first != 1 && last != steps_) {
      // The samples of the stretch lie within half a cell of the curve between its end
      // parameters, and the curve within the hull of that piece's control points; a box one
      // cell larger covers every sample however the arithmetic rounds.
      const double a = static_cast<double>(first) / static_cast<double>(steps_);
      const double b = static_cast<double>(last) / static_cast<double>(steps_);
      Pair lo, hi;
      Range(c_, a, b, lo, hi);
      const double x0 = lo[0], x1 = hi[0], y0 = lo[1], y1 = hi[1];
      // Only cells up to column W - 1 and row H - 1 can be met.
      if (!tiles_.AnyIn(FloorToInt(x0) - 1, FloorToInt(y0) - 1,
                        std::min<std::int64_t>(CeilToInt(x1) + 1, g_.Columns() - 2),
                        std::min<std::int64_t>(CeilToInt(y1) + 1, g_.Rows() - 2)))
        return;
    }
    const std::int64_t middle = first + (last - first) / 2;
    Visit(first, middle);
    Visit(middle + 1, last);
    return;
  }
  for (std::int64_t j = first; j <= last; ++j) Sample(j);
}

WrapperList BulgeCells(const GridState& grid, WrapCell p, WrapCell n, ShrinkControl& control) {
  BulgeSearch search(grid.HeightGrid, control);
  WrapperList found;
  search.Fill(p, n, found);
  return found;
}

}  // namespace terrak
