#pragma once
// The last two stages of the grid construction: clearing what lies outside the outline, and
// softening the grid by weighted means.
#include <cstdint>

#include "terrain/grid_state.h"

namespace terrak {

// Clears, in every column and then every row, the cells between the grid's edge and the first
// cell holding a positive height. Column GridWidth and row GridHeight are not visited. With
// threads 2 or more, half the work goes to a second thread.
void RemoveExcess(GridState& grid, int threads = 1);
// The same, every row walked cell by cell on its own.
void RemoveExcessPlain(GridState& grid);

// The smoothing factor and pass count as they are used: the factor within 0 .. 100 (a larger one
// would weigh the cell itself negatively), at most kMaxSmoothingPasses passes.
inline constexpr std::int32_t kMaxSmoothingPasses = 99;
struct SmoothingOptions {
  std::int32_t Factor = 0;
  std::int32_t Passes = 0;
  bool FactorClamped = false;
  bool PassesClamped = false;
};
SmoothingOptions CheckSmoothingOptions(std::int32_t smoothing, std::int32_t passes);

// One pass, in place: every non-empty interior cell becomes the weighted mean of its own height
// and the mean of its non-empty neighbours (factor in per cent for the neighbours), using the
// new values of the cells already passed. A cell without any non-empty neighbour keeps its own
// height (made positive like every smoothed cell). Returns the number of such cells where the
// factor gives the neighbours any weight. A factor of 0 only makes the cells positive, and then
// threads 2 or more give half the columns to a second thread; a weighted pass reads the cells
// passed before, and runs on this thread.
std::int64_t SmoothGrid(GridState& grid, std::int32_t factor, int threads = 1);

// The same pass written cell by cell as plainly as possible, the measure for SmoothGrid.
std::int64_t SmoothGridPlain(GridState& grid, std::int32_t factor);

}  // namespace terrak
