#include "export/export_fixtures.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace terrak::testing {

GridState FunctionGrid(std::int64_t columns, std::int64_t rows, std::int32_t minX,
                       std::int32_t minY, const std::function<double(double, double)>& metres) {
  GridState grid{.GridMinX = minX, .GridMinY = minY,
                 .GridWidth = static_cast<std::int32_t>(columns - 1),
                 .GridHeight = static_cast<std::int32_t>(rows - 1)};
  grid.HeightGrid.Resize(columns, rows, 0);
  for (std::int64_t x = 0; x < columns; ++x)
    for (std::int64_t y = 0; y < rows; ++y)
      grid.HeightGrid(x, y) = static_cast<std::int16_t>(std::lround(metres(static_cast<double>(x), static_cast<double>(y)) * 10));
  return grid;
}

void AddBitmap(GridState& grid) {
  grid.BitmapGrid.Resize(grid.HeightGrid.Columns(), grid.HeightGrid.Rows(), 0);
  for (std::int64_t x = 0; x < grid.BitmapGrid.Columns(); ++x)
    for (std::int64_t y = 0; y < grid.BitmapGrid.Rows(); ++y)
      grid.BitmapGrid(x, y) = static_cast<std::uint8_t>((x + 3 * y) % 256);
  for (std::size_t k = 0; k < 256; ++k) {
    grid.BitmapPalette[k * 4] = static_cast<std::uint8_t>(k);
    grid.BitmapPalette[k * 4 + 1] = static_cast<std::uint8_t>(255 - k);
    grid.BitmapPalette[k * 4 + 2] = static_cast<std::uint8_t>((7 * k) % 256);
    grid.BitmapPalette[k * 4 + 3] = 0;
  }
  grid.MapBitmapLoaded = grid.ShowMapBitmap = true;
}

DemOptions InFormat(const std::string& format, DemRotation rotation) {
  return {.Format = format, .Rotation = rotation};
}

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace terrak::testing
