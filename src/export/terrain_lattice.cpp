#include "export/terrain_lattice.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace terrak {

std::vector<std::int64_t> LatticeIndices(std::int64_t cells, std::int32_t step) {
  std::vector<std::int64_t> indices;
  if (cells <= 0) return indices;
  const std::int64_t stride = std::max<std::int32_t>(step, 1);
  indices.reserve(static_cast<std::size_t>((cells - 1) / stride + 2));
  for (std::int64_t i = 0; i < cells; i += stride) indices.push_back(i);
  if (indices.back() != cells - 1) indices.push_back(cells - 1);
  return indices;
}

bool HasHeights(const HeightGridType& grid) {
  const std::int16_t* cells = grid.Data();
  const auto count = static_cast<std::size_t>(grid.Columns() * grid.Rows());
  return std::any_of(cells, cells + count, [](std::int16_t v) { return v != 0; });
}

bool SinglePrecisionHolds(double smallest, double largest) {
  constexpr double kLargestFloat = std::numeric_limits<float>::max();
  constexpr double kSmallestFloat = std::numeric_limits<float>::min();
  return std::isfinite(smallest) && std::isfinite(largest) && smallest >= kSmallestFloat &&
         largest <= kLargestFloat && smallest >= std::ldexp(largest, -20);
}

std::optional<HeightRange> LatticeHeightRange(const GridState& grid,
                                              const std::vector<std::int64_t>& columns,
                                              const std::vector<std::int64_t>& rows) {
  std::optional<HeightRange> range;
  for (const std::int64_t x : columns) {
    const std::int16_t* column = grid.HeightGrid.Column(x);
    for (const std::int64_t y : rows) {
      if (column[y] == 0) continue;
      const double h = CellMetres(grid, column[y]);
      if (!range) {
        range = HeightRange{h, h};
      } else {
        range->Lowest = std::min(range->Lowest, h);
        range->Highest = std::max(range->Highest, h);
      }
    }
  }
  return range;
}

}  // namespace terrak
