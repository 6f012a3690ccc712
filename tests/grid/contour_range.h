#pragma once
// Whether a built grid stays within the range of the contours it was built from, as far as the
// interpolation may go beyond them: between two contours it interpolates, and where every line
// through a cell meets one height on both sides it extrapolates from the nearest contour by a
// fraction of the step to the next contour beyond it (a hilltop, a hollow). So no cell lies
// further below the lowest contour, or above the highest, than the largest such step.
#include <cstdint>

#include "terrain/grid_state.h"
#include "mapfile/map_model.h"
#include "mapfile/settings.h"

namespace terrak::testing {

// The grid of the model's selected symbols built stage by stage as BuildGrid builds it (no map
// bitmap), with the grid as it was painted and sealed, before the interpolation.
struct StagedGrid {
  GridState Sealed;
  GridState Built;
};
StagedGrid BuildGridInStages(const MapModel& model, const Settings& settings);

// The largest step beyond a flat line's near contour on the painted and sealed grid: over every
// empty interior cell and each of its four lines whose nearest contour cells on the two sides
// hold one height, the difference between the last cell of the near contour and the next
// contour cell beyond it, on either side where both are contour cells.
std::int32_t LargestStepBeyondFlats(GridState sealed);

struct ContourRange {
  std::int32_t Lowest = 0, Highest = 0;  // of the sealed grid's contour cells, decimetres
  std::int32_t Allowance = 0;            // LargestStepBeyondFlats
  std::int64_t CellsBeyond = 0;          // built cells outside the range widened by the allowance
  std::int32_t Furthest = 0;             // how far the furthest cell lies beyond the plain range
};
ContourRange CheckContourRange(const StagedGrid& grid);

}  // namespace terrak::testing
