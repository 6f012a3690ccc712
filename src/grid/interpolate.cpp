// The fast interpolation. Every scan of the plain version walks over empty cells until it meets a
// positive one; here the positive cells of every column, row and diagonal are kept in bit lines,
// so a scan jumps to its next positive cell (or its limit) with a few word operations. The
// phases, limits and reads are otherwise those of the plain scans, and the bit lines are kept in
// step with every write, including estimates that come out positive.
#include <algorithm>
#include <cmath>
#include <limits>

#include "common/numtext.h"
#include "grid/bit_lines.h"
#include "grid/interpolate.h"

namespace terrak {

namespace {

constexpr std::int32_t kNone = std::numeric_limits<std::int32_t>::max();

class FastScanner {
 public:
  explicit FastScanner(GridState& grid)
      : g_(grid.HeightGrid), w_(grid.GridWidth), h_(grid.GridHeight) {
    const std::int32_t columns = w_ + 1;
    const std::int32_t rows = h_ + 1;
    const std::int32_t diagonals = columns + rows - 1;
    std::vector<std::int32_t> first, length;
    first.assign(static_cast<std::size_t>(columns), 0);
    length.assign(static_cast<std::size_t>(columns), rows);
    columns_.Reset(first, length);
    first.assign(static_cast<std::size_t>(rows), 0);
    length.assign(static_cast<std::size_t>(rows), columns);
    rows_.Reset(first, length);
    // Diagonal x - y = c is line c + h_; diagonal x + y = c is line c. Positions are columns.
    first.resize(static_cast<std::size_t>(diagonals));
    length.resize(static_cast<std::size_t>(diagonals));
    for (std::int32_t i = 0; i < diagonals; ++i) {
      const std::int32_t c = i - h_;
      first[i] = std::max(c, 0);
      length[i] = std::min(w_, c + h_) - first[i] + 1;
    }
    rising_.Reset(first, length);
    for (std::int32_t c = 0; c < diagonals; ++c) {
      first[c] = std::max(c - h_, 0);
      length[c] = std::min(w_, c) - first[c] + 1;
    }
    falling_.Reset(first, length);
    for (std::int32_t x = 0; x < columns; ++x) {
      const std::int16_t* column = g_.Column(x);
      for (std::int32_t y = 0; y < rows; ++y)
        if (column[y] > 0) Mark(x, y, true);
    }
  }

  std::int32_t G(std::int32_t x, std::int32_t y) const { return g_(x, y); }

  void Write(std::int32_t x, std::int32_t y, std::int16_t value) {
    std::int16_t& cell = g_(x, y);
    const bool was = cell > 0;
    cell = value;
    if (was != (value > 0)) Mark(x, y, value > 0);
  }

  LineScan Column(std::int32_t x, std::int32_t y) const {
    LineScan s;
    const std::int32_t limit = h_ - 1;
    std::int32_t q = y;
    if (q < limit) q = Or(columns_.FirstSet(x, q, limit - 1), limit);
    s.UpNear = {q, G(x, q)};
    if (q <= limit) q = Or(columns_.FirstClear(x, q, limit), limit + 1);
    s.UpEdge = {q - 1, G(x, q - 1)};
    if (q < limit) q = Or(columns_.FirstSet(x, q, limit - 1), limit);
    s.UpNext = {q, G(x, q)};
    q = y;
    if (q > 0) q = Or(columns_.LastSet(x, 1, q), 0);
    s.DownNear = {q, G(x, q)};
    if (q > 0) q = Or(columns_.LastClear(x, 1, q), 0);
    s.DownEdge = {q + 1, G(x, q + 1)};
    if (q > 0) q = Or(columns_.LastSet(x, 1, q), 0);
    s.DownNext = {q, G(x, q)};
    return s;
  }

  LineScan Row(std::int32_t x, std::int32_t y) const {
    LineScan s;
    const std::int32_t limit = w_ - 1;
    std::int32_t q = x;
    if (q < limit) q = Or(rows_.FirstSet(y, q, limit - 1), limit);
    s.UpNear = {q, G(q, y)};
    if (q <= limit) q = Or(rows_.FirstClear(y, q, limit), limit + 1);
    s.UpEdge = {q - 1, G(q - 1, y)};
    if (q < limit) q = Or(rows_.FirstSet(y, q, limit - 1), limit);
    s.UpNext = {q, G(q, y)};
    q = x;
    if (q > 0) q = Or(rows_.LastSet(y, 1, q), 0);
    s.DownNear = {q, G(q, y)};
    if (q > 0) q = Or(rows_.LastClear(y, 1, q), 0);
    s.DownEdge = {q + 1, G(q + 1, y)};
    if (q > 0) q = Or(rows_.LastSet(y, 1, q), 0);
    s.DownNext = {q, G(q, y)};
    return s;
  }

  LineScan Diagonal135(std::int32_t x, std::int32_t y) const {
    LineScan s;
    Diagonal(x, y, -1, +1, s.DownNear, s.DownEdge, s.DownNext);
    Diagonal(x, y, +1, -1, s.UpNear, s.UpEdge, s.UpNext);
    return s;
  }

  LineScan Diagonal45(std::int32_t x, std::int32_t y) const {
    LineScan s;
    Diagonal(x, y, -1, -1, s.DownNear, s.DownEdge, s.DownNext);
    Diagonal(x, y, +1, +1, s.UpNear, s.UpEdge, s.UpNext);
    return s;
  }

 private:
  static std::int32_t Or(std::int32_t found, std::int32_t otherwise) {
    return found >= 0 ? found : otherwise;
  }

