// The fast interpolation, in four steps over the plain version.
//
// Jumps: every scan of the plain version walks over empty cells until it meets a positive one;
// here the positive cells of every column, row and diagonal are kept in bit lines, so a scan
// jumps to its next positive cell (or its limit) with a few word operations. The phases, limits
// and reads are otherwise those of the plain scans, and the bit lines are kept in step with every
// write, including estimates that come out positive.
//
// Reuse: cells are visited column by column from the south, so along every line the cells are
// visited in order. Ahead of the sweep a line holds the grid as it was before interpolating;
// behind it, cells whose values are final. A side's scan from a cell therefore finds what the
// same side found from the line's previous cell, unless one of the few cells that the new walk
// adds in front (or that has changed since) is positive. Each side keeps the cells its last scan
// reported per line and reuses them under exactly that condition; values are read afresh.
//
// Streams: the cells two or more cells away from the grid's edges take their lines' near cells
// from grid/line_streams.h, which carries them along every line as the sweep goes, and keep
// each line's gradient while its near cells stay; the scans above find an edge and a next cell
// only when a flat line's estimate wants them, and the memos serve the cells next to the edges
// and the rare cells whose column line leaves them positive.
//
// Runs: most streamed cells are made the same way (some line slopes, and the steepest one's
// estimate is stored negative), and change nothing the next cell of the column reads but the
// carried estimate. They run down the column in a loop of their own (SlopingRun), which leaves
// the few others to the cell-by-cell way.
#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstring>
#include <exception>
#include <latch>
#include <limits>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "common/numtext.h"
#include "grid/bit_lines.h"
#include "grid/contour_tiles.h"
#include "grid/interpolate.h"
#include "grid/interpolate_estimate.h"
#include "grid/line_streams.h"
#include "grid/west_reach.h"
#include "platform/usable_cores.h"

namespace terrak {

namespace {

constexpr std::int32_t kNone = std::numeric_limits<std::int32_t>::max();

struct Cell {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// The cells one side of a line reported: near, edge and next.
struct SideCells {
  Cell Near, Edge, Next;
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
  std::int32_t G(Cell c) const { return g_(c.x, c.y); }
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
  const std::vector<Cell>& PositivesBelowTheTop() const { return positives_; }

  // From here on, the walks towards the west note how far they went in reach.
  void NoteWalksIn(WestReach& reach) { reach_ = &reach; }

  // An up side's near cell alone: the sweep wants the edge and next cells beyond it only for
  // flat lines.
  Cell ColumnUpNear(std::int32_t x, std::int32_t y) const {
    const std::int32_t limit = h_ - 1;
    std::int32_t q = y;
    if (q < limit) q = Or(columns_.FirstSet(x, q, limit - 1), limit);
    return {x, q};
  }
  Cell RowUpNear(std::int32_t x, std::int32_t y) const {
    const std::int32_t limit = w_ - 1;
    std::int32_t q = x;
    if (q < limit) q = Or(rows_.FirstSet(y, q, limit - 1), limit);
    return {q, y};
  }
  Cell DiagonalNear(std::int32_t x, std::int32_t y, int xs, int ys) const {
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
  ScanPoint Point(Cell c, bool alongColumn) const { return {alongColumn ? c.y : c.x, G(c)}; }
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
    for (const Cell c : {s.Near, s.Edge, s.Next})
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
  std::vector<Cell> positives_;
  WestReach* reach_ = nullptr;
};

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

// Runs the interpolation cell by cell, reusing each side's previous scan along its line where
// the walk from the new cell must find the same cells.
class Interpolator {
 public:
  Interpolator(GridState& grid, std::shared_ptr<const ContourTiles> tiles)
      : scan_(grid, tiles),
        streams_(scan_.Grid(), grid.GridHeight, scan_.ColumnBits()),
        rows_(static_cast<std::size_t>(grid.GridHeight) + 1),
        rising_(static_cast<std::size_t>(grid.GridWidth) + grid.GridHeight + 1),
        falling_(rising_.size()) {}

  // Columns first to last, each reported to progress when one is given.
  void Sweep(std::int32_t first, std::int32_t last, ProgressSink* progress,
             InterpolationCounts& counts) {
    const std::int32_t w = scan_.Width(), h = scan_.Height();
    for (std::int32_t x = first; x <= last; ++x) {
      if (progress != nullptr) ReportColumn(*progress, x);
      BeginColumn(x);
      if (x < 2 || x > w - 3) {
        for (std::int32_t y = 1; y <= h - 1; ++y) EdgeCell(x, y, counts);
        continue;
      }
      EdgeCell(x, 1, counts);
      StreamedCells(x, h, counts);
      for (std::int32_t y = std::max(2, h - 2); y <= h - 1; ++y) EdgeCell(x, y, counts);
    }
  }

  static void ReportColumn(ProgressSink& progress, std::int32_t x) {
    progress.ShowProgress("column " + FormatInt(x));
    progress.BackUpOneLine();
  }

  // Columns first to last as a sweep would leave them if no cell below the last two rows came
  // out positive: the streams are brought through every column, and only the cells of the last
  // two rows are interpolated (their estimates come out positive and are read by later
  // columns). The cells below hold the grid's first values. Lines the streams do not carry
  // (through cells next to the edges) are scanned afresh by the next sweep's first cells.
  void SweepLastRows(std::int32_t first, std::int32_t last) {
    const std::int32_t w = scan_.Width(), h = scan_.Height();
    const std::int32_t top = std::max(2, h - 2);
    InterpolationCounts uncounted;
    for (std::int32_t x = first; x <= last; ++x) {
      BeginColumn(x);
      // Inside the streamed rows a step moves only the column's own line, which no cell of the
      // last rows reads: only the first row's step is made there.
      const bool everyRow = x < 2 || x > w - 3;
      const std::int32_t stepped = everyRow ? top : std::min(top, 2);
      for (std::int32_t y = 1; y < stepped; ++y) streams_.Step(y);
      for (std::int32_t y = top; y <= h - 1; ++y) EdgeCell(x, y, uncounted);
    }
    for (LineMemo& memo : rows_) memo.Start = LineMemo::kNoStart;
    for (LineMemo& memo : rising_) memo.Start = LineMemo::kNoStart;
    for (LineMemo& memo : falling_) memo.Start = LineMemo::kNoStart;
  }

