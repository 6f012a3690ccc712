// The eastern columns' sweep on a thread of its own, and the check of its result.
#include "grid/east_sweep.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "grid/interpolator.h"

namespace terrak {

void EastSweep::Run(const GridState& grid, std::int32_t split, InterpolationOptions& options) {
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
  const std::vector<ScanCell>& positives = west.PositivesBelowTheTop();
  return std::none_of(positives.begin(), positives.end(),
                      [&](ScanCell c) { return reach.MayHaveSeen(c.x, c.y); });
}

}  // namespace terrak
