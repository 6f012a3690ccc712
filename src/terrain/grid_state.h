#pragma once
// The terrain grid and the map bitmap draped over it: built by the grid construction, read and
// written by the 3D map file, drawn by the viewer. One instance, owned by the application.
#include <array>
#include <cstdint>
#include <string>

#include "common/grid2d.h"

namespace terrak {

// HeightGrid values: 0 = no height; > 0 = a known height in decimetres above HeightBase
// (contour, sealed outline, smoothed cell); < 0 = an interpolated one, stored negated. A cell's
// true height is therefore |value| + HeightBase decimetres: CellTenths and CellMetres, which
// every reader of the grid outside its construction goes through.
using HeightGridType = Grid2D<std::int16_t>;
using BitmapGridType = Grid2D<std::uint8_t>;

inline constexpr std::size_t kBitmapPaletteSize = 1024;  // 256 entries of blue, green, red, 0

struct GridState {
  // The grid's extent in metres from the map's origin: GridMaxX = GridMinX + GridWidth, Y alike.
  std::int32_t GridMinX = 0, GridMinY = 0, GridMaxX = 0, GridMaxY = 0;
  std::int32_t GridWidth = 0, GridHeight = 0;
  // The whole map's size in metres and the model units per metre of ground, as the last grid
  // construction found them (the map model keeps the sizes in model units).
  std::int32_t MapWidth = 0, MapHeight = 0;
  double GridUnitsPerMetre = 0.0;

  HeightGridType HeightGrid;
  // Decimetres below every height of the grid: 0 when every height of the map lies within
  // 0.1 m to 3276.7 m (the grid holds its heights as they are); else chosen by the construction
  // below the lowest one (grid/height_base.h).
  std::int32_t HeightBase = 0;
  BitmapGridType BitmapGrid;
  std::array<std::uint8_t, kBitmapPaletteSize> BitmapPalette{};
  bool MapBitmapLoaded = false;
  bool ShowMapBitmap = false;
};

// The true height of a non-empty cell value in decimetres, and in metres.
constexpr std::int64_t CellTenths(std::int16_t value, std::int32_t heightBase) {
  return (value < 0 ? -std::int64_t{value} : std::int64_t{value}) + heightBase;
}
inline double CellMetres(std::int16_t value, std::int32_t heightBase) {
  return static_cast<double>(CellTenths(value, heightBase)) / 10.0;
}
inline double CellMetres(const GridState& grid, std::int16_t value) {
  return CellMetres(value, grid.HeightBase);
}

}  // namespace terrak
