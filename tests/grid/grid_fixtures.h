#pragma once
// Grids for the grid construction's tests: empty grids to draw on, pictures, random contour sets.
#include <cstdint>
#include <string>
#include <vector>

#include "terrain/grid_state.h"

namespace terrak::testing {

// A grid of GridWidth w and GridHeight h (w + 1 by h + 1 cells), all empty.
GridState EmptyGrid(std::int32_t w, std::int32_t h);

// Sets cells from a picture: rows from the top (row h) down to row 0, one character per cell:
// '.' empty, a digit d the height 100 * (d + 1) decimetres.
GridState GridFromPicture(const std::vector<std::string>& rowsFromTop);

// Random contour lines (straight and bent polylines) at random heights painted into an empty
// grid, the same for the same seed. Some heights jump far from their neighbours' so that flat
// regions and extrapolations beyond the contours occur.
GridState RandomContourGrid(std::uint32_t seed, std::int32_t w, std::int32_t h, int lines);

// Makes the contours two cells thick: the empty cell east of each contour cell takes the
// height given, or that contour cell's height for 0. Only the contours as they were spread.
void ThickenContours(GridState& grid, std::int16_t height = 0);

}  // namespace terrak::testing