  void Mark(std::int32_t x, std::int32_t y, bool positive) {
    columns_.Assign(x, y, positive);
    rows_.Assign(y, x, positive);
    rising_.Assign(x - y + h_, x, positive);
    falling_.Assign(x + y, x, positive);
  }

  // The line holding the cells (x + k * xs, y + k * ys).
  const BitLines& DiagonalLines(int xs, int ys) const { return xs == ys ? rising_ : falling_; }
  std::int32_t DiagonalLine(std::int32_t x, std::int32_t y, int xs, int ys) const {
    return xs == ys ? x - y + h_ : x + y;
  }

  // The first step k of 1 .. steps whose cell is positive along the line through (x, y) with
  // column step xs (positions are columns), or kNone.
  std::int32_t FirstStep(std::int32_t x, std::int32_t y, int xs, int ys, std::int32_t fromK,
                         std::int32_t steps) const {
    if (steps < fromK) return kNone;
    const BitLines& lines = DiagonalLines(xs, ys);
    const std::int32_t line = DiagonalLine(x, y, xs, ys);
    if (xs > 0) {
      const std::int32_t r = lines.FirstSet(line, x + fromK, x + steps);
      return r < 0 ? kNone : r - x;
    }
    const std::int32_t r = lines.LastSet(line, x - steps, x - fromK);
    return r < 0 ? kNone : x - r;
  }

  // Phases 1 and 3 of a diagonal scan: steps while no contour cell is hit and the limits allow,
  // a step moving the row first (the half cell) and then the column (the full cell).
  void Advance(std::int32_t& x, std::int32_t& y, int xs, int ys, bool& hit) const {
    const std::int32_t byRows = ys > 0 ? h_ - 1 - y : y;
    const std::int32_t byColumns = xs > 0 ? w_ - 1 - x : x;
    const std::int32_t steps = std::min(byRows, byColumns);
    if (steps <= 0) return;
    // Half cells of steps 1 .. steps are (x + (k - 1) xs, y + k ys): the line through
    // (x, y + ys), reached after k - 1 column steps. Full cells are (x + k xs, y + k ys).
    const std::int32_t half = FirstStep(x, y + ys, xs, ys, 0, steps - 1);
    const std::int32_t full = FirstStep(x, y, xs, ys, 1, steps);
    const std::int32_t halfK = half == kNone ? kNone : half + 1;
    if (halfK != kNone && halfK <= full) {
      x += (halfK - 1) * xs;
      y += halfK * ys;
      hit = true;
    } else if (full != kNone) {
      x += full * xs;
      y += full * ys;
      hit = true;
    } else {
      x += steps * xs;
      y += steps * ys;
    }
  }

  void Diagonal(std::int32_t x, std::int32_t y, int xs, int ys, ScanPoint& nearP,
                ScanPoint& edgeP, ScanPoint& nextP) const {
    bool hit = false;
    Advance(x, y, xs, ys, hit);
    nearP = {x, G(x, y)};
    // Along the contour run, step by step: runs are a few cells long.
    while (hit && (ys > 0 ? y <= h_ - 1 : y > 0) && (xs > 0 ? x <= w_ - 1 : x > 0)) {
      y += ys;
      if (G(x, y) > 0) continue;
      x += xs;
      hit = G(x, y) > 0;
    }
    edgeP = {x - xs, G(x - xs, y - ys)};
    if (!hit) Advance(x, y, xs, ys, hit);
    nextP = {x, G(x, y)};
  }

  HeightGridType& g_;
  std::int32_t w_;
  std::int32_t h_;
  BitLines columns_;  // line x, position y
  BitLines rows_;     // line y, position x
  BitLines rising_;   // x - y constant, position x
  BitLines falling_;  // x + y constant, position x
};

}  // namespace

InterpolationCounts InterpolateHeights(GridState& grid, ProgressSink& progress) {
  progress.ShowProgress("working through map...");
  InterpolationCounts counts;
  if (grid.GridWidth < 2 || grid.GridHeight < 2) return counts;
  FastScanner scanner(grid);
  const double root2 = std::sqrt(2.0);
  EstimateState state;
  for (std::int32_t x = 1; x <= grid.GridWidth - 1; ++x) {
    progress.ShowProgress("column " + FormatInt(x));
    progress.BackUpOneLine();
    for (std::int32_t y = 1; y <= grid.GridHeight - 1; ++y) {
      if (scanner.G(x, y) != 0) continue;
      state.BestGradient = 0.0;
      state.BestDistance = 9999999.0;
      bool wanting = false;
      const auto apply = [&](const LineScan& scan, std::int32_t p0, double step) {
        if (!ApplyLineEstimate(scan, p0, step, state)) return;
        if (state.HaveE)
          scanner.Write(x, y, StoredEstimate(state));
        else
          wanting = true;
      };
      apply(scanner.Column(x, y), y, 1.0);
      apply(scanner.Row(x, y), x, 1.0);
      apply(scanner.Diagonal135(x, y), x, root2);
      apply(scanner.Diagonal45(x, y), x, root2);
      if (wanting) ++counts.CellsWithoutEstimate;
    }
  }
  return counts;
}

LineScan ScanLineFast(GridState& grid, std::int32_t x, std::int32_t y, ScanLine line) {
  FastScanner scanner(grid);
  switch (line) {
    case ScanLine::Column:
      return scanner.Column(x, y);
    case ScanLine::Row:
      return scanner.Row(x, y);
    case ScanLine::Diagonal135:
      return scanner.Diagonal135(x, y);
    case ScanLine::Diagonal45:
      break;
  }
  return scanner.Diagonal45(x, y);
}

}  // namespace terrak
