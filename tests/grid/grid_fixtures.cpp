#include "grid/grid_fixtures.h"

#include <random>

#include "common/rounding.h"
#include "grid/grid_notes.h"
#include "grid/rasterise.h"

namespace terrak::testing {

GridState EmptyGrid(std::int32_t w, std::int32_t h) {
  GridState grid{.GridWidth = w, .GridHeight = h};
  grid.HeightGrid.Resize(std::int64_t{w} + 1, std::int64_t{h} + 1, 0);
  return grid;
}

GridState GridFromPicture(const std::vector<std::string>& rowsFromTop) {
  const auto h = static_cast<std::int32_t>(rowsFromTop.size()) - 1;
  const auto w = static_cast<std::int32_t>(rowsFromTop.front().size()) - 1;
  GridState grid = EmptyGrid(w, h);
  for (std::int32_t r = 0; r <= h; ++r)
    for (std::int32_t x = 0; x <= w; ++x) {
      const char c = rowsFromTop[static_cast<std::size_t>(r)][static_cast<std::size_t>(x)];
      if (c >= '0' && c <= '9') grid.HeightGrid(x, h - r) = static_cast<std::int16_t>(100 * (c - '0' + 1));
    }
  return grid;
}

GridState RandomContourGrid(std::uint32_t seed, std::int32_t w, std::int32_t h, int lines) {
  GridState grid = EmptyGrid(w, h);
  std::mt19937 random(seed);
  const auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  GridNotes notes;
  CellPainter painter(grid.HeightGrid, notes);
  for (int i = 0; i < lines; ++i) {
    std::int32_t height = 100 + 50 * uniform(0, 8);
    if (uniform(0, 9) == 0) height = uniform(0, 1) == 0 ? 10 : 3000;
    const int vertices = uniform(2, 6);
    painter.MoveToCell(uniform(-5, w + 5), uniform(-5, h + 5), height);
    for (int v = 1; v < vertices; ++v) painter.LineToCell(uniform(-5, w + 5), uniform(-5, h + 5), height);
  }
  return grid;
}

void ThickenContours(GridState& grid, std::int16_t height) {
  HeightGridType& g = grid.HeightGrid;
  for (std::int64_t x = g.Columns() - 1; x >= 1; --x)  // from the east: new cells do not spread
    for (std::int64_t y = 0; y < g.Rows(); ++y)
      if (g(x - 1, y) > 0 && g(x, y) == 0) g(x, y) = height != 0 ? height : g(x - 1, y);
}

}  // namespace terrak::testing