  // The walks towards the west from here on (and the near cells that the lines through columns
  // from first on hold now) are noted in reach.
  void NoteWalksWestIn(WestReach& reach, std::int32_t first) {
    scan_.NoteWalksIn(reach);
    streams_.NoteDownSidesIn(reach, first);
  }
  const std::vector<Cell>& PositivesBelowTheTop() const { return scan_.PositivesBelowTheTop(); }
  const EstimateState& Carried() const { return state_; }
  // As at the start of the one sweep: a cell that wants an estimate then is counted, and left
  // empty where the one sweep may have written the estimate carried from the west.
  void ForgetEstimate() { state_ = {}; }

 private:
  void BeginColumn(std::int32_t x) {
    column_ = LineMemo{};
    columnGradient_ = GradientMemo{};
    here_ = scan_.Column(x);
    west_ = scan_.Column(x - 1);
    streams_.BeginColumn(x);
  }

  // A cell next to the grid's edges: each line's scans run after the line before it has
  // written the cell.
  void EdgeCell(std::int32_t x, std::int32_t y, InterpolationCounts& counts) {
    streams_.Step(y);
    if (here_[y] != 0) return;
    BeginCell(x, y);
    Apply<false>(x, y, ColumnScan(x, y), true, y, 1.0, &columnGradient_);
    Apply<false>(x, y, RowScan(x, y), false, x, 1.0);
    Apply<true>(x, y, FallingScan(x, y), false, x, root2_);
    Apply<true>(x, y, RisingScan(x, y), false, x, root2_);
    EndCell(y, counts);
  }
  void BeginCell(std::int32_t x, std::int32_t y) {
    state_.BestGradient = 0.0;
    state_.BestDistance = 9999999.0;
    wanting_ = false;
    cellX_ = x;
    cellY_ = y;
  }
  void EndCell(std::int32_t y, InterpolationCounts& counts) {
    if (wanting_) ++counts.CellsWithoutEstimate;
    streams_.Finished(y);
  }

  // Rows 2 to H - 3 of a column, from the line streams: one call for the column's cells.
  [[gnu::flatten]] void StreamedCells(std::int32_t x, std::int32_t h,
                                      InterpolationCounts& counts) {
    const double root2 = root2_;
    const std::int32_t last = h - 3;
    for (std::int32_t y = 2; y <= last; ++y) {
      y = SlopingRun(x, y, last);
      if (y > last) break;
      streams_.StepInside(y);
      if (here_[y] != 0) continue;
      BeginCell(x, y);
      StreamedCell(x, y, root2);
      EndCell(y, counts);
    }
  }

  // A flat column line between two near cells, as ExtrapolateFlat reads it. Its far cells, and
  // so the slopes beyond, are the same from every cell between its near cells.
  struct FlatColumn {
    bool Flat = false;
    std::int32_t DownP = 0, UpP = 0, DownV = 0, UpV = 0, SlopeDown = 0, SlopeUp = 0;
    double Length = 0.0;
    // As a scan that ExtrapolateFlat reads.
    std::int32_t DownNearP() const { return DownP; }
    std::int32_t UpNearP() const { return UpP; }
    std::int32_t DownNearV() const { return DownV; }
    std::int32_t UpNearV() const { return UpV; }
    std::int32_t DownBeyond() const { return SlopeDown; }
    std::int32_t UpBeyond() const { return SlopeUp; }
    // ExtrapolateFlat at row y, into the estimate of a cell just begun.
    void Extrapolate(std::int32_t y, EstimateState& state) const {
      ExtrapolateFlat(*this, y, 1.0, Length, state);
    }
    // Its estimate at row y after a cell began, from the estimate carried in.
    double Extrapolated(std::int32_t y, double carried) const {
      EstimateState state;
      state.BestDistance = 9999999.0;
      state.E = carried;
      Extrapolate(y, state);
      return state.E;
    }
  };
  // The common cells of StreamedCell from row y on, in a loop of their own: an estimate made
  // before, the column line's up side still ahead and its gradient known, a flat column's
  // extrapolation leaving the cell negative, and some line sloping, the steepest of which sets a
  // negative estimate. Such a cell changes nothing but its own value, the carried estimate and
  // its lines' up sides and gradients, which it brings up to date as StreamedCell does; the
  // cell below it holds no positive height, so the column's down side stays. Returns the first
  // row it leaves to StreamedCell (which, making the same steps again, finds what was made
  // here), or last + 1.
  std::int32_t SlopingRun(std::int32_t x, std::int32_t y, std::int32_t last) {
    if (!state_.HaveE) return y;
    const LineState& column = streams_.Column();
    const double columnSlope = column.Slope;
    if (!column.SlopeKnown) return y;
    const std::int32_t end = std::min<std::int32_t>(last, column.UpLastX);
    if (end < y) return y;
    if (columnSlope == 0.0) return RunCells<true>(x, y, end, column, MakeFlatColumn(x, y));
    return RunCells<false>(x, y, end, column, FlatColumn{});
  }

