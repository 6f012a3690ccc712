#pragma once
// The largest grid the program builds, holds and stores in a 3D map file. One limit serves all
// three, so every grid that is built can be saved and read back, and the construction refuses a
// larger one before it allocates anything.
#include <cstdint>
#include <string>

namespace terrak {

// 2^26 cells: 8192 x 8192 one-metre cells, 67 km2, more than a whole A1 sheet at 1:10000 or an
// A2 sheet at 1:15000, and 192 MB for the height and bitmap grids.
inline constexpr std::int64_t kMaxGridCells = std::int64_t{1} << 26;

// Cell positions are 16-bit and a 3D map file holds up to 32767 cells a side; the grid has one
// column and one row more than its width and height in metres.
inline constexpr std::int32_t kMaxGridSide = 32766;

// The refusal of a selection of width x height metres, naming the limits of a grid that may
// hold at most maxCells cells.
std::string GridTooLargeMessage(std::int32_t width, std::int32_t height, std::int64_t maxCells);

}  // namespace terrak
