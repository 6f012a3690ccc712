#pragma once
// The fast interpolation on two threads: the eastern columns swept ahead of time on a copy of the
// grid, and kept only where they are provably what the one sweep from the west would have made.
//
// The argument, in short: a sweep's cell depends only on the cells its walks look at and on the
// estimate carried in. The east starts from the grid as it was, with the western columns' last
// two rows swept as the one sweep leaves them (SweepLastRows), and notes every western cell its
// walks could have stopped at or read (WestReach). The west then sweeps for real; wherever it
// made a cell differ from what the east saw, or the east wanted the estimate the west carried in,
// EastHolds refuses and the west sweeps the eastern columns itself. docs/grid-construction.md
// gives the whole argument.
//
// Internal to the fast interpolation (grid/interpolate.cpp).
#include <cstdint>
#include <latch>
#include <thread>

#include "grid/interpolate.h"
#include "grid/west_reach.h"
#include "terrain/grid_state.h"

namespace terrak {

class Interpolator;

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
  void Run(const GridState& grid, std::int32_t split, InterpolationOptions& options);

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
               const Interpolator& west, std::int32_t split);

}  // namespace terrak
