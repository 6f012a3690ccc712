#include "grid/bulge_search.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/rounding.h"
#include "grid/bulge_piece.h"
#include "grid/wrap_walker.h"

namespace terrak {

using wrap::Distance2;
using wrap::kFarAway;
using wrap::Step16;
using wrap::Walker;

namespace {

using Pair = double __attribute__((vector_size(16)));

// The Bernstein weights of blocks from .. to of two samples each, of steps samples in all
// (sample j is lane (j - 1) % 2 of block (j - 1) / 2; the last block of an odd count holds one
// sample beyond): each weight of the pair in the two lanes of one vector, each lane computed
// with the operations, in the order, of the scalar weight.
void FillWeights(double* weights, std::int64_t steps, std::int64_t from, std::int64_t to) {
  const Pair count = {static_cast<double>(steps), static_cast<double>(steps)};
  const Pair three = {3.0, 3.0};
  for (std::int64_t i = from; i <= to; ++i) {
    const std::int64_t j = 2 * i + 1;
    const Pair t = Pair{static_cast<double>(j), static_cast<double>(j + 1)} / count;
    const Pair u = 1.0 - t;
    const Pair threeT = three * t;
    const Pair b[4] = {u * u * u, threeT * u * u, threeT * t * u, t * t * t};
    std::memcpy(weights + 8 * i, b, sizeof b);
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
constexpr std::int64_t kSmallStretch = 12;

// The first and the last columns and rows of the cells within reach of the box lo .. hi. The
// box lies within the hull of 16-bit control points, so lo - kReach and hi + kReach lie within
// +-32770, and with an offset of 2^16 every value to round is positive, where truncation is the
// floor; the offset's rounding can only widen the cells, by the margin of kReach at most.
struct CellBox {
  std::int64_t X0, Y0, X1, Y1;
};
CellBox CellsInReach(Pair lo, Pair hi) {
  constexpr double kOffset = 65536.0;
  const Pair offset = {kOffset, kOffset}, reach = {kReach, kReach};
  // ceil(v) = offset - floor(offset - v), floor(v) = floor(v + offset) - offset.
  const Pair first = offset - (lo - reach), last = (hi + reach) + offset;
  const auto f0 = static_cast<std::int64_t>(first[0]), f1 = static_cast<std::int64_t>(first[1]);
  const auto l0 = static_cast<std::int64_t>(last[0]), l1 = static_cast<std::int64_t>(last[1]);
  const auto o = static_cast<std::int64_t>(kOffset);
  return {o - f0, o - f1, l0 - o, l1 - o};
}

// The cells two samples' coordinates round to, each as its column in the low half of a word and
// its row in the high half. Sums are convex combinations of 16-bit control points, well within
// the 32-bit range, and are rounded in the default rounding mode, halves to even, as RoundToInt
// rounds.
struct TwoCells {
#if defined(__SSE2__)
  __m128i Both;
  TwoCells(Pair x, Pair y) : Both(_mm_unpacklo_epi32(_mm_cvtpd_epi32(x), _mm_cvtpd_epi32(y))) {}
  std::uint64_t First() const { return static_cast<std::uint64_t>(_mm_cvtsi128_si64(Both)); }
  std::uint64_t Second() const {
    return static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(Both, Both)));
  }
  bool BothAre(std::uint64_t cell) const {
    const __m128i twice = _mm_set1_epi64x(static_cast<long long>(cell));
    return _mm_movemask_epi8(_mm_cmpeq_epi32(Both, twice)) == 0xffff;
  }
#else
  std::uint64_t Cells[2];
  TwoCells(Pair x, Pair y) {
    const Pair magic = {0x1.8p52, 0x1.8p52};
    const Pair rx = (x + magic) - magic, ry = (y + magic) - magic;
    for (int i = 0; i < 2; ++i)
      Cells[i] = static_cast<std::uint32_t>(static_cast<std::int32_t>(rx[i])) |
                 static_cast<std::uint64_t>(static_cast<std::uint32_t>(static_cast<std::int32_t>(ry[i]))) << 32;
  }
  std::uint64_t First() const { return Cells[0]; }
  std::uint64_t Second() const { return Cells[1]; }
  bool BothAre(std::uint64_t cell) const { return Cells[0] == cell && Cells[1] == cell; }
#endif
};

std::uint64_t Pack(std::int64_t x, std::int64_t y) {
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(x)) |
         static_cast<std::uint64_t>(static_cast<std::uint32_t>(static_cast<std::int32_t>(y))) << 32;
}

}  // namespace