  // SlopingRun's cells y to end, the column flat or sloping. The carried estimate stays in a
  // local but where a flat cell reads it. A cell found positive (one the run passes over, or a
  // flat cell's) ends the run at the cell after it, whose column line has a new down side.
  template <bool FlatColumnLine>
  std::int32_t RunCells(std::int32_t x, std::int32_t y, std::int32_t end, const LineState& column,
                        const FlatColumn& flat) {
    const double columnSlope = column.Slope;
    const LineState* const rows = streams_.Rows();
    const LineState* const falling = streams_.FallingByRow();
    const LineState* const rising = streams_.RisingByMinusRow();
    std::int16_t* const here = scan_.Cells(x);
    if (here[y - 1] > 0) return y;
    double carried = state_.E;
    const double columnHere = x;
    double rowHere = y - 1;
    for (; y <= end; ++y) {
      rowHere += 1.0;
      if (const std::int16_t cell = here[y]; cell != 0) {
        if (cell > 0) {
          ++y;
          break;
        }
        continue;
      }
      const LineState& row = rows[y];
      const LineState& fall = falling[y];
      const LineState& rise = rising[-y];
      const bool stale = std::min({row.KeptUntil, fall.KeptUntil, rise.KeptUntil}) < x;
      assert(stale == (Stale(row, x) || Stale(fall, x) || Stale(rise, x)));
      if (stale) [[unlikely]]
        BringLinesUpToDate(x, y);
      // The steepest line, the first of equals; the column's positions are rows.
      double best = columnSlope;
      const LineState* steepest = &column;
      if (row.Slope > best) best = row.Slope, steepest = &row;
      if (fall.Slope > best) best = fall.Slope, steepest = &fall;
      if (rise.Slope > best) best = rise.Slope, steepest = &rise;
      if constexpr (FlatColumnLine) {
        if (StoredEstimate(flat.Extrapolated(y, carried)) > 0) break;
      }
      if (!(best > 0.0)) {
        state_.E = carried;
        FlatCell(x, y, columnSlope, flat);
        carried = state_.E;
        if (here[y] > 0) {
          ++y;
          break;
        }
        continue;
      }
      // Interpolated along the steepest line, from its doubles: the same operations on the same
      // values (integers well within a double's exact range).
      const double estimate = steepest->EstimateAt(steepest == &column ? rowHere : columnHere);
      const std::int16_t v = StoredEstimate(estimate);
      if (v > 0) break;
      here[y] = v;
      carried = estimate;
    }
    state_.E = carried;
    return y;
  }

  // What KeptUntil < x stands for.
  static bool Stale(const LineState& line, std::int32_t x) {
    return line.UpLastX < x || !line.SlopeKnown || !(line.SlopeUp == line.UpNear);
  }

  [[gnu::noinline]] FlatColumn MakeFlatColumn(std::int32_t x, std::int32_t y) {
    cellX_ = x;
    cellY_ = y;
    const StreamScan s = ColumnStream();
    FlatColumn flat;
    flat.Flat = true;
    flat.DownP = s.DownNearP();
    flat.UpP = s.UpNearP();
    flat.DownV = s.DownNearV();
    flat.UpV = s.UpNearV();
    flat.Length = static_cast<double>(std::int64_t{flat.UpP} - flat.DownP);
    flat.SlopeDown = SlopeBeyondDown(s);
    flat.SlopeUp = SlopeBeyondUp(s);
    return flat;
  }

  // The row's and diagonals' up sides and gradients for the cell (x, y), as StreamedCell makes
  // them; the cell below holds no positive height.
  [[gnu::noinline]] void BringLinesUpToDate(std::int32_t x, std::int32_t y) {
    cellX_ = x;
    cellY_ = y;
    RowUpSide(x, y);
    FallingUpSide(x, y);
    RisingUpSide(x, y);
    LineState& falling = streams_.Falling(y);
    Sloped<false>(streams_.Row(y), streams_.Row(y).UpNear, false, 1.0);
    Sloped<true, true>(falling, falling.UpNear, false, root2_);
    Sloped<true>(streams_.Rising(y), streams_.Rising(y).UpNear, false, root2_);
  }

  template <bool Diagonal>
  void Apply(std::int32_t x, std::int32_t y, LineMemo& memo, bool alongColumn, std::int32_t p0,
             double step, GradientMemo* gradient = nullptr) {
    const MemoScan scan(scan_, memo, alongColumn);
    if (!ApplyLineEstimate<Diagonal>(scan, p0, step, state_, gradient)) return;
    if (state_.HaveE)
      scan_.Write(x, y, StoredEstimate(state_));
    else
      wanting_ = true;
  }

  // The sides of the lines through the cell being interpolated, as the line streams carry them.
  enum class Way { ColumnDown, ColumnUp, RowDown, RowUp, FallingDown, FallingUp, RisingDown,
                   RisingUp };

  static bool IsUp(Way way) {
    return way == Way::ColumnUp || way == Way::RowUp || way == Way::FallingUp ||
           way == Way::RisingUp;
  }

  // One side of a line as the estimate reads it: its near cell, and its edge and next cells.
  struct SideView {
    LineCell& Near;
    SideFar& Far;
  };
  static SideView DownOf(LineState& line, LineFar& far) { return {line.DownNear, far.Down}; }
  static SideView UpOf(LineState& line, LineFar& far) { return {line.UpNear, far.Up}; }

  // Edge and next cells of a side whose near cell is new, from a scan from the present cell.
  void Find(SideView side, Way way) const {
    const std::int32_t x = cellX_, y = cellY_;
    SideCells found;
    switch (way) {
      case Way::ColumnDown: found = scan_.ColumnDown(x, y); break;
      case Way::ColumnUp: found = scan_.ColumnUp(x, y); break;
      case Way::RowDown: found = scan_.RowDown(x, y); break;
      case Way::RowUp: found = scan_.RowUp(x, y); break;
      case Way::FallingDown: found = scan_.Diagonal(x, y, -1, +1); break;
      case Way::FallingUp: found = scan_.Diagonal(x, y, +1, -1); break;
      case Way::RisingDown: found = scan_.Diagonal(x, y, -1, -1); break;
      case Way::RisingUp: found = scan_.Diagonal(x, y, +1, +1); break;
    }
    // A down side's near cell is the streams' own; an up side's is found here.
    assert(IsUp(way) || (side.Near == LineCell{found.Near.x, found.Near.y}));
    side.Near = {found.Near.x, found.Near.y};
    side.Far.Edge = {found.Edge.x, found.Edge.y};
    side.Far.Next = {found.Next.x, found.Next.y};
    side.Far.Beyond = BeyondOf(side.Far, IsUp(way));
  }
  // A side's slope beyond its near cell as the estimate reads it, down (edge - next) or up
  // (next - edge), from the values its far cells hold now; kReadAfresh when either holds no
  // height (a cell holding 0 may yet be written).
  std::int32_t BeyondOf(const SideFar& far, bool up) const {
    const std::int32_t edge = scan_.G(far.Edge.x, far.Edge.y);
    const std::int32_t next = scan_.G(far.Next.x, far.Next.y);
    if (!IsHeight(edge) || !IsHeight(next)) return SideFar::kReadAfresh;
    return SlopeBetween(edge, next, up);
  }

