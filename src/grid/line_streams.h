#pragma once
// The nearest positive cell on either side of every line through the interpolated cell, carried
// along the lines as the sweep goes instead of scanned for.
//
// Cells are visited column by column from the west, each column from the south. Behind a cell
// (south along its column, west along its row and the diagonals' western halves) every cell has
// been visited and holds its final value; ahead of it the grid is as it was before the sweep,
// but for the first cells of some diagonal walks, which lie in the present column. So a down
// side's nearest positive cell follows from the one found for the line's previous cell and the
// few cells the walk gains in front, and the edge and next cells found beyond it stay good until
// it changes; an up side's cells stay good until the sweep passes its near cell (its owner finds
// them again then). Positive results written by the sweep are taken in as they are passed.
//
// The cells hold for cells two or more cells away from the grid's edges (every walk takes at
// least two steps there) at a moment when the cell itself holds no positive height.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <vector>

#include "grid/bit_lines.h"
#include "terrain/grid_limits.h"
#include "terrain/grid_state.h"
#include "grid/west_reach.h"

namespace terrak {

// Positions fit 16 bits: a grid has at most kMaxGridSide + 1 columns and rows (grid_limits.h),
// and every cell a scan reports lies within one step of the grid. Small, because the sweep
// touches six sides for every cell and a column's worth of them should stay in the cache.
struct LineCell {
  std::int16_t x = 0;
  std::int16_t y = 0;
  constexpr LineCell() = default;
  constexpr LineCell(std::int32_t cellX, std::int32_t cellY)
      : x(static_cast<std::int16_t>(cellX)), y(static_cast<std::int16_t>(cellY)) {}
  // One 32-bit comparison rather than two 16-bit ones: the sweep compares cells for every cell.
  friend bool operator==(LineCell a, LineCell b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
  }
};

// What the sweep reads of one line at every cell: both sides' near cells, the gradient between
// them and how far the up side's near cell serves. Small, because every cell touches the states
// of four lines, and a column's worth of them (by row and by diagonal) should stay in the cache.
struct LineState {
  // An UpLastX that holds for every later cell of the line: beyond every column.
  static constexpr std::int16_t kAlways = std::numeric_limits<std::int16_t>::max();
  LineCell DownNear, UpNear;
  // The up side's near cell the gradient below was computed with.
  LineCell SlopeUp;
  // The line's gradient and near values, kept while the two near cells stay (their values
  // cannot change meanwhile: positive cells are never written, nor the cells where walks stop,
  // while those lie behind or ahead of the sweep).
  std::int16_t DownV = 0, UpV = 0;
  std::int16_t UpLastX = -1;  // the last position for whose cell UpNear is still ahead
  // The last position for whose cell both the up side and the gradient hold: UpLastX while the
  // gradient is known and was made with UpNear, else -1. Kept by Keep after every change.
  std::int16_t KeptUntil = -1;
  bool SlopeKnown = false;
  double Slope = 0.0;
  // The interpolation between the near cells, made with the gradient: the down side's position
  // (a row along a column, a column otherwise), the positions between the near cells, the
  // height difference and the down side's height.
  std::int32_t DownP = 0, Length = 0, Dh = 0, DownHeight = 0;
  void Keep() { KeptUntil = SlopeKnown && SlopeUp == UpNear ? UpLastX : std::int16_t{-1}; }
  // Interpolated's estimate at position p0 (a whole number): the same operations on the same
  // values, each converted once where it is read.
  double EstimateAt(double p0) const {
    return (p0 - static_cast<double>(DownP)) / static_cast<double>(Length) *
               static_cast<double>(Dh) +
           static_cast<double>(DownHeight);
  }
};
static_assert(sizeof(LineState) <= 48);
static_assert(kMaxGridSide + 1 <= std::numeric_limits<std::int16_t>::max());

// The edge and next cells beyond one side's near cell: only flat lines' estimates want them.
struct SideFar {
  LineCell Edge, Next;
  // The slope beyond the near cell that Edge and Next give, made with them when both hold a
  // height (written cells are never written again), else kReadAfresh: a cell holding 0 may be
  // written before the side is read again (an edge beside a run that ends at a limit can lie
  // in the present column). kUnknown until Edge and Next belong to the side's present near
  // cell.
  static constexpr std::int32_t kReadAfresh = std::numeric_limits<std::int32_t>::min();
  static constexpr std::int32_t kUnknown = kReadAfresh + 1;
  std::int32_t Beyond = kUnknown;
  bool Known() const { return Beyond != kUnknown; }
  void Forget() { Beyond = kUnknown; }
};
static_assert(sizeof(SideFar) == 12);
struct LineFar {
  SideFar Down, Up;
};

class LineStreams {
 public:
  // columns holds the positive cells of every column (line x, position y).
  LineStreams(const HeightGridType& grid, std::int32_t height, const BitLines& columns)
      : grid_(grid),
        columns_(columns),
        h_(height),
        rows_(static_cast<std::size_t>(height) + 1),
        rowsFar_(rows_.size()),
        falling_(static_cast<std::size_t>(grid.Columns() + grid.Rows())),
        fallingFar_(falling_.size()),
        rising_(falling_.size()),
        risingFar_(falling_.size()) {
    for (std::size_t y = 0; y < rows_.size(); ++y)
      rows_[y].DownNear = {0, static_cast<std::int32_t>(y)};
  }