namespace {

// The cells K along the normal at P, nearest first, that the bulges between P and N go
// through, up to the chord's length.
class NormalWalk {
 public:
  NormalWalk(WrapCell p, WrapCell n, std::int64_t d2, double d) : p_(p), d2_(d2) {
    const std::int32_t dx = n.X - p.X, dy = n.Y - p.Y;
    if (dx == 0)
      m_ = -10000.0;
    else if (dy == 0)
      m_ = -0.000001;
    else
      m_ = -(static_cast<double>(dy) / static_cast<double>(dx));
    // Towards the left of P->N, which with the counter-clockwise sweep is the map's inside.
    sy_ = p.X < n.X ? 1 : -1;
    sx_ = n.Y > p.Y ? -1 : 1;
    // Along a vertical (horizontal) chord the normal is horizontal (vertical): the row-stepping
    // (column-stepping) walker would have to jump by the stand-in slope and is left out.
    aOut_ = dx == 0;
    bOut_ = dy == 0;
    // Without 16-bit wrap-around each walker passes the chord's length within d + 1 steps, so
    // this bound only ends walks whose cells have wrapped round the 16-bit range.
    stepsLeft_ = 2 * (static_cast<std::int64_t>(d) + 2);
    StepA();
    StepB();
  }

  // The next cell, false once the walk has ended.
  bool Next(WrapCell& k) {
    if (stepsLeft_ <= 0) return false;
    --stepsLeft_;
    Walker& nearer = b_.Distance2 > a_.Distance2 ? a_ : b_;
    if (nearer.Distance2 > d2_) {
      stepsLeft_ = 0;
      return false;
    }
    k = nearer.Cell;
    if (&nearer == &a_)
      StepA();
    else
      StepB();
    return true;
  }

 private:
  void StepA() {
    a_.Cell.Y = Step16(a_.Cell.Y, sy_);
    a_.Cell.X = Wrap16(RoundToInt(static_cast<double>(a_.Cell.Y - p_.Y) * m_ + p_.X));
    a_.Distance2 = aOut_ ? kFarAway : Distance2(p_, a_.Cell);
  }
  void StepB() {
    b_.Cell.X = Step16(b_.Cell.X, sx_);
    b_.Cell.Y = Wrap16(RoundToInt(static_cast<double>(b_.Cell.X - p_.X) / m_ + p_.Y));
    b_.Distance2 = bOut_ ? kFarAway : Distance2(p_, b_.Cell);
  }

  WrapCell p_;
  std::int64_t d2_;
  double m_ = 0.0;
  int sx_ = 1, sy_ = 1;
  bool aOut_ = false, bOut_ = false;
  std::int64_t stepsLeft_ = 0;
  Walker a_{p_}, b_{p_};
};

}  // namespace

void BulgeSearch::Fill(WrapCell p, WrapCell n, WrapperList& found) {
  p_ = p;
  n_ = n;
  dx_ = n.X - p.X;
  dy_ = n.Y - p.Y;
  d2_ = Distance2(p, n);
  d_ = std::sqrt(static_cast<double>(d2_));
  chord_ = Pair{static_cast<double>(dx_), static_cast<double>(dy_)};
  c_[0] = Pair{static_cast<double>(p.X), static_cast<double>(p.Y)};
  c_[3] = Pair{static_cast<double>(n.X), static_cast<double>(n.Y)};
  steps_ = RoundToInt(2.0 * d_);
  if (steps_ != weightSteps_ && steps_ >= 1) {
    // Every bulge between the same two points is sampled at the same parameters. Most samples
    // are never evaluated (their stretches are passed over): the weights are made when a
    // stretch is first sampled one by one.
    weights_.resize(static_cast<std::size_t>(4 * steps_ + 4));
    made_.resize(static_cast<std::size_t>(steps_ + 1));
    sampleLines_.resize(static_cast<std::size_t>(steps_ + 1));
    ++weightsMade_;
    weightSteps_ = steps_;
  }
  // The stretch of all samples is node 1 of the splitting, the halves of node i nodes 2i and
  // 2i + 1. Stretches of more than kSmallStretch samples are split: at a depth k with such
  // stretches 2^k < steps / 12, so their nodes stay below steps / 6, and their halves' below
  // steps / 3 + 1.
  const auto nodes = static_cast<std::size_t>(std::max<std::int64_t>(steps_ / 3 + 4, 2));
  if (hulls_.size() < nodes) hulls_.resize(nodes);
  ++pairsMade_;
  NormalWalk walk(p, n, d2_, d_);
  WrapCell group[kGroupSize];
  while (found.empty()) {
    int count = 0;
    while (count < kGroupSize && walk.Next(group[count])) ++count;
    if (count == 0) return;
    BeginGroup(group, count);
    plan_.clear();
    if (steps_ >= 1) Plan(1, steps_, 1);
    for (int i = 0; i < count && found.empty(); ++i) TryBulge(group[i], found);
  }
}

