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
#include <cstdint>
#include <limits>
#include <vector>

#include "grid/bit_lines.h"
#include "grid/grid_limits.h"
#include "grid/grid_state.h"

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
  bool operator==(const LineCell&) const = default;
};

// One side of one line: its near cell, and its edge and next cells once found.
struct StreamSide {
  // An up side's LastX that holds for every later cell of the line: beyond every column.
  static constexpr std::int16_t kAlways = std::numeric_limits<std::int16_t>::max();
  LineCell Near, Edge, Next;
  // Down sides: the up side's near cell the gradient below was computed with.
  LineCell SlopeUp;
  // Down sides: the line's gradient and near values, kept while the two near cells stay (their
  // values cannot change meanwhile: positive cells are never written, nor the cells where
  // walks stop, while those lie behind or ahead of the sweep).
  std::int16_t DownV = 0, UpV = 0;
  std::int16_t LastX = -1;    // up sides: the last position for whose cell Near is still ahead
  bool Known = false;         // Edge and Next belong to Near
  bool SlopeKnown = false;
  double Slope = 0.0;
};
static_assert(sizeof(StreamSide) <= 32);
static_assert(kMaxGridSide + 1 <= std::numeric_limits<std::int16_t>::max());

class LineStreams {
 public:
  // columns holds the positive cells of every column (line x, position y).
  LineStreams(const HeightGridType& grid, std::int32_t height, const BitLines& columns)
      : grid_(grid),
        columns_(columns),
        h_(height),
        rowDown_(static_cast<std::size_t>(height) + 1),
        rowUp_(rowDown_.size()),
        fallingDown_(static_cast<std::size_t>(grid.Columns() + grid.Rows())),
        risingDown_(fallingDown_.size()),
        fallingUp_(fallingDown_.size()),
        risingUp_(fallingDown_.size()) {
    for (std::size_t y = 0; y < rowDown_.size(); ++y)
      rowDown_[y].Near = {0, static_cast<std::int32_t>(y)};
  }

  void BeginColumn(std::int32_t x) {
    x_ = x;
    here_ = grid_.Column(x);
    west_ = grid_.Column(x - 1);
    columnDown_ = {};
    columnDown_.Near = {x, 0};
    columnUp_ = {};
    if (x >= 2) TakeInPositives();
  }

  // Every cell of the column, rows 1 to height - 1 in order, passes here before it is
  // interpolated (or passed over). Away from the grid's first column and first and last rows
  // the diagonals' down sides were brought forward when the column began.
  void Step(std::int32_t y) {
    if (here_[y - 1] > 0) Move(columnDown_, {x_, y - 1});
    if (x_ == 1 || y < 2 || y > h_ - 3) Pass(y);
  }
  // The same for rows 2 to height - 3 of a column from the second on.
  void StepInside(std::int32_t y) {
    if (here_[y - 1] > 0) Move(columnDown_, {x_, y - 1});
  }

  // The cell just visited came out positive: it is the first cell of the 45-degree walk down
  // from the cell above it.
  void Finished(std::int32_t y) {
    if (here_[y] > 0 && y + 1 >= 2 && y + 1 <= h_ - 3)
      Move(risingDown_[static_cast<std::size_t>(x_ - (y + 1) + h_)], {x_, y});
  }

  // The down sides of the diagonals through the cell (x, y), one cell after another.
  void Pass(std::int32_t y) {
    // Towards (x - 1, y + 1): the walk from (x, y) is (x, y + 1), (x - 1, y + 1) and then the
    // walk from (x - 1, y + 1), whose first cell (x - 1, y + 2) has been visited since. A walk
    // that meets a contour in the present column goes on up that column, over cells not yet
    // visited: what it found beyond that contour is looked for again a column later.
    StreamSide& falling = fallingDown_[static_cast<std::size_t>(x_ + y)];
    const std::int32_t fallingSteps = std::min(h_ - 1 - y, x_);
    if (fallingSteps > 0) {
      if (here_[y + 1] > 0)
        Move(falling, {x_, y + 1});
      else if (west_[y + 1] > 0 || fallingSteps == 1)
        Move(falling, {x_ - 1, y + 1});
      else if (west_[y + 2] > 0)
        Renew(falling, {x_ - 1, y + 2});
    }
    // Towards (x - 1, y - 1): (x, y - 1), (x - 1, y - 1), then the walk from (x - 1, y - 1),
    // all of it visited before that cell.
    StreamSide& rising = risingDown_[static_cast<std::size_t>(x_ - y + h_)];
    if (here_[y - 1] > 0)
      Move(rising, {x_, y - 1});
    else if (west_[y - 1] > 0 || y == 1 || x_ == 1)
      Move(rising, {x_ - 1, y - 1});
  }

