// The interpolation as plainly as it can be written: every scan walks its line cell by cell. It
// is the measure the fast version is tested against.
#include <cmath>

#include "common/numtext.h"
#include "grid/interpolate.h"
#include "grid/interpolate_estimate.h"

namespace terrak {

namespace {

class PlainScanner {
 public:
  explicit PlainScanner(GridState& grid)
      : g_(grid.HeightGrid), w_(grid.GridWidth), h_(grid.GridHeight) {}

  std::int32_t G(std::int32_t x, std::int32_t y) const { return g_(x, y); }

  LineScan Column(std::int32_t x, std::int32_t y) const {
    LineScan s;
    const std::int32_t limit = h_ - 1;
    std::int32_t q = y;
    while (G(x, q) <= 0 && q < limit) ++q;
    s.UpNear = {q, G(x, q)};
    while (G(x, q) > 0 && q <= limit) ++q;
    s.UpEdge = {q - 1, G(x, q - 1)};
    while (G(x, q) <= 0 && q < limit) ++q;
    s.UpNext = {q, G(x, q)};
    q = y;
    while (G(x, q) <= 0 && q > 0) --q;
    s.DownNear = {q, G(x, q)};
    while (G(x, q) > 0 && q > 0) --q;
    s.DownEdge = {q + 1, G(x, q + 1)};
    while (G(x, q) <= 0 && q > 0) --q;
    s.DownNext = {q, G(x, q)};
    return s;
  }

  LineScan Row(std::int32_t x, std::int32_t y) const {
    LineScan s;
    const std::int32_t limit = w_ - 1;
    std::int32_t q = x;
    while (G(q, y) <= 0 && q < limit) ++q;
    s.UpNear = {q, G(q, y)};
    while (G(q, y) > 0 && q <= limit) ++q;
    s.UpEdge = {q - 1, G(q - 1, y)};
    while (G(q, y) <= 0 && q < limit) ++q;
    s.UpNext = {q, G(q, y)};
    q = x;
    while (G(q, y) <= 0 && q > 0) --q;
    s.DownNear = {q, G(q, y)};
    while (G(q, y) > 0 && q > 0) --q;
    s.DownEdge = {q + 1, G(q + 1, y)};
    while (G(q, y) <= 0 && q > 0) --q;
    s.DownNext = {q, G(q, y)};
    return s;
  }

  // One side of a diagonal: near, edge and next.
  void Diagonal(std::int32_t x, std::int32_t y, int xs, int ys, ScanPoint& nearP,
                ScanPoint& edgeP, ScanPoint& nextP) const {
    bool hit = false;
    // The row changes first, so the walker cannot slip between cells touching at a corner.
    const auto step = [&] {
      y += ys;
      if (G(x, y) > 0) {
        hit = true;
        return;
      }
      x += xs;
      hit = G(x, y) > 0;
    };
    const auto free = [&] {  // phases 1 and 3
      return (ys > 0 ? y < h_ - 1 : y > 0) && (xs > 0 ? x < w_ - 1 : x > 0);
    };
    const auto onRun = [&] {  // phase 2
      return (ys > 0 ? y <= h_ - 1 : y > 0) && (xs > 0 ? x <= w_ - 1 : x > 0);
    };
    while (!hit && free()) step();
    nearP = {x, G(x, y)};
    while (hit && onRun()) step();
    edgeP = {x - xs, G(x - xs, y - ys)};
    while (!hit && free()) step();
    nextP = {x, G(x, y)};
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

  // The four lines in their order; the cell is written after every line that is not skipped,
  // so the later lines' scans see its new value.
  void InterpolateCell(std::int32_t x, std::int32_t y, EstimateState& state,
                       InterpolationCounts& counts) {
    state.BestGradient = 0.0;
    state.BestDistance = 9999999.0;
    bool wanting = false;
    const auto write = [&](bool applied) {
      if (!applied) return;
      if (state.HaveE)
        g_(x, y) = StoredEstimate(state);
      else
        wanting = true;
    };
    write(ApplyLineEstimate<false>(Column(x, y), y, 1.0, state));
    write(ApplyLineEstimate<false>(Row(x, y), x, 1.0, state));
    write(ApplyLineEstimate<true>(Diagonal135(x, y), x, root2_, state));
    write(ApplyLineEstimate<true>(Diagonal45(x, y), x, root2_, state));
    if (wanting) ++counts.CellsWithoutEstimate;
  }

 private:
  HeightGridType& g_;
  std::int32_t w_;
  std::int32_t h_;
  double root2_ = std::sqrt(2.0);
};

}  // namespace

InterpolationCounts InterpolateHeightsPlain(GridState& grid, ProgressSink& progress) {
  progress.ShowProgress("working through map...");
  InterpolationCounts counts;
  PlainScanner scanner(grid);
  EstimateState state;
  for (std::int32_t x = 1; x <= grid.GridWidth - 1; ++x) {
    progress.ShowProgress("column " + FormatInt(x));
    progress.BackUpOneLine();
    for (std::int32_t y = 1; y <= grid.GridHeight - 1; ++y)
      if (scanner.G(x, y) == 0) scanner.InterpolateCell(x, y, state, counts);
  }
  return counts;
}

LineScan ScanLinePlain(GridState& grid, std::int32_t x, std::int32_t y, ScanLine line) {
  PlainScanner scanner(grid);
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