void BulgeSearch::BeginGroup(const WrapCell* group, int count) {
  groupTests_ = false;
  if (count < 2) return;
  Pair low = {}, high = {};
  for (int i = 0; i < count; ++i) {
    const WrapCell k = group[i];
    // K + D wrapped round the 16-bit range is no longer a shifted K.
    if (std::int64_t{k.X} + dx_ != Wrap16(std::int64_t{k.X} + dx_) ||
        std::int64_t{k.Y} + dy_ != Wrap16(std::int64_t{k.Y} + dy_))
      return;
    const Pair offset = Pair{static_cast<double>(k.X), static_cast<double>(k.Y)} - c_[0];
    low = i == 0 ? offset : Min(low, offset);
    high = i == 0 ? offset : Max(high, offset);
  }
  groupLow_ = low;
  groupHigh_ = high;
  ++groupsMade_;
  groupTests_ = true;
}

void BulgeSearch::TryBulge(WrapCell k, WrapperList& found) {
  const WrapCell c2{Wrap16(std::int64_t{k.X} + dx_), Wrap16(std::int64_t{k.Y} + dy_)};
  c_[1] = Pair{static_cast<double>(k.X), static_cast<double>(k.Y)};
  c_[2] = Pair{static_cast<double>(c2.X), static_cast<double>(c2.Y)};
  // K + D wrapped round the 16-bit range is no longer a shifted K.
  linear_ = c2.X == std::int64_t{k.X} + dx_ && c2.Y == std::int64_t{k.Y} + dy_;
  offset_ = c_[1] - c_[0];
  for (int i = 0; i < 4; ++i) {
    x_[i] = Pair{c_[i][0], c_[i][0]};
    y_[i] = Pair{c_[i][1], c_[i][1]};
  }
  control_.CurveSteps = Wrap16(steps_);
  control_.Work += steps_;
  last_ = Pack(p_.X, p_.Y);
  previous_ = last_;
  // Only cells up to column W - 1 and row H - 1 count: as unsigned numbers, those below these.
  limitX_ = static_cast<std::uint64_t>(std::max<std::int64_t>(g_.Columns() - 1, 0));
  limitY_ = static_cast<std::uint64_t>(std::max<std::int64_t>(g_.Rows() - 1, 0));
  found_ = &found;
  for (const Stretch& stretch : plan_) {
    if (!stretch.Test)
      SampleRun(stretch.First, stretch.Last);
    else if (BulgeMeets(stretch.First, stretch.Last, stretch.Node))
      Split(stretch.First, stretch.Last, stretch.Node);
  }
}

namespace {

Pair Load(const double* at) {
  Pair v;
  std::memcpy(&v, at, sizeof v);
  return v;
}

// The cells of a block of two samples, from their weights and the control points' columns x
// and rows y (each in both lanes): each lane with the operations, in the order, of the scalar
// sum.
[[gnu::always_inline]] inline TwoCells SampleBlock(const double* b, const Pair x[4], const Pair y[4]) {
  const Pair b0 = Load(b), b1 = Load(b + 2), b2 = Load(b + 4), b3 = Load(b + 6);
  return TwoCells(((b0 * x[0] + b1 * x[1]) + b2 * x[2]) + b3 * x[3],
                  ((b0 * y[0] + b1 * y[1]) + b2 * y[2]) + b3 * y[3]);
}

}  // namespace

[[gnu::always_inline]] inline void BulgeSearch::Take(std::uint64_t cell, std::uint64_t& previous) {
  // A sample in the cell of the one evaluated before it meets what that one met: nothing new.
  if (cell == previous) return;
  previous = cell;
  const std::int64_t rx = static_cast<std::int32_t>(cell);
  const std::int64_t ry = static_cast<std::int32_t>(cell >> 32);
  // Most samples fall beside the contours: that test comes before the cells to leave out.
  if (static_cast<std::uint64_t>(rx) >= limitX_ || static_cast<std::uint64_t>(ry) >= limitY_) return;
  if (!tiles_.Contour(rx, ry)) return;
  if (cell == last_ || (rx == n_.X && ry == n_.Y)) return;
  found_->push_back({static_cast<std::int16_t>(rx), static_cast<std::int16_t>(ry), g_(rx, ry)});
  last_ = cell;
}

