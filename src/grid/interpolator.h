#pragma once
// The fast interpolation's sweep: every empty interior cell, column by column from the west and
// each column from the south, on the scanner, streams and memos of the headers it includes.
//
// Runs: most streamed cells are made the same way (some line slopes, and the steepest one's
// estimate is stored negative), and change nothing the next cell of the column reads but the
// carried estimate. They run down the column in a loop of their own (SlopingRun), which leaves
// the few others to the cell-by-cell way (StreamedCell); the cells next to the grid's edges take
// their scans from the memos (EdgeCell).
//
// Internal to the fast interpolation (grid/interpolate.cpp, grid/east_sweep.cpp). Everything is
// defined here, so that the sweep's calls stay within one translation unit and are inlined.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/numtext.h"
#include "grid/fast_scanner.h"
#include "grid/interpolate.h"
#include "grid/interpolate_estimate.h"
#include "grid/line_streams.h"
#include "grid/progress_sink.h"
#include "grid/scan_memos.h"
#include "grid/stream_sides.h"
#include "grid/west_reach.h"

namespace terrak {

// Runs the interpolation over columns: the streamed cells from the lines' sides (StreamSides),
// the cells next to the edges from the memos' scans (ScanMemos).
class Interpolator : StreamSides {
 public:
  Interpolator(GridState& grid, std::shared_ptr<const ContourTiles> tiles)
      : StreamSides(grid, tiles), memos_(scan_, grid.GridWidth, grid.GridHeight) {}

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
    memos_.ForgetLines();
  }

  // The walks towards the west from here on (and the near cells that the lines through columns
  // from first on hold now) are noted in reach.
  void NoteWalksWestIn(WestReach& reach, std::int32_t first) {
    scan_.NoteWalksIn(reach);
    streams_.NoteDownSidesIn(reach, first);
  }
  const std::vector<ScanCell>& PositivesBelowTheTop() const { return scan_.PositivesBelowTheTop(); }
  const EstimateState& Carried() const { return state_; }
  // As at the start of the one sweep: a cell that wants an estimate then is counted, and left
  // empty where the one sweep may have written the estimate carried from the west.
  void ForgetEstimate() { state_ = {}; }

 private:
  void BeginColumn(std::int32_t x) {
    columnGradient_ = GradientMemo{};
    here_ = scan_.Column(x);
    streams_.BeginColumn(x);
    memos_.BeginColumn(x);
  }

  // A cell next to the grid's edges: each line's scans run after the line before it has
  // written the cell.
  void EdgeCell(std::int32_t x, std::int32_t y, InterpolationCounts& counts) {
    streams_.Step(y);
    if (here_[y] != 0) return;
    BeginCell(x, y);
    Apply<false>(x, y, memos_.ColumnScan(x, y), true, y, 1.0, &columnGradient_);
    Apply<false>(x, y, memos_.RowScan(x, y), false, x, 1.0);
    Apply<true>(x, y, memos_.FallingScan(x, y), false, x, root2_);
    Apply<true>(x, y, memos_.RisingScan(x, y), false, x, root2_);
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

  // After a column line that left the cell positive, the row's first reads see it: the later
  // lines run one by one, each writing the cell, from scans as the grid then stands.
  void LaterLinesOneByOne(std::int32_t x, std::int32_t y, double root2) {
    Apply<false>(x, y, memos_.RowScan(x, y), false, x, 1.0);
    Apply<true>(x, y, memos_.FallingScan(x, y), false, x, root2);
    Apply<true>(x, y, memos_.RisingScan(x, y), false, x, root2);
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

  double root2_ = std::sqrt(2.0);
  EstimateState state_;
  bool wanting_ = false;
  GradientMemo columnGradient_;
  ScanMemos memos_;
};

}  // namespace terrak
