#pragma once
// Height interpolation: every empty interior cell looks along its column, its row and its two
// diagonals for the nearest contour cell on either side, and takes the linear interpolation along
// the steepest of these lines; where every line sees the same height on both sides it
// extrapolates from the nearest contour with the step to the contour beyond. Results are stored
// negated, so later cells do not take them for contours.
//
// Two implementations give the same grid cell for cell: the plain one follows every scan cell by
// cell; the fast one answers the scans from bit tables of the positive cells along each line.
#include <cstdint>
#include <memory>

#include "terrain/grid_state.h"
#include "grid/progress_sink.h"

namespace terrak {

class ContourTiles;

// What one side of a line found: a position along the line and the grid's value there.
struct ScanPoint {
  std::int32_t p = 0;
  std::int32_t v = 0;
};

// The scan results of one line through the cell.
struct LineScan {
  ScanPoint DownNear, DownEdge, DownNext;
  ScanPoint UpNear, UpEdge, UpNext;

  // What the estimate reads; the fast interpolation offers the same through a view that reads
  // edge and next values only when they are needed.
  std::int32_t DownNearP() const { return DownNear.p; }
  std::int32_t DownNearV() const { return DownNear.v; }
  std::int32_t UpNearP() const { return UpNear.p; }
  std::int32_t UpNearV() const { return UpNear.v; }
  std::int32_t DownEdgeV() const { return DownEdge.v; }
  std::int32_t DownNextV() const { return DownNext.v; }
  std::int32_t UpEdgeV() const { return UpEdge.v; }
  std::int32_t UpNextV() const { return UpNext.v; }
};

// The estimate carried from line to line and from cell to cell. E is not reset between cells:
// a cell whose lines set no new estimate takes the last one made; before the first estimate of
// a run there is none to take, and such a cell is left empty.
struct EstimateState {
  double BestGradient = 0.0;
  double BestDistance = 9999999.0;
  double E = 0.0;
  bool HaveE = false;
};

// ApplyLineEstimate and StoredEstimate, the estimate step: grid/interpolate_estimate.h.

// The scans of one line through the cell (x, y) as the grid stands, by either implementation.
enum class ScanLine { Column, Row, Diagonal135, Diagonal45 };
LineScan ScanLinePlain(GridState& grid, std::int32_t x, std::int32_t y, ScanLine line);
LineScan ScanLineFast(GridState& grid, std::int32_t x, std::int32_t y, ScanLine line);

// How the fast interpolation went about a grid: on one thread, or on two, the second sweeping
// the eastern columns ahead of time on a copy of the grid. The second thread's columns are kept
// when nothing they looked at in the west turns out different from what the one sweep from the
// west would have found; otherwise they are swept again after the western ones.
enum class SplitOutcome { OneThread, Kept, SweptAgain };

struct InterpolationCounts {
  std::int64_t CellsWithoutEstimate = 0;  // cells left empty for want of any estimate
  SplitOutcome Split = SplitOutcome::OneThread;
};

// Threads 0 takes the machine's cores, at most two; grids under a few hundred thousand cells
// stay on one thread. SplitColumn 0 lets the interpolation choose the second thread's first
// column; tests set it, and any grid wide and high enough is then split.
struct InterpolationOptions {
  int Threads = 0;
  std::int32_t SplitColumn = 0;
  // The grid's positive cells, when the caller keeps them: the bit tables are made from them
  // instead of from every cell (tiles of another size are passed over). Let go once they are,
  // so as not to add to the sweep's memory.
  std::shared_ptr<const ContourTiles> Tiles;
  // A grid of the same size made ahead, which the second thread may take for its copy.
  HeightGridType* CopyInto = nullptr;
};

// Whether InterpolateHeights with options of no choices would sweep on two threads, and so copy
// the grid.
bool InterpolationSplits(const GridState& grid);

// Follows every scan cell by cell.
InterpolationCounts InterpolateHeightsPlain(GridState& grid, ProgressSink& progress);

// The same result from bit tables of the positive cells along every line.
InterpolationCounts InterpolateHeights(GridState& grid, ProgressSink& progress,
                                       InterpolationOptions options = {});

}  // namespace terrak
