#pragma once
// The terrain grid and the map bitmap draped over it: built by the grid construction, read and
// written by the 3D map file, drawn by the viewer. One instance, owned by the application.
#include <array>
#include <cstdint>
#include <string>

#include "common/grid2d.h"

namespace terrak {

// HeightGrid values: 0 = no height; > 0 = a known height in decimetres (contour, sealed outline,
// smoothed cell); < 0 = an interpolated height stored negated.
using HeightGridType = Grid2D<std::int16_t>;
using BitmapGridType = Grid2D<std::uint8_t>;

inline constexpr std::size_t kBitmapPaletteSize = 1024;  // 256 entries of blue, green, red, 0

struct GridState {
  // Extent of the selection: model units after ComputeGridExtent, metres after scaling.
  std::int32_t GridMinX = 0, GridMinY = 0, GridMaxX = 0, GridMaxY = 0;
  std::int32_t GridWidth = 0, GridHeight = 0;
  // The whole map's size in metres and the model units per metre of ground, as the last grid
  // construction found them (the map model keeps the sizes in model units).
  std::int32_t MapWidth = 0, MapHeight = 0;
  double GridUnitsPerMetre = 0.0;

  HeightGridType HeightGrid;
  BitmapGridType BitmapGrid;
  std::array<std::uint8_t, kBitmapPaletteSize> BitmapPalette{};
  bool MapBitmapLoaded = false;
  bool ShowMapBitmap = false;
};

}  // namespace terrak