  // A side's slope beyond its near cell, its far cells found first if they are not known.
  std::int32_t SideBeyond(SideView side, Way way) const {
    if (!side.Far.Known()) Find(side, way);
    const SideFar& far = side.Far;
    if (far.Beyond != SideFar::kReadAfresh) {
      assert(far.Beyond == BeyondOf(far, IsUp(way)));
      return far.Beyond;
    }
    return SlopeBetween(scan_.G(far.Edge.x, far.Edge.y), scan_.G(far.Next.x, far.Next.y),
                        IsUp(way));
  }

  // An up side's new near cell, from a scan from the present cell. Its edge and next cells are
  // found when a flat line's estimate first wants them (Find, from the cell of that moment):
  // until the sweep passes the near cell, a walk from any cell of the line before it meets the
  // same cells.
  void FindNear(SideView side, Way way) const {
    const std::int32_t x = cellX_, y = cellY_;
    Cell near;
    switch (way) {
      case Way::ColumnUp: near = scan_.ColumnUpNear(x, y); break;
      case Way::RowUp: near = scan_.RowUpNear(x, y); break;
      case Way::FallingUp: near = scan_.DiagonalNear(x, y, +1, -1); break;
      default: assert(way == Way::RisingUp); near = scan_.DiagonalNear(x, y, +1, +1); break;
    }
    side.Near = {near.x, near.y};
    side.Far.Forget();
  }

  // A line's scan as the estimate reads it, from the streams' sides; edge and next cells are
  // found only when the estimate wants them.
  class StreamScan {
   public:
    StreamScan(const Interpolator& owner, SideView down, Way downWay, SideView up, Way upWay,
               bool alongColumn)
        : owner_(owner), down_(down), up_(up), downWay_(downWay), upWay_(upWay),
          alongColumn_(alongColumn) {}
    std::int32_t DownNearP() const { return Position(down_.Near); }
    std::int32_t DownNearV() const { return Value(down_.Near); }
    std::int32_t UpNearP() const { return Position(up_.Near); }
    std::int32_t UpNearV() const { return Value(up_.Near); }
    std::int32_t DownEdgeV() const { return Value(Known(down_, downWay_).Edge); }
    std::int32_t DownNextV() const { return Value(Known(down_, downWay_).Next); }
    std::int32_t UpEdgeV() const { return Value(Known(up_, upWay_).Edge); }
    std::int32_t UpNextV() const { return Value(Known(up_, upWay_).Next); }
    std::int32_t DownBeyond() const { return owner_.SideBeyond(down_, downWay_); }
    std::int32_t UpBeyond() const { return owner_.SideBeyond(up_, upWay_); }

   private:
    std::int32_t Position(LineCell c) const { return alongColumn_ ? c.y : c.x; }
    std::int32_t Value(LineCell c) const { return owner_.scan_.G(c.x, c.y); }
    const SideFar& Known(SideView side, Way way) const {
      if (!side.Far.Known()) owner_.Find(side, way);
      return side.Far;
    }
    const Interpolator& owner_;
    SideView down_;
    SideView up_;
    Way downWay_, upWay_;
    bool alongColumn_;
  };

  // The column line's scan as the streams carry it.
  StreamScan ColumnStream() {
    LineState& line = streams_.Column();
    LineFar& far = streams_.ColumnFar();
    return StreamScan(*this, DownOf(line, far), Way::ColumnDown, UpOf(line, far), Way::ColumnUp,
                      true);
  }

  // The up sides move on when the sweep passes their near cells, and the lines' gradients are
  // made again then (along the 135-degree diagonal, whenever the up side's near cell changes).
  // Along the 135-degree diagonal the walk's first cell, (x, y - 1), is in the present column
  // and looked at directly; a 45-degree walk's first cell (x, y + 1) still lies ahead. The
  // walks' limits are the same for every cell of a line. The far cells are reached only by
  // the flat lines' scans, so that the cells that slope keep to the lines' small states.
  void ColumnUpSide(std::int32_t y) {
    LineState& line = streams_.Column();
    if (line.UpLastX < y) {
      FindNear(UpOf(line, streams_.ColumnFar()), Way::ColumnUp);
      line.UpLastX = static_cast<std::int16_t>(line.UpNear.y - 1);
      line.SlopeKnown = false;
      line.Keep();
    }
  }
  void RowUpSide(std::int32_t x, std::int32_t y) {
    LineState& line = streams_.Row(y);
    if (line.UpLastX < x) {
      FindNear(UpOf(line, streams_.RowFar(y)), Way::RowUp);
      line.UpLastX = static_cast<std::int16_t>(line.UpNear.x - 1);
      line.SlopeKnown = false;
      line.Keep();
    }
  }
  // Whether the walk meets a contour at its first cell, which then serves as the up side of
  // this cell alone (firstCell_), the line's own up side left as it is.
  bool FallingUpSide(std::int32_t x, std::int32_t y) {
    if (here_[y - 1] > 0) {
      firstCell_ = {x, y - 1};
      firstCellFar_ = {};
      return true;
    }
    LineState& line = streams_.Falling(y);
    if (line.UpLastX < x) {
      FindNear(UpOf(line, streams_.FallingFar(y)), Way::FallingUp);
      line.UpLastX = scan_.G(line.UpNear.x, line.UpNear.y) > 0
                         ? static_cast<std::int16_t>(line.UpNear.x - 1)
                         : kAlways;
      line.Keep();
    }
    return false;
  }
  void RisingUpSide(std::int32_t x, std::int32_t y) {
    LineState& line = streams_.Rising(y);
    if (line.UpLastX < x) {
      FindNear(UpOf(line, streams_.RisingFar(y)), Way::RisingUp);
      // A cell met at the half step, on the diagonal above, stays ahead one column longer.
      const LineCell near = line.UpNear;
      const bool half = near.x - near.y != x - y;
      line.UpLastX = scan_.G(near.x, near.y) <= 0 ? kAlways
                     : half                      ? near.x
                                                 : static_cast<std::int16_t>(near.x - 1);
      line.SlopeKnown = false;
      line.Keep();
    }
  }

