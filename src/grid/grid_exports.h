#pragma once
// The two optional CSV exports of the grid construction, lines ended by CR LF. Column
// GridWidth and row GridHeight of the grid are not written.
#include <string>

#include "terrain/grid_state.h"

namespace terrak {

// One line "x,y,metres" per contour cell (value > 0), row by row from the south, metres being
// the cell's true height in decimetres divided by ten with the quotient truncated.
void WritePointsFile(const std::string& fileName, const GridState& grid);

// One line per row from the south: every cell in metres with one decimal, right-aligned in at
// least four characters and followed by ",", then "end". With the height base 0 the cells as
// held (empty 0.0, interpolated negated); with another base every cell's true height, and
// nothing before the "," of an empty cell.
void WriteMatrixFile(const std::string& fileName, const GridState& grid);

}  // namespace terrak
