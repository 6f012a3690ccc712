// The fast interpolation, which gives the plain one's grid (grid/interpolate_plain.cpp) cell for
// cell in four steps over it, each in a file of its own:
//
// 1. Jumps (grid/fast_scanner.h): every scan jumps to its next positive cell along bit lines of
//    the positive cells instead of walking cell by cell.
// 2. Reuse (grid/scan_memos.h): the cells next to the grid's edges reuse each side's previous
//    scan along its line where the walk from the new cell must find the same cells.
// 3. Streams (grid/line_streams.h, grid/stream_sides.h): the other cells take their lines' near
//    cells as the streams carry them along the lines, and keep each line's gradient while its
//    near cells stay.
// 4. Runs (grid/interpolator.h): the common cells, where some line slopes, run down the column
//    in a loop of their own.
//
// Here: the choice of one or two threads and the sweeps that follow from it; the second
// thread's sweep and the check of its columns are in grid/east_sweep.cpp.
#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>

#include "grid/contour_tiles.h"
#include "grid/east_sweep.h"
#include "grid/fast_scanner.h"
#include "grid/interpolate.h"
#include "grid/interpolator.h"
#include "platform/usable_cores.h"

namespace terrak {

namespace {

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