  void BeginColumn(std::int32_t x) {
    x_ = x;
    fallingHere_ = falling_.data() + x;
    risingHere_ = rising_.data() + (x + h_);
    fallingFarHere_ = fallingFar_.data() + x;
    risingFarHere_ = risingFar_.data() + (x + h_);
    rowsHere_ = rows_.data();
    rowsFarHere_ = rowsFar_.data();
    here_ = grid_.Column(x);
    west_ = grid_.Column(x - 1);
    column_ = {};
    column_.DownNear = {x, 0};
    columnFar_ = {};
    if (x >= 2) TakeInPositives();
  }

  // Every cell of the column, rows 1 to height - 1 in order, passes here before it is
  // interpolated (or passed over). Away from the grid's first column and first and last rows
  // the diagonals' down sides were brought forward when the column began.
  void Step(std::int32_t y) {
    if (here_[y - 1] > 0) Move(Family::Column, column_, columnFar_, {x_, y - 1});
    if (x_ == 1 || y < 2 || y > h_ - 3) Pass(y);
  }
  // The same for rows 2 to height - 3 of a column from the second on.
  void StepInside(std::int32_t y) {
    if (here_[y - 1] > 0) Move(Family::Column, column_, columnFar_, {x_, y - 1});
  }

  // The cell just visited came out positive: it is the first cell of the 45-degree walk down
  // from the cell above it.
  void Finished(std::int32_t y) {
    if (here_[y] > 0 && y + 1 >= 2 && y + 1 <= h_ - 3) {
      const auto line = static_cast<std::size_t>(x_ - (y + 1) + h_);
      Move(Family::Rising, rising_[line], risingFar_[line], {x_, y});
    }
  }

  // The down sides of the diagonals through the cell (x, y), one cell after another.
  void Pass(std::int32_t y) {
    // Towards (x - 1, y + 1): the walk from (x, y) is (x, y + 1), (x - 1, y + 1) and then the
    // walk from (x - 1, y + 1), whose first cell (x - 1, y + 2) has been visited since. A walk
    // that meets a contour in the present column goes on up that column, over cells not yet
    // visited: what it found beyond that contour is looked for again a column later.
    const auto fallingLine = static_cast<std::size_t>(x_ + y);
    LineState& falling = falling_[fallingLine];
    LineFar& fallingFar = fallingFar_[fallingLine];
    const std::int32_t fallingSteps = std::min(h_ - 1 - y, x_);
    if (fallingSteps > 0) {
      if (here_[y + 1] > 0)
        Move(Family::Falling, falling, fallingFar, {x_, y + 1});
      else if (west_[y + 1] > 0 || fallingSteps == 1)
        Move(Family::Falling, falling, fallingFar, {x_ - 1, y + 1});
      else if (west_[y + 2] > 0)
        Renew(Family::Falling, falling, fallingFar, {x_ - 1, y + 2});
    }
    // Towards (x - 1, y - 1): (x, y - 1), (x - 1, y - 1), then the walk from (x - 1, y - 1),
    // all of it visited before that cell.
    const auto risingLine = static_cast<std::size_t>(x_ - y + h_);
    LineState& rising = rising_[risingLine];
    LineFar& risingFar = risingFar_[risingLine];
    if (here_[y - 1] > 0)
      Move(Family::Rising, rising, risingFar, {x_, y - 1});
    else if (west_[y - 1] > 0 || y == 1 || x_ == 1)
      Move(Family::Rising, rising, risingFar, {x_ - 1, y - 1});
  }

  // The lines through the cell (x, y) of the present column; the up sides are as their owner
  // last found them.
  LineState& Column() { return column_; }

  // From here on, every down side's near cell is noted in reach, beginning with those the lines
  // through columns from first on hold now: the walks from those lines' next cells end there.
  void NoteDownSidesIn(WestReach& reach, std::int32_t first) {
    reach_ = &reach;
    for (const LineState& row : rows_) Note(reach, Family::Row, row.DownNear);
    // Diagonal x + y = c, and x - y = c - height, reaches column first at c > first.
    for (std::size_t c = static_cast<std::size_t>(first) + 1; c < falling_.size(); ++c) {
      Note(reach, Family::Falling, falling_[c].DownNear);
      Note(reach, Family::Rising, rising_[c].DownNear);
    }
  }
  LineFar& ColumnFar() { return columnFar_; }
  LineState& Row(std::int32_t y) { return rowsHere_[y]; }
  LineFar& RowFar(std::int32_t y) { return rowsFarHere_[y]; }
  // Through (x - 1, y + 1) and (x + 1, y - 1).
  LineState& Falling(std::int32_t y) { return fallingHere_[y]; }
  LineFar& FallingFar(std::int32_t y) { return fallingFarHere_[y]; }
  // Through (x - 1, y - 1) and (x + 1, y + 1).
  LineState& Rising(std::int32_t y) { return risingHere_[-y]; }
  // The same lines for a whole column: by row, and for the diagonals by row and by minus row.
  const LineState* Rows() const { return rowsHere_; }
  const LineState* FallingByRow() const { return fallingHere_; }
  const LineState* RisingByMinusRow() const { return risingHere_; }
  LineFar& RisingFar(std::int32_t y) { return risingFarHere_[-y]; }

