#include "terrain/grid_limits.h"

#include <cmath>

namespace terrak {

std::string GridTooLargeMessage(std::int32_t width, std::int32_t height, std::int64_t maxCells) {
  // The widest square selection that fits: its grid has one column and one row more.
  auto square = static_cast<std::int64_t>(std::sqrt(static_cast<double>(maxCells)));
  while (square * square > maxCells) --square;
  while ((square + 1) * (square + 1) <= maxCells) ++square;
  const std::string side = std::to_string(square - 1);
  return "The selected objects cover " + std::to_string(width) + " x " + std::to_string(height) +
         " metres, too large for a grid of one cell per metre: it holds at most " +
         std::to_string(maxCells) + " cells (" + side + " x " + side + " metres) and " +
         std::to_string(kMaxGridSide) + " metres a side";
}

}  // namespace terrak
