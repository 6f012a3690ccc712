#pragma once
// The scans of the cells next to the grid's edges, which the line streams do not serve, reused
// from line to line.
//
// Cells are visited column by column from the south, so along every line the cells are visited
// in order. Ahead of the sweep a line holds the grid as it was before interpolating; behind it,
// cells whose values are final. A side's scan from a cell therefore finds what the same side
// found from the line's previous cell, unless one of the few cells that the new walk adds in
// front (or that has changed since) is positive. Each side keeps the cells its last scan
// reported per line and reuses them under exactly that condition; values are read afresh.
//
// Internal to the fast interpolation (grid/interpolator.h).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "grid/fast_scanner.h"

namespace terrak {

// What one side's last scan along a line reported: its cells, and the near cell's value.
struct Cell16 {
  std::int16_t x = 0;
  std::int16_t y = 0;
};
struct SideMemo {
  Cell16 Near, Edge, Next;
  std::int16_t NearV = 0;
  // The near value can no longer change: a positive height in a cell other than the one being
  // interpolated (whose value changes from line to line while it is).
  bool Settled = false;
};

// Both sides' last scans along one line, and where they started (the row along a column, the
// column otherwise). Kept small: one is read and written for every cell of the line. Only the
// column, whose cells next to the grid's edges run down whole columns, keeps its gradient too.
struct LineMemo {
  static constexpr std::int16_t kNoStart = -32768;
  std::int16_t Start = kNoStart;
  SideMemo Down, Up;
};

// A line's scan as the estimate reads it; edge and next values are read only when wanted.
class MemoScan {
 public:
  MemoScan(const FastScanner& scan, const LineMemo& memo, bool alongColumn)
      : scan_(scan), memo_(memo), alongColumn_(alongColumn) {}
  std::int32_t DownNearP() const { return Position(memo_.Down.Near); }
  std::int32_t DownNearV() const { return memo_.Down.NearV; }
  std::int32_t UpNearP() const { return Position(memo_.Up.Near); }
  std::int32_t UpNearV() const { return memo_.Up.NearV; }
  std::int32_t DownEdgeV() const { return Value(memo_.Down.Edge); }
  std::int32_t DownNextV() const { return Value(memo_.Down.Next); }
  std::int32_t UpEdgeV() const { return Value(memo_.Up.Edge); }
  std::int32_t UpNextV() const { return Value(memo_.Up.Next); }

 private:
  std::int32_t Position(Cell16 c) const { return alongColumn_ ? c.y : c.x; }
  std::int32_t Value(Cell16 c) const { return scan_.G(c.x, c.y); }
  const FastScanner& scan_;
  const LineMemo& memo_;
  bool alongColumn_;
};

// The memos of every line through the present column, and the scans that fill them.
class ScanMemos {
 public:
  ScanMemos(const FastScanner& scan, std::int32_t width, std::int32_t height)
      : scan_(scan),
        rows_(static_cast<std::size_t>(height) + 1),
        rising_(static_cast<std::size_t>(width) + height + 1),
        falling_(rising_.size()) {}

  void BeginColumn(std::int32_t x) {
    column_ = LineMemo{};
    here_ = scan_.Column(x);
    west_ = scan_.Column(x - 1);
  }

  // Every row and diagonal scanned afresh at its next cell.
  void ForgetLines() {
    for (LineMemo& memo : rows_) memo.Start = LineMemo::kNoStart;
    for (LineMemo& memo : rising_) memo.Start = LineMemo::kNoStart;
    for (LineMemo& memo : falling_) memo.Start = LineMemo::kNoStart;
  }

  // The memo of each line through the cell (x, y), brought up to date: each side reuses its last
  // scan, or scans afresh.
  // Along the column the cells above are as before; below, the one just finished is new.
  LineMemo& ColumnScan(std::int32_t x, std::int32_t y) {
    LineMemo& m = column_;
    const bool next = m.Start == y - 1;
    Side(m.Up, next, x, y, [&] { return scan_.ColumnUp(x, y); });
    Side(m.Down, next && EmptyHere(y - 1), x, y, [&] { return scan_.ColumnDown(x, y); });
    m.Start = static_cast<std::int16_t>(y);
    return m;
  }