  // The sides of the lines through the cell (x, y) of the present column; the up sides are as
  // their owner last found them.
  StreamSide& ColumnDown() { return columnDown_; }
  StreamSide& ColumnUp() { return columnUp_; }
  StreamSide& RowDown(std::int32_t y) { return rowDown_[static_cast<std::size_t>(y)]; }
  StreamSide& RowUp(std::int32_t y) { return rowUp_[static_cast<std::size_t>(y)]; }
  // Towards (x - 1, y + 1) and (x + 1, y - 1).
  StreamSide& FallingDown(std::int32_t y) { return fallingDown_[static_cast<std::size_t>(x_ + y)]; }
  StreamSide& FallingUp(std::int32_t y) { return fallingUp_[static_cast<std::size_t>(x_ + y)]; }
  // Towards (x - 1, y - 1) and (x + 1, y + 1).
  StreamSide& RisingDown(std::int32_t y) {
    return risingDown_[static_cast<std::size_t>(x_ - y + h_)];
  }
  StreamSide& RisingUp(std::int32_t y) { return risingUp_[static_cast<std::size_t>(x_ - y + h_)]; }

 private:
  // The same as Pass for rows 2 to height - 3 of a column from the second on, from the
  // positive cells alone, the less urgent first: where a walk meets several of the cells it
  // gains, the first it meets wins. The cells of the present column above the cell being
  // visited are as before the sweep, and those it writes positive come in through Finished.
  void TakeInPositives() {
    const std::int32_t last = h_ - 3;
    const auto each = [&](std::int32_t column, auto take) {
      for (std::int32_t r = columns_.FirstSet(column, 0, h_); r >= 0;
           r = columns_.FirstSet(column, r + 1, h_))
        take(r);
    };
    const auto falling = [&](std::int32_t y) -> StreamSide& {
      return fallingDown_[static_cast<std::size_t>(x_ + y)];
    };
    const auto rising = [&](std::int32_t y) -> StreamSide& {
      return risingDown_[static_cast<std::size_t>(x_ - y + h_)];
    };
    each(x_ - 1, [&](std::int32_t r) {
      if (r >= 1 && r <= h_ - 1) Move(rowDown_[static_cast<std::size_t>(r)], {x_ - 1, r});
      if (r - 2 >= 2 && r - 2 <= last) Renew(falling(r - 2), {x_ - 1, r});
    });
    each(x_ - 1, [&](std::int32_t r) {
      if (r - 1 >= 2 && r - 1 <= last) Move(falling(r - 1), {x_ - 1, r});
      if (r + 1 >= 2 && r + 1 <= last) Move(rising(r + 1), {x_ - 1, r});
    });
    each(x_, [&](std::int32_t r) {
      if (r - 1 >= 2 && r - 1 <= last) Move(falling(r - 1), {x_, r});
      if (r + 1 >= 2 && r + 1 <= last) Move(rising(r + 1), {x_, r});
    });
  }

  static void Renew(StreamSide& side, LineCell nearCell) {
    side.Near = nearCell;
    side.Known = false;
    side.SlopeKnown = false;
  }
  static void Move(StreamSide& side, LineCell nearCell) {
    if (side.Near == nearCell) return;
    Renew(side, nearCell);
  }

  const HeightGridType& grid_;
  const BitLines& columns_;
  std::int32_t h_;
  std::int32_t x_ = 0;
  const std::int16_t* here_ = nullptr;
  const std::int16_t* west_ = nullptr;
  StreamSide columnDown_, columnUp_;
  std::vector<StreamSide> rowDown_, rowUp_;          // by row
  std::vector<StreamSide> fallingDown_, risingDown_;  // by diagonal
  std::vector<StreamSide> fallingUp_, risingUp_;
};

}  // namespace terrak