 private:
  // The same as Pass for rows 2 to height - 3 of a column from the second on, from the
  // positive cells alone, the less urgent first: where a walk meets several of the cells it
  // gains, the first it meets wins. The cells of the present column above the cell being
  // visited are as before the sweep, and those it writes positive come in through Finished.
  void TakeInPositives() {
    const std::int32_t last = h_ - 3;
    const auto each = [&](std::int32_t column, auto take) {
      columns_.ForEachSet(column, 0, h_, take);
    };
    const auto falling = [&](std::int32_t y, LineCell nearCell, bool renew) {
      const std::size_t line = FallingLine(y);
      if (renew)
        Renew(Family::Falling, falling_[line], fallingFar_[line], nearCell);
      else
        Move(Family::Falling, falling_[line], fallingFar_[line], nearCell);
    };
    const auto rising = [&](std::int32_t y, LineCell nearCell) {
      const std::size_t line = RisingLine(y);
      Move(Family::Rising, rising_[line], risingFar_[line], nearCell);
    };
    each(x_ - 1, [&](std::int32_t r) {
      if (r >= 1 && r <= h_ - 1) Move(Family::Row, Row(r), RowFar(r), {x_ - 1, r});
      if (r - 2 >= 2 && r - 2 <= last) falling(r - 2, {x_ - 1, r}, true);
    });
    each(x_ - 1, [&](std::int32_t r) {
      if (r - 1 >= 2 && r - 1 <= last) falling(r - 1, {x_ - 1, r}, false);
      if (r + 1 >= 2 && r + 1 <= last) rising(r + 1, {x_ - 1, r});
    });
    each(x_, [&](std::int32_t r) {
      if (r - 1 >= 2 && r - 1 <= last) falling(r - 1, {x_, r}, false);
      if (r + 1 >= 2 && r + 1 <= last) rising(r + 1, {x_, r});
    });
  }

  std::size_t FallingLine(std::int32_t y) const { return static_cast<std::size_t>(x_ + y); }
  std::size_t RisingLine(std::int32_t y) const { return static_cast<std::size_t>(x_ - y + h_); }

  enum class Family { Column, Row, Falling, Rising };

  // A line's down side gets a new near cell.
  void Renew(Family family, LineState& line, LineFar& far, LineCell nearCell) {
    line.DownNear = nearCell;
    line.SlopeKnown = false;
    line.KeptUntil = -1;
    far.Down.Forget();
    if (reach_ != nullptr) Note(*reach_, family, nearCell);
  }
  void Move(Family family, LineState& line, LineFar& far, LineCell nearCell) {
    if (line.DownNear == nearCell) return;
    Renew(family, line, far, nearCell);
  }
  static void Note(WestReach& reach, Family family, LineCell c) {
    switch (family) {
      case Family::Column: break;
      case Family::Row: reach.Row(c.x, c.y); break;
      case Family::Falling: reach.Falling(c.x, c.y); break;
      case Family::Rising: reach.Rising(c.x, c.y); break;
    }
  }

  const HeightGridType& grid_;
  const BitLines& columns_;
  WestReach* reach_ = nullptr;
  std::int32_t h_;
  std::int32_t x_ = 0;
  const std::int16_t* here_ = nullptr;
  const std::int16_t* west_ = nullptr;
  LineState column_;
  LineFar columnFar_;
  // By row, and by diagonal: x + y for the falling ones, x - y + height for the rising ones.
  std::vector<LineState> rows_;
  std::vector<LineFar> rowsFar_;
  std::vector<LineState> falling_;
  std::vector<LineFar> fallingFar_;
  std::vector<LineState> rising_;
  std::vector<LineFar> risingFar_;
  // The lines through the present column by row (for the diagonals, line x + y and line
  // x - y + height), read for every cell without going through the vectors.
  LineState* rowsHere_ = nullptr;
  LineFar* rowsFarHere_ = nullptr;
  LineState* fallingHere_ = nullptr;
  LineFar* fallingFarHere_ = nullptr;
  LineState* risingHere_ = nullptr;
  LineFar* risingFarHere_ = nullptr;
};

}  // namespace terrak
