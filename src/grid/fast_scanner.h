#pragma once
// The fast interpolation's scans: the positive cells of every column, row and diagonal are kept
// in bit lines, so a walk of the plain scans (grid/interpolate_plain.cpp) jumps to its next
// positive cell, or its limit, with a few word operations. The phases, limits and reads are
// otherwise those of the plain scans, and the bit lines are kept in step with every write,
// including estimates that come out positive.
//
// Internal to the fast interpolation (grid/interpolate.cpp and the headers it includes).
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "grid/bit_lines.h"
#include "grid/contour_tiles.h"
#include "grid/interpolate.h"
#include "grid/west_reach.h"
#include "terrain/grid_state.h"

namespace terrak {

constexpr std::int32_t kNone = std::numeric_limits<std::int32_t>::max();

// A cell of the grid, as the scans report it.
struct ScanCell {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// The cells one side of a line reported: near, edge and next.
struct SideCells {
  ScanCell Near, Edge, Next;
};

class FastScanner {
 public:
  // tiles, when given, hold the grid's positive cells: the bit lines are made from them, and
  // then let go of, before the sweep's other tables are made.
  FastScanner(GridState& grid, std::shared_ptr<const ContourTiles>& tiles)
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
    if (tiles != nullptr) {
      MarkTiles(*tiles);
      tiles.reset();
      return;
    }
    // Most cells hold 0 before the interpolation: four at a time are passed over when they do.
    for (std::int32_t x = 0; x < columns; ++x) {
      const std::int16_t* column = g_.Column(x);
      std::int32_t y = 0;
      for (; y + 4 <= rows; y += 4) {
        std::uint64_t four;
        std::memcpy(&four, column + y, sizeof four);
        if (four == 0) continue;
        for (std::int32_t k = y; k < y + 4; ++k)
          if (column[k] > 0) Mark(x, k, true);
      }
      for (; y < rows; ++y)
        if (column[y] > 0) Mark(x, y, true);
    }
  }

  std::int32_t G(std::int32_t x, std::int32_t y) const { return g_(x, y); }
  std::int32_t G(ScanCell c) const { return g_(c.x, c.y); }
  std::int32_t Width() const { return w_; }
  const std::int16_t* Column(std::int32_t x) const { return g_.Column(x); }
  std::int32_t Height() const { return h_; }
  const HeightGridType& Grid() const { return g_; }
  std::int16_t* Cells(std::int32_t x) { return g_.Column(x); }
  const BitLines& ColumnBits() const { return columns_; }

  void Write(std::int32_t x, std::int32_t y, std::int16_t value) {
    std::int16_t& cell = g_(x, y);
    const bool was = cell > 0;
    cell = value;
    if (was != (value > 0)) Mark(x, y, value > 0);
    if (value > 0 && y < h_ - 2) positives_.push_back({x, y});
  }

  // The cells below the last two rows written positive, at any moment: the scans of a sweep of
  // later columns made ahead of time, on the grid as it was, would have stopped at them.
  const std::vector<ScanCell>& PositivesBelowTheTop() const { return positives_; }

  // From here on, the walks towards the west note how far they went in reach.
  void NoteWalksIn(WestReach& reach) { reach_ = &reach; }

  // An up side's near cell alone: the sweep wants the edge and next cells beyond it only for
  // flat lines.
  ScanCell ColumnUpNear(std::int32_t x, std::int32_t y) const {
    const std::int32_t limit = h_ - 1;
    std::int32_t q = y;
    if (q < limit) q = Or(columns_.FirstSet(x, q, limit - 1), limit);
    return {x, q};
  }
  ScanCell RowUpNear(std::int32_t x, std::int32_t y) const {
    const std::int32_t limit = w_ - 1;
    std::int32_t q = x;
    if (q < limit) q = Or(rows_.FirstSet(y, q, limit - 1), limit);
    return {q, y};
  }
  ScanCell DiagonalNear(std::int32_t x, std::int32_t y, int xs, int ys) const {
    bool hit = false;
    Advance(x, y, xs, ys, hit);
    return {x, y};
  }