void BulgeSearch::MakeWeights(std::int64_t first, std::int64_t last) {
  MadeStamp& made = made_[static_cast<std::size_t>(first)];
  if (made.Steps != weightsMade_ || made.Last < last) {
    FillWeights(weights_.data(), steps_, (first - 1) >> 1, (last - 1) >> 1);
    made = {weightsMade_, last};
  }
}

void BulgeSearch::SampleRun(std::int64_t first, std::int64_t last) {
  // Two samples at a time: most pairs of samples fall in the cell of the sample before them and
  // cost only their sums, their rounding and one comparison. Sample j is lane (j - 1) % 2 of
  // block (j - 1) / 2.
  MakeWeights(first, last);
  const double* block = weights_.data() + 8 * ((first - 1) >> 1);
  // The control points in locals, which the cells taken cannot change: they stay in registers.
  const Pair x[4] = {x_[0], x_[1], x_[2], x_[3]}, y[4] = {y_[0], y_[1], y_[2], y_[3]};
  std::uint64_t previous = previous_;
  std::int64_t j = first;
  if (((j - 1) & 1) != 0) {
    Take(SampleBlock(block, x, y).Second(), previous);
    block += 8;
    ++j;
  }
  for (; j < last; j += 2, block += 8) {
    const TwoCells cells = SampleBlock(block, x, y);
    if (cells.BothAre(previous)) continue;
    Take(cells.First(), previous);
    Take(cells.Second(), previous);
  }
  if (j == last) Take(SampleBlock(block, x, y).First(), previous);
  previous_ = previous;
}

bool BulgeSearch::AnyContourNear(Pair lo, Pair hi) const {
  const CellBox box = CellsInReach(lo, hi);
  // Only cells up to column W - 1 and row H - 1 can be met.
  return tiles_.AnyIn(box.X0, box.Y0, std::min<std::int64_t>(box.X1, g_.Columns() - 2),
                      std::min<std::int64_t>(box.Y1, g_.Rows() - 2));
}

bool BulgeSearch::BulgeMeets(std::int64_t first, std::int64_t last, std::size_t node) {
  // The samples of the stretch round to cells within half a cell of the curve between its end
  // parameters, and the curve lies within the hull of that piece's control points.
  Pair lo, hi;
  if (!linear_ || node >= hulls_.size()) {
    Range(c_, static_cast<double>(first) / static_cast<double>(steps_),
          static_cast<double>(last) / static_cast<double>(steps_), lo, hi);
    return AnyContourNear(lo, hi);
  }
  const NodeHull& hull = HullOf(first, last, node);
  lo = hi = hull.Base[0] + hull.Rise[0] * offset_;
  for (int i = 1; i < 4; ++i) {
    const Pair corner = hull.Base[i] + hull.Rise[i] * offset_;
    lo = Min(lo, corner);
    hi = Max(hi, corner);
  }
  return AnyContourNear(lo, hi);
}

BulgeSearch::NodeHull& BulgeSearch::HullOf(std::int64_t first, std::int64_t last, std::size_t node) {
  NodeHull& hull = hulls_[node];
  if (hull.MadeFor != pairsMade_) {
    const BulgePiece piece = BulgePieceOf(static_cast<double>(first) / static_cast<double>(steps_),
                                static_cast<double>(last) / static_cast<double>(steps_));
    for (int i = 0; i < 4; ++i) {
      hull.Base[i] = c_[0] + piece.S[i] * chord_;
      hull.Rise[i] = piece.H[i];
    }
    hull.MadeFor = pairsMade_;
    hull.Group = 0;
  }
  return hull;
}

bool BulgeSearch::GroupMeets(std::int64_t first, std::int64_t last, std::size_t node) {
  if (!groupTests_ || node >= hulls_.size()) return true;
  NodeHull& hull = HullOf(first, last, node);
  if (hull.Group != groupsMade_) {
    // One box for the stretch of every bulge of the group: h~ is never negative, so each
    // coordinate's lowest corner comes with the group's lowest V and the highest with its
    // highest.
    Pair lo = hull.Base[0] + hull.Rise[0] * groupLow_;
    Pair hi = hull.Base[0] + hull.Rise[0] * groupHigh_;
    for (int i = 1; i < 4; ++i) {
      lo = Min(lo, hull.Base[i] + hull.Rise[i] * groupLow_);
      hi = Max(hi, hull.Base[i] + hull.Rise[i] * groupHigh_);
    }
    hull.Group = groupsMade_;
    hull.GroupAny = AnyContourNear(lo, hi);
  }
  return hull.GroupAny;
}