  // The gradient between two near cells (positions and values) as the estimate step computes
  // it, or -1.0 when the line is skipped.
  template <bool Diagonal>
  static double Gradient(std::int32_t downP, std::int32_t upP, std::int32_t downV,
                         std::int32_t upV, double step) {
    const std::int64_t length = std::int64_t{upP} - downP;
    if (length == 0 || !IsHeight(upV) || !IsHeight(downV)) return -1.0;
    const double l = static_cast<double>(length);
    const double dh = static_cast<double>(upV - downV);
    return Diagonal ? std::fabs(dh / l) / step : std::fabs(dh / l);
  }
  // The line with its gradient and near values for the present near cells.
  template <bool Diagonal, bool Falling = false>
  const LineState& Sloped(LineState& line, LineCell upNear, bool alongColumn,
                          double step) const {
    if (!line.SlopeKnown || (Falling && !(line.SlopeUp == upNear))) {
      line.SlopeKnown = true;
      line.SlopeUp = upNear;
      line.DownV = scan_.Grid()(line.DownNear.x, line.DownNear.y);
      line.UpV = scan_.Grid()(upNear.x, upNear.y);
      const std::int32_t downP = alongColumn ? line.DownNear.y : line.DownNear.x;
      const std::int32_t upP = alongColumn ? upNear.y : upNear.x;
      line.Slope = Gradient<Diagonal>(downP, upP, line.DownV, line.UpV, step);
      line.DownP = downP;
      line.Length = upP - downP;
      line.Dh = line.UpV - line.DownV;
      line.DownHeight = line.DownV;
      line.Keep();
    }
    return line;
  }

  // A cell of rows 2 to H - 3 and columns 2 to W - 3, from the line streams. Every scan from it
  // takes at least two steps before a limit, so none reports the cell itself as a near, edge or
  // next cell (nearer the edges a scan stopping after one step reports it as its edge); only the
  // row's first read sees it. Its value between its lines matters only when the column line
  // leaves it positive, and then the other lines run one by one. Otherwise the cell is written
  // once, after its last line. In the common cell, some line sloping and an estimate made
  // before in the run, the steepest line (the first of equals) sets E: lines before it set an
  // estimate it overrides, lines after it cannot change it; a sloping column's own estimate
  // lies between its two positive near heights, so it leaves the cell negative for the row.
  [[gnu::flatten]] void StreamedCell(std::int32_t x, std::int32_t y, double root2) {
    LineState& columnLine = streams_.Column();
    ColumnUpSide(y);
    LineState& rowLine = streams_.Row(y);
    RowUpSide(x, y);
    LineState& fallingLine = streams_.Falling(y);
    const bool fallingFirst = FallingUpSide(x, y);
    const LineCell fallingUpNear = fallingFirst ? firstCell_ : fallingLine.UpNear;
    LineState& risingLine = streams_.Rising(y);
    RisingUpSide(x, y);
    const auto column = [&] { return ColumnStream(); };
    const auto flatLines = [&](bool applied, const double* slopes) {
      FlatLines(x, y, fallingFirst, applied, slopes);
    };
    bool applied = false;
    if (state_.HaveE) {
      const LineState& columnSloped = Sloped<false>(columnLine, columnLine.UpNear, true, 1.0);
      const double columnSlope = columnSloped.Slope;
      applied = columnSlope >= 0.0;
      if (columnSlope == 0.0) {
        // A flat column extrapolates, or keeps the carried estimate, which may leave the cell
        // positive for the row's first read.
        const StreamScan flat = column();
        ExtrapolateFlat(flat, y, 1.0,
                        static_cast<double>(std::int64_t{flat.UpNearP()} - flat.DownNearP()),
                        state_);
        if (const std::int16_t v = StoredEstimate(state_); v > 0) {
          scan_.Write(x, y, v);
          LaterLinesOneByOne(x, y, root2);
          return;
        }
      }
      std::int32_t p0 = y;
      const LineState* steepest = &columnSloped;
      bool alongColumn = true;
      double best = columnSlope;
      const auto consider = [&](const LineState& line) {
        if (line.Slope > best) {
          best = line.Slope;
          steepest = &line;
          alongColumn = false;
          p0 = x;
        }
        return line.Slope;
      };
      const double slopes[] = {
          consider(Sloped<false>(rowLine, rowLine.UpNear, false, 1.0)),
          consider(Sloped<true, true>(fallingLine, fallingUpNear, false, root2)),
          consider(Sloped<true>(risingLine, risingLine.UpNear, false, root2))};
      if (best > 0.0) {
        const LineState& s = *steepest;
        const std::int32_t down = alongColumn ? s.DownNear.y : s.DownNear.x;
        const std::int32_t up = alongColumn ? s.SlopeUp.y : s.SlopeUp.x;
        state_.BestGradient = best;
        state_.E = Interpolated(p0, down, std::int64_t{up} - down, s.UpV - s.DownV, s.DownV);
        WriteEmpty(x, y, StoredEstimate(state_));
        return;
      }
      flatLines(applied, slopes);
      return;
    }
    if (ApplyLineEstimate<false>(column(), y, 1.0, state_)) {
      applied = true;
      if (!state_.HaveE) {
        wanting_ = true;
      } else if (const std::int16_t v = StoredEstimate(state_); v > 0) {
        scan_.Write(x, y, v);
        LaterLinesOneByOne(x, y, root2);
        return;
      }
    }
    flatLines(applied, nullptr);
  }