  SideCells ColumnUp(std::int32_t x, std::int32_t y) const {
    SideCells s;
    const std::int32_t limit = h_ - 1;
    s.Near = ColumnUpNear(x, y);
    std::int32_t q = s.Near.y;
    if (q <= limit) q = Or(columns_.FirstClear(x, q, limit), limit + 1);
    s.Edge = {x, q - 1};
    if (q < limit) q = Or(columns_.FirstSet(x, q, limit - 1), limit);
    s.Next = {x, q};
    return s;
  }

  SideCells ColumnDown(std::int32_t x, std::int32_t y) const {
    SideCells s;
    std::int32_t q = y;
    if (q > 0) q = Or(columns_.LastSet(x, 1, q), 0);
    s.Near = {x, q};
    if (q > 0) q = Or(columns_.LastClear(x, 1, q), 0);
    s.Edge = {x, q + 1};
    if (q > 0) q = Or(columns_.LastSet(x, 1, q), 0);
    s.Next = {x, q};
    return s;
  }

  SideCells RowUp(std::int32_t x, std::int32_t y) const {
    SideCells s;
    const std::int32_t limit = w_ - 1;
    s.Near = RowUpNear(x, y);
    std::int32_t q = s.Near.x;
    if (q <= limit) q = Or(rows_.FirstClear(y, q, limit), limit + 1);
    s.Edge = {q - 1, y};
    if (q < limit) q = Or(rows_.FirstSet(y, q, limit - 1), limit);
    s.Next = {q, y};
    NoteEmptyValues(s);
    return s;
  }

  SideCells RowDown(std::int32_t x, std::int32_t y) const {
    SideCells s;
    std::int32_t q = x;
    if (q > 0) q = Or(rows_.LastSet(y, 1, q), 0);
    s.Near = {q, y};
    if (q > 0) q = Or(rows_.LastClear(y, 1, q), 0);
    s.Edge = {q + 1, y};
    if (q > 0) q = Or(rows_.LastSet(y, 1, q), 0);
    s.Next = {q, y};
    if (reach_ != nullptr) reach_->Row(q, y);
    NoteEmptyValues(s);
    return s;
  }

  SideCells Diagonal(std::int32_t x, std::int32_t y, int xs, int ys) const {
    SideCells s;
    bool hit = false;
    // Walks towards the west: what they look at there, phase by phase, for reach_.
    const bool noting = reach_ != nullptr && xs < 0;
    const auto note = [&](std::int32_t cx, std::int32_t cy) {
      if (ys > 0)
        reach_->Falling(cx, cy);
      else
        reach_->Rising(cx, cy);
    };
    Advance(x, y, xs, ys, hit);
    s.Near = {x, y};
    if (noting) note(x, y);
    // Along the contour run. The row changes first: the walk goes on along its column while
    // the column's cells are positive (a contour running along the column, such as the seal
    // along a straight stretch of the outline, can hold it there for hundreds of cells), and
    // steps a column on where they end.
    while (hit && (ys > 0 ? y <= h_ - 1 : y > 0) && (xs > 0 ? x <= w_ - 1 : x > 0)) {
      const std::int32_t from = y + ys;
      std::int32_t clear = from;
      if (G(x, from) > 0)
        clear = ys > 0 ? columns_.FirstClear(x, from + 1, h_) : columns_.LastClear(x, 0, from - 1);
      // Positive up to the last row (or down to the first), where the walk ends.
      const std::int32_t to = clear < 0 ? (ys > 0 ? h_ : 0) : clear;
      if (noting)
        for (std::int32_t r = from; r != to + ys; r += ys) note(x, r);
      y = to;
      if (clear < 0) break;
      x += xs;
      if (noting) note(x, y);
      hit = G(x, y) > 0;
    }
    s.Edge = {x - xs, y - ys};
    if (!hit) Advance(x, y, xs, ys, hit);
    s.Next = {x, y};
    if (noting) {
      note(s.Edge.x, s.Edge.y);
      note(x, y);
    }
    NoteEmptyValues(s);
    return s;
  }