void BulgeSearch::Plan(std::int64_t first, std::int64_t last, std::size_t node) {
  // A stretch from the first sample or to the last one lies next to P or N, contour cells both,
  // so its box nearly always holds contour: it is split without being tested. Other stretches
  // whose box holds no contour for any bulge of the group are left out.
  const bool beside = first == 1 || last == steps_;
  if (last - first + 1 > kSmallStretch && !control_.EverySample) {
    if (beside) {
      const std::int64_t middle = first + (last - first) / 2;
      Plan(first, middle, 2 * node);
      Plan(middle + 1, last, 2 * node + 1);
    } else if (GroupMeets(first, last, node)) {
      plan_.push_back({first, last, node, true});
    }
    return;
  }
  // Stretches this short are sampled rather than tested one bulge at a time, but the box for
  // the whole group is worth testing, and then the cells each of its samples can fall in.
  if (!control_.EverySample) {
    if (!beside && !GroupMeets(first, last, node)) return;
    if (!GroupSamplesMeet(first, last)) return;
  }
  plan_.push_back({first, last, node, false});
}

bool BulgeSearch::GroupSamplesMeet(std::int64_t first, std::int64_t last) {
  if (!groupTests_) return true;
  MakeWeights(first, last);
  // Sample j of a bulge through K is sum b_i c_i with c = P, K, K + D, N: A_j + (b_1 + b_2) K,
  // A_j = b_0 P + b_2 D + b_3 N, the weights never negative. Over the group's cells K, within
  // the box P + groupLow_ .. P + groupHigh_, it stays between the two corners below (the sums'
  // rounding is far within the reach CellsInReach allows).
  const Pair kLow = c_[0] + groupLow_, kHigh = c_[0] + groupHigh_;
  // N's cell is never taken; P's cell is not while nothing has been, as before the bulge's first
  // stretch.
  const std::uint64_t nCell = Pack(n_.X, n_.Y), pCell = Pack(p_.X, p_.Y);
  const bool leaveOutP = first == 1;
  const std::int64_t lastX = g_.Columns() - 2, lastY = g_.Rows() - 2;
  CellBox previous = {1, 1, 0, 0};  // none
  for (std::int64_t j = first; j <= last; ++j) {
    SampleLine& line = sampleLines_[static_cast<std::size_t>(j)];
    if (line.MadeFor != pairsMade_) {
      const double* block = weights_.data() + 8 * ((j - 1) >> 1);
      const std::int64_t lane = (j - 1) & 1;
      line.A = (block[lane] * c_[0] + block[4 + lane] * chord_) + block[6 + lane] * c_[3];
      line.C = block[2 + lane] + block[4 + lane];
      line.MadeFor = pairsMade_;
    }
    const CellBox box = CellsInReach(line.A + line.C * kLow, line.A + line.C * kHigh);
    // Neighbouring samples mostly share their cells.
    if (box.X0 == previous.X0 && box.Y0 == previous.Y0 && box.X1 == previous.X1 &&
        box.Y1 == previous.Y1)
      continue;
    previous = box;
    // A sample that can fall in many cells is left to the sampling.
    if ((box.X1 - box.X0 + 1) * (box.Y1 - box.Y0 + 1) > kFewCells) return true;
    for (std::int64_t y = std::max<std::int64_t>(box.Y0, 0); y <= std::min(box.Y1, lastY); ++y)
      for (std::int64_t x = std::max<std::int64_t>(box.X0, 0); x <= std::min(box.X1, lastX); ++x) {
        if (!tiles_.Contour(x, y)) continue;
        const std::uint64_t cell = Pack(x, y);
        if (cell == nCell || (leaveOutP && cell == pCell)) continue;
        return true;
      }
  }
  return false;
}

void BulgeSearch::Split(std::int64_t first, std::int64_t last, std::size_t node) {
  const std::int64_t middle = first + (last - first) / 2;
  Visit(first, middle, 2 * node);
  Visit(middle + 1, last, 2 * node + 1);
}

void BulgeSearch::Visit(std::int64_t first, std::int64_t last, std::size_t node) {
  // Within a stretch that is tested, and so lies beside neither P nor N.
  if (last - first + 1 > kSmallStretch) {
    if (GroupMeets(first, last, node) && BulgeMeets(first, last, node)) Split(first, last, node);
    return;
  }
  if (GroupMeets(first, last, node)) SampleRun(first, last);
}

WrapperList BulgeCells(const GridState& grid, WrapCell p, WrapCell n, ShrinkControl& control) {
  const ContourTiles tiles(grid.HeightGrid);
  BulgeSearch search(grid.HeightGrid, tiles, control);
  WrapperList found;
  search.Fill(p, n, found);
  return found;
}

}  // namespace terrak