  // The row's and diagonals' estimates of a cell whose column line leaves it negative or
  // empty. slopes: the three lines' gradients when known (each then -1, skipped, or 0, flat).
  void FlatLines(std::int32_t x, std::int32_t y, bool fallingFirst, bool applied,
                 const double* slopes) {
    LineState& rowLine = streams_.Row(y);
    LineFar& rowFar = streams_.RowFar(y);
    const StreamScan row(*this, DownOf(rowLine, rowFar), Way::RowDown, UpOf(rowLine, rowFar),
                         Way::RowUp, false);
    LineState& fallingLine = streams_.Falling(y);
    LineFar& fallingFar = streams_.FallingFar(y);
    const StreamScan falling(*this, DownOf(fallingLine, fallingFar), Way::FallingDown,
                             fallingFirst ? SideView{firstCell_, firstCellFar_}
                                          : UpOf(fallingLine, fallingFar),
                             Way::FallingUp, false);
    LineState& risingLine = streams_.Rising(y);
    LineFar& risingFar = streams_.RisingFar(y);
    const StreamScan rising(*this, DownOf(risingLine, risingFar), Way::RisingDown,
                            UpOf(risingLine, risingFar), Way::RisingUp, false);
    if (slopes != nullptr)
      StreamedFlatLinesOfKnownSlopes(x, y, row, falling, rising, slopes, root2_, applied);
    else
      StreamedFlatLines(x, y, row, falling, rising, root2_, applied);
  }

  // A cell of a sloping run whose lines all come out flat or skipped, as StreamedCell makes it,
  // a flat column's extrapolation having left it negative. The lines' near cells and values
  // are those their slopes were made with, which the run keeps up to date; a flat line's near
  // cells both hold heights, which cannot change.
  [[gnu::noinline]] void FlatCell(std::int32_t x, std::int32_t y, double columnSlope,
                                  const FlatColumn& flat) {
    wanting_ = false;
    cellX_ = x;
    cellY_ = y;
    // The cell's estimate in a local, out of reach of the calls that find far cells.
    EstimateState state;
    state.E = state_.E;
    state.HaveE = state_.HaveE;
    bool applied = columnSlope >= 0.0;
    if (columnSlope == 0.0) flat.Extrapolate(y, state);
    const auto line = [&](LineState& l, LineFar& far, Way down, Way up, double step) {
      if (l.Slope < 0.0) return;
      applied = true;
      assert(l.DownV == scan_.G(l.DownNear.x, l.DownNear.y) && l.SlopeUp == l.UpNear &&
             l.UpV == scan_.G(l.UpNear.x, l.UpNear.y));
      const KeptFlatLine s{*this, l, far, down, up};
      ExtrapolateFlat(s, x, step, static_cast<double>(std::int64_t{s.UpNearP()} - s.DownNearP()),
                      state);
    };
    line(streams_.Row(y), streams_.RowFar(y), Way::RowDown, Way::RowUp, 1.0);
    line(streams_.Falling(y), streams_.FallingFar(y), Way::FallingDown, Way::FallingUp, root2_);
    line(streams_.Rising(y), streams_.RisingFar(y), Way::RisingDown, Way::RisingUp, root2_);
    state_ = state;
    if (!applied) return;
    const std::int16_t v = StoredEstimate(state.E);
    WriteEmpty(x, y, v);
    if (v > 0) streams_.Finished(y);
  }

  // A row or diagonal whose slope is known and whose up side is its own, as ExtrapolateFlat
  // reads it.
  struct KeptFlatLine {
    const Interpolator& Owner;
    LineState& Line;
    LineFar& Far;
    Way DownWay, UpWay;
    std::int32_t DownNearP() const { return Line.DownNear.x; }
    std::int32_t UpNearP() const { return Line.SlopeUp.x; }
    std::int32_t DownNearV() const { return Line.DownV; }
    std::int32_t UpNearV() const { return Line.UpV; }
    std::int32_t DownBeyond() const { return Owner.SideBeyond(DownOf(Line, Far), DownWay); }
    std::int32_t UpBeyond() const { return Owner.SideBeyond(UpOf(Line, Far), UpWay); }
  };

  // After a column line that left the cell positive, the row's first reads see it: the later
  // lines run one by one, each writing the cell, from scans as the grid then stands.
  void LaterLinesOneByOne(std::int32_t x, std::int32_t y, double root2) {
    Apply<false>(x, y, RowScan(x, y), false, x, 1.0);
    Apply<true>(x, y, FallingScan(x, y), false, x, root2);
    Apply<true>(x, y, RisingScan(x, y), false, x, root2);
  }

  // The row's and diagonals' estimates one by one, after a column line that left the cell
  // negative or empty; the cell is written once, after the last line.
  [[gnu::flatten]] void StreamedFlatLines(std::int32_t x, std::int32_t y, const StreamScan& row,
                         const StreamScan& falling, const StreamScan& rising, double root2,
                         bool applied) {
    const StreamScan* steepest = nullptr;
    const auto line = [&]<bool Diagonal>(const StreamScan& s, double step) {
      bool improved = false;
      if (!ApplyLineEstimate<Diagonal>(s, x, step, state_, nullptr, &improved)) return;
      applied = true;
      if (improved) steepest = &s;
      if (!state_.HaveE) wanting_ = true;
    };
    line.template operator()<false>(row, 1.0);
    line.template operator()<true>(falling, root2);
    line.template operator()<true>(rising, root2);
    if (steepest != nullptr) {
      const StreamScan& s = *steepest;
      state_.E = Interpolated(x, s.DownNearP(), std::int64_t{s.UpNearP()} - s.DownNearP(),
                              s.UpNearV() - s.DownNearV(), s.DownNearV());
    }
    if (applied && state_.HaveE) WriteEmpty(x, y, StoredEstimate(state_));
  }

  // The same when no line slopes, the lines' gradients known: a flat line cannot be the
  // steepest, and only extrapolates; a skipped one does nothing. E was carried in, so the cell
  // is written.
  [[gnu::flatten]] void StreamedFlatLinesOfKnownSlopes(std::int32_t x, std::int32_t y,
                                                       const StreamScan& row,
                                                       const StreamScan& falling,
                                                       const StreamScan& rising,
                                                       const double* slopes, double root2,
                                                       bool applied) {
    const auto line = [&](const StreamScan& s, double slope, double step) {
      if (slope < 0.0) return;
      applied = true;
      const double l = static_cast<double>(std::int64_t{s.UpNearP()} - s.DownNearP());
      ExtrapolateFlat(s, x, step, l, state_);
    };
    line(row, slopes[0], 1.0);
    line(falling, slopes[1], root2);
    line(rising, slopes[2], root2);
    if (applied) WriteEmpty(x, y, StoredEstimate(state_));
  }