  // Scan points from reported cells: positions are rows along a column, columns otherwise.
  ScanPoint Point(ScanCell c, bool alongColumn) const { return {alongColumn ? c.y : c.x, G(c)}; }
  LineScan Scan(const SideCells& down, const SideCells& up, bool alongColumn) const {
    return {Point(down.Near, alongColumn), Point(down.Edge, alongColumn),
            Point(down.Next, alongColumn), Point(up.Near, alongColumn),
            Point(up.Edge, alongColumn),   Point(up.Next, alongColumn)};
  }

 private:
  // A side's cells whose values the estimate may read although they hold no positive height:
  // the limits where walks stop, and an edge reported beside a run that ends at a limit.
  void NoteEmptyValues(const SideCells& s) const {
    if (reach_ == nullptr) return;
    for (const ScanCell c : {s.Near, s.Edge, s.Next})
      if (reach_->Interpolated(c.x, c.y) && G(c) <= 0) reach_->ValueRead(c.x, c.y);
  }

  static std::int32_t Or(std::int32_t found, std::int32_t otherwise) {
    return found >= 0 ? found : otherwise;
  }

  // A tile's rows and columns go into the row and column lines a byte at a time; its cells one
  // by one into the diagonals.
  void MarkTiles(const ContourTiles& tiles) {
    for (std::int64_t ty = 0; ty < tiles.TilesDown(); ++ty)
      for (std::int64_t tx = 0; tx < tiles.TilesAcross(); ++tx) {
        const std::uint64_t tile = tiles.Tile(tx, ty);
        if (tile == 0) continue;
        const auto x0 = static_cast<std::int32_t>(tx * 8), y0 = static_cast<std::int32_t>(ty * 8);
        for (int k = 0; k < 8; ++k)
          if (const std::uint64_t row = (tile >> (8 * k)) & 0xFF; row != 0)
            rows_.SetInWord(y0 + k, x0 >> 6, row << (x0 & 63));
        for (int i = 0; i < 8; ++i)
          if (const std::uint64_t column = ColumnOfTile(tile, i); column != 0)
            columns_.SetInWord(x0 + i, y0 >> 6, column << (y0 & 63));
        for (std::uint64_t bits = tile; bits != 0; bits &= bits - 1) {
          const int bit = std::countr_zero(bits);
          const std::int32_t x = x0 + (bit & 7), y = y0 + (bit >> 3);
          rising_.Assign(x - y + h_, x, true);
          falling_.Assign(x + y, x, true);
        }
      }
  }
  // Bit i of every byte of a tile, gathered into one byte (row k's into bit k): each bit's
  // product with the constant lands in a place of its own, the wanted ones in the top byte.
  static std::uint64_t ColumnOfTile(std::uint64_t tile, int i) {
    return (((tile >> i) & 0x0101010101010101u) * 0x0102040810204080u) >> 56;
  }

  void Mark(std::int32_t x, std::int32_t y, bool positive) {
    columns_.Assign(x, y, positive);
    rows_.Assign(y, x, positive);
    rising_.Assign(x - y + h_, x, positive);
    falling_.Assign(x + y, x, positive);
  }

  // The first step k of fromK .. steps whose cell (x + k xs, y + k ys) is positive, or kNone.
  std::int32_t FirstStep(std::int32_t x, std::int32_t y, int xs, int ys, std::int32_t fromK,
                         std::int32_t steps) const {
    if (steps < fromK) return kNone;
    const bool rising = xs == ys;
    const BitLines& lines = rising ? rising_ : falling_;
    const std::int32_t line = rising ? x - y + h_ : x + y;
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

  HeightGridType& g_;
  std::int32_t w_;
  std::int32_t h_;
  BitLines columns_;  // line x, position y
  BitLines rows_;     // line y, position x
  BitLines rising_;   // x - y constant, position x
  BitLines falling_;  // x + y constant, position x
  std::vector<ScanCell> positives_;
  WestReach* reach_ = nullptr;
};

}  // namespace terrak