  // Along the row both scans begin by reading the cell itself, which the column line may have
  // written: the previous scan must not have stopped on its own cell, and the new one must pass
  // over this one. Behind, the previous column's cell has been finished since.
  LineMemo& RowScan(std::int32_t x, std::int32_t y) {
    LineMemo& m = rows_[static_cast<std::size_t>(y)];
    const bool next = m.Start == x - 1 && EmptyHere(y);
    Side(m.Up, next && m.Up.Near.x >= x, x, y, [&] { return scan_.RowUp(x, y); });
    Side(m.Down, next && m.Down.Near.x < x - 1 && EmptyWest(y), x, y,
         [&] { return scan_.RowDown(x, y); });
    m.Start = static_cast<std::int16_t>(x);
    return m;
  }

  // x + y constant; the line's previous cell is (x - 1, y + 1). Up, towards (x + 1, y - 1): the
  // walk loses the previous walk's first two cells, and its new first cell (x, y - 1) has been
  // finished since. Down, towards (x - 1, y + 1): the walk gains (x, y + 1) and the previous
  // cell in front, and the previous walk's first cell (x - 1, y + 2) has been finished since.
  LineMemo& FallingScan(std::int32_t x, std::int32_t y) {
    LineMemo& m = falling_[static_cast<std::size_t>(x + y)];
    const bool next = m.Start == x - 1;
    Side(m.Up, next && m.Up.Near.x >= x && EmptyHere(y - 1), x, y,
         [&] { return scan_.Diagonal(x, y, +1, -1); });
    Side(m.Down, next && EmptyHere(y + 1) && EmptyWest(y + 1) && EmptyWest(y + 2), x, y,
         [&] { return scan_.Diagonal(x, y, -1, +1); });
    m.Start = static_cast<std::int16_t>(x);
    return m;
  }

  // x - y constant; the line's previous cell is (x - 1, y - 1). Up, towards (x + 1, y + 1): the
  // walk loses the previous walk's first two cells and meets nothing new. Down: it gains
  // (x, y - 1) and the previous cell in front.
  LineMemo& RisingScan(std::int32_t x, std::int32_t y) {
    LineMemo& m = rising_[static_cast<std::size_t>(x - y + scan_.Height())];
    const bool next = m.Start == x - 1;
    Side(m.Up, next && m.Up.Near.x >= x, x, y, [&] { return scan_.Diagonal(x, y, +1, +1); });
    Side(m.Down, next && EmptyHere(y - 1) && EmptyWest(y - 1), x, y,
         [&] { return scan_.Diagonal(x, y, -1, -1); });
    m.Start = static_cast<std::int16_t>(x);
    return m;
  }

 private:
  // Only cells that hold 0 are written, and only the cell being interpolated more than once.
  static bool Settles(ScanCell c, std::int16_t v, std::int32_t x, std::int32_t y) {
    return v > 0 && !(c.x == x && c.y == y);
  }

  // Whether a cell of the present column, or of the one before it, holds no positive height.
  bool EmptyHere(std::int32_t y) const { return here_[y] <= 0; }
  bool EmptyWest(std::int32_t y) const { return west_[y] <= 0; }

  static Cell16 Narrow(ScanCell c) {
    return {static_cast<std::int16_t>(c.x), static_cast<std::int16_t>(c.y)};
  }

  // The memo's cells when reusable, else a new scan. The near value is read afresh where it may
  // have changed since: a settled near holds its value, and the sweep has written only the
  // previous column (from the memo's start on) and the present one, so a cell in any other
  // column holds what it held then.
  template <typename Compute>
  void Side(SideMemo& memo, bool reusable, std::int32_t x, std::int32_t y, Compute compute) {
    if (!reusable) {
      const SideCells cells = compute();
      const auto v = static_cast<std::int16_t>(scan_.G(cells.Near));
      memo = {Narrow(cells.Near), Narrow(cells.Edge), Narrow(cells.Next), v,
              Settles(cells.Near, v, x, y)};
    } else if (!memo.Settled && memo.Near.x >= x - 1) {
      const auto v = static_cast<std::int16_t>(scan_.G(memo.Near.x, memo.Near.y));
      memo.NearV = v;
      memo.Settled = Settles({memo.Near.x, memo.Near.y}, v, x, y);
    }
  }

  const FastScanner& scan_;
  LineMemo column_;
  const std::int16_t* here_ = nullptr;  // the present column
  const std::int16_t* west_ = nullptr;  // the column before it
  std::vector<LineMemo> rows_, rising_, falling_;
};

}  // namespace terrak