  // Writes a cell that holds no positive height: only a positive value changes the bit lines.
  void WriteEmpty(std::int32_t x, std::int32_t y, std::int16_t value) {
    if (value > 0)
      scan_.Write(x, y, value);
    else
      scan_.Cells(x)[y] = value;
  }

  // Only cells that hold 0 are written, and only the cell being interpolated more than once.
  bool Settles(Cell c, std::int16_t v) const { return v > 0 && !(c.x == cellX_ && c.y == cellY_); }

  // Whether a cell of the present column, or of the one before it, holds no positive height.
  bool EmptyHere(std::int32_t y) const { return here_[y] <= 0; }
  bool EmptyWest(std::int32_t y) const { return west_[y] <= 0; }

  static Cell16 Narrow(Cell c) {
    return {static_cast<std::int16_t>(c.x), static_cast<std::int16_t>(c.y)};
  }

  // The memo's cells when reusable, else a new scan. The near value is read afresh where it may
  // have changed since: a settled near holds its value, and the sweep has written only the
  // previous column (from the memo's start on) and the present one, so a cell in any other
  // column holds what it held then.
  template <typename Compute>
  void Side(SideMemo& memo, bool reusable, std::int32_t x, Compute compute) {
    if (!reusable) {
      const SideCells cells = compute();
      const auto v = static_cast<std::int16_t>(scan_.G(cells.Near));
      memo = {Narrow(cells.Near), Narrow(cells.Edge), Narrow(cells.Next), v, Settles(cells.Near, v)};
    } else if (!memo.Settled && memo.Near.x >= x - 1) {
      const auto v = static_cast<std::int16_t>(scan_.G(memo.Near.x, memo.Near.y));
      memo.NearV = v;
      memo.Settled = Settles({memo.Near.x, memo.Near.y}, v);
    }
  }

  // Along the column the cells above are as before; below, the one just finished is new.
  LineMemo& ColumnScan(std::int32_t x, std::int32_t y) {
    LineMemo& m = column_;
    const bool next = m.Start == y - 1;
    Side(m.Up, next, x, [&] { return scan_.ColumnUp(x, y); });
    Side(m.Down, next && EmptyHere(y - 1), x, [&] { return scan_.ColumnDown(x, y); });
    m.Start = static_cast<std::int16_t>(y);
    return m;
  }

  // Along the row both scans begin by reading the cell itself, which the column line may have
  // written: the previous scan must not have stopped on its own cell, and the new one must pass
  // over this one. Behind, the previous column's cell has been finished since.
  LineMemo& RowScan(std::int32_t x, std::int32_t y) {
    LineMemo& m = rows_[static_cast<std::size_t>(y)];
    const bool next = m.Start == x - 1 && EmptyHere(y);
    Side(m.Up, next && m.Up.Near.x >= x, x, [&] { return scan_.RowUp(x, y); });
    Side(m.Down, next && m.Down.Near.x < x - 1 && EmptyWest(y), x,
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
    Side(m.Up, next && m.Up.Near.x >= x && EmptyHere(y - 1), x,
         [&] { return scan_.Diagonal(x, y, +1, -1); });
    Side(m.Down, next && EmptyHere(y + 1) && EmptyWest(y + 1) && EmptyWest(y + 2), x,
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
    Side(m.Up, next && m.Up.Near.x >= x, x, [&] { return scan_.Diagonal(x, y, +1, +1); });
    Side(m.Down, next && EmptyHere(y - 1) && EmptyWest(y - 1), x,
         [&] { return scan_.Diagonal(x, y, -1, -1); });
    m.Start = static_cast<std::int16_t>(x);
    return m;
  }

  double root2_ = std::sqrt(2.0);
  FastScanner scan_;
  LineStreams streams_;
  EstimateState state_;
  bool wanting_ = false;
  LineMemo column_;
  GradientMemo columnGradient_;
  std::int32_t cellX_ = 0, cellY_ = 0;  // the cell being interpolated
  // A 135-degree up side that meets a contour at its first cell.
  LineCell firstCell_;
  SideFar firstCellFar_;
  static constexpr std::int16_t kAlways = LineState::kAlways;
  const std::int16_t* here_ = nullptr;  // the present column
  const std::int16_t* west_ = nullptr;  // the column before it
  std::vector<LineMemo> rows_, rising_, falling_;
};

// The first column of the east sweep, or 0 to sweep on one thread. The east sweep also copies
// the grid and brings the streams through the western columns, so it takes fewer columns.
std::int32_t ChooseSplitColumn(const GridState& grid, const InterpolationOptions& options) {
  const int threads =
      options.Threads > 0
          ? options.Threads
          : std::clamp(UsableCores(), 1, 2);
  const std::int32_t w = grid.GridWidth, h = grid.GridHeight;
  // Narrow or low grids: the last two rows would be most of a column.
  if (threads < 2 || w < 8 || h < 8) return 0;
  if (options.SplitColumn != 0) return std::clamp(options.SplitColumn, 2, w - 3);
  // Below about 2 M cells the copy and the second bit tables cost as much as the thread saves.
  constexpr std::int64_t kLeastCells = std::int64_t{1} << 21;
  if (std::int64_t{w} * h < kLeastCells) return 0;
  return w / 2 + w / 20;
}

// The eastern columns, split on, swept on a thread of their own on a copy of the grid as it was
// before the interpolation. The western columns' last two rows are swept first, as the one sweep
// would leave them, since every eastern cell near the top reads them; the rest of the west is
// left as it was. What the east's walks looked at in the west is noted, so that the result can
// be proved to be the one sweep's, or refused.
class EastSweep {
 public:
  struct Result {
    bool Completed = false;  // false: no memory for the copy, say
    HeightGridType Grid;
    InterpolationCounts Counts;
  };

  EastSweep(const GridState& grid, std::int32_t split, const InterpolationOptions& options)
      : reach_(grid.GridWidth, grid.GridHeight, split),
        thread_([this, &grid, split, own = options]() mutable { Run(grid, split, own); }) {}

  // The west may write the grid from here on.
  void WaitForCopy() { copied_.wait(); }

  const Result& Finish() {
    thread_.join();
    return result_;
  }
  const WestReach& Reach() const { return reach_; }

 private:
  void Run(const GridState& grid, std::int32_t split, InterpolationOptions& options) {
    try {
      GridState copy;
      try {
        copy.GridWidth = grid.GridWidth;
        copy.GridHeight = grid.GridHeight;
        HeightGridType* into = options.CopyInto;
        if (into != nullptr && into->Columns() == grid.HeightGrid.Columns() &&
            into->Rows() == grid.HeightGrid.Rows()) {
          copy.HeightGrid = std::move(*into);
          std::memcpy(copy.HeightGrid.Data(), grid.HeightGrid.Data(),
                      static_cast<std::size_t>(grid.HeightGrid.Columns() * grid.HeightGrid.Rows()) *
                          sizeof(std::int16_t));
        } else {
          copy.HeightGrid = grid.HeightGrid;
        }
      } catch (...) {
        copied_.count_down();
        throw;
      }
      copied_.count_down();
      Interpolator east(copy, std::move(options.Tiles));
      east.SweepLastRows(1, split - 1);
      east.ForgetEstimate();
      east.NoteWalksWestIn(reach_, split);
      east.Sweep(split, grid.GridWidth - 1, nullptr, result_.Counts);
      result_.Grid = std::move(copy.HeightGrid);
      result_.Completed = true;
    } catch (...) {
      result_.Completed = false;  // the west sweeps these columns itself
    }
  }

  std::latch copied_{1};
  WestReach reach_;
  Result result_;
  std::jthread thread_;  // last: it starts once the rest is made, and is joined first
};

// Whether the east's columns are what the one sweep would have made: the west's last two rows
// as the east swept them, no cell the west made positive below them where an eastern walk
// looked, and no eastern cell wanting the estimate the west carried in. The east begins without
// an estimate, and no cell is left wanting one once any estimate is made.
bool EastHolds(const GridState& grid, const EastSweep::Result& east, const WestReach& reach,
               const Interpolator& west, std::int32_t split) {
  if (!east.Completed) return false;
  if (east.Counts.CellsWithoutEstimate != 0 && west.Carried().HaveE) return false;
  // A cell of the last rows that the east swept otherwise matters where it is positive either
  // way, or on the last row, where walks stop and read what they find.
  const std::int32_t h = grid.GridHeight;
  for (std::int32_t x = 1; x < split; ++x)
    for (std::int32_t y = std::max(1, h - 2); y <= h - 1; ++y) {
      const std::int16_t swept = east.Grid(x, y), one = grid.HeightGrid(x, y);
      if (swept == one) continue;
      if (swept > 0 || one > 0 ? reach.MayHaveSeen(x, y)
                               : y == h - 1 && reach.MayHaveSeenAlongDiagonals(x, y))
        return false;
    }
  for (const WestReach::Cell c : reach.ValuesRead())
    if (east.Grid(c.x, c.y) != grid.HeightGrid(c.x, c.y)) return false;
  const std::vector<Cell>& positives = west.PositivesBelowTheTop();
  return std::none_of(positives.begin(), positives.end(),
                      [&](Cell c) { return reach.MayHaveSeen(c.x, c.y); });
}

}  // namespace

InterpolationCounts InterpolateHeights(GridState& grid, ProgressSink& progress,
                                       InterpolationOptions options) {
  progress.ShowProgress("working through map...");
  InterpolationCounts counts;
  if (grid.GridWidth < 2 || grid.GridHeight < 2) return counts;
  if (options.Tiles != nullptr && !options.Tiles->Fits(grid.HeightGrid)) options.Tiles.reset();
  const std::int32_t split = ChooseSplitColumn(grid, options);
  std::optional<EastSweep> east;
  if (split != 0) {
    try {
      east.emplace(grid, split, options);
    } catch (const std::exception&) {
      // No thread or no memory to be had: one sweep does it all.
    }
  }
  if (!east) {
    Interpolator(grid, std::move(options.Tiles)).Sweep(1, grid.GridWidth - 1, &progress, counts);
    return counts;
  }
  Interpolator west(grid, std::move(options.Tiles));  // reads the grid while the east sweep copies it
  east->WaitForCopy();
  west.Sweep(1, split - 1, &progress, counts);
  const EastSweep::Result& result = east->Finish();
  if (!EastHolds(grid, result, east->Reach(), west, split)) {
    west.Sweep(split, grid.GridWidth - 1, &progress, counts);
    counts.Split = SplitOutcome::SweptAgain;
    return counts;
  }
  const auto columns = static_cast<std::size_t>(grid.GridWidth - split);
  std::memcpy(grid.HeightGrid.Column(split), result.Grid.Column(split),
              columns * static_cast<std::size_t>(grid.HeightGrid.Rows()) * sizeof(std::int16_t));
  for (std::int32_t x = split; x <= grid.GridWidth - 1; ++x) Interpolator::ReportColumn(progress, x);
  counts.CellsWithoutEstimate += result.Counts.CellsWithoutEstimate;
  counts.Split = SplitOutcome::Kept;
  return counts;
}

bool InterpolationSplits(const GridState& grid) { return ChooseSplitColumn(grid, {}) != 0; }

LineScan ScanLineFast(GridState& grid, std::int32_t x, std::int32_t y, ScanLine line) {
  std::shared_ptr<const ContourTiles> none;
  const FastScanner scanner(grid, none);
  switch (line) {
    case ScanLine::Column:
      return scanner.Scan(scanner.ColumnDown(x, y), scanner.ColumnUp(x, y), true);
    case ScanLine::Row:
      return scanner.Scan(scanner.RowDown(x, y), scanner.RowUp(x, y), false);
    case ScanLine::Diagonal135:
      return scanner.Scan(scanner.Diagonal(x, y, -1, +1), scanner.Diagonal(x, y, +1, -1), false);
    case ScanLine::Diagonal45:
      break;
  }
  return scanner.Scan(scanner.Diagonal(x, y, -1, -1), scanner.Diagonal(x, y, +1, +1), false);
}

}  // namespace terrak
