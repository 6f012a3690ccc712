#pragma once
// The bytes of a 3D map file: header (magic, grid size and origin, the nine viewpoint records),
// the coded height rows, the bitmap palette and the coded bitmap rows.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "terrain/grid_limits.h"
#include "terrain/grid_state.h"
#include "terrain/viewpoint.h"

namespace terrak {

inline constexpr std::uint16_t kMap3dMagic = 0x3D00;
inline constexpr std::size_t kMap3dHeaderSize = 10 + kViewpointCount * kViewPointRecordSize;

// The most cells a 3D map file may hold: the largest grid the program builds. Larger sizes come
// only from damaged files, and the writer refuses them so it never makes a file that cannot be
// read back.
inline constexpr std::int64_t kMax3dMapCells = kMaxGridCells;
// A file written for the largest grid is at most this long: three bytes a height cell at worst,
// one a bitmap cell. Anything beyond can only be trailing bytes, which the reader ignores.
inline constexpr std::size_t kMax3dMapUsefulBytes =
    kMap3dHeaderSize + kBitmapPaletteSize + 4 * static_cast<std::size_t>(kMax3dMapCells);

// What a 3D map file holds; the grids have exactly GridWidth columns of GridHeight cells.
struct Map3dContent {
  std::int32_t GridWidth = 0, GridHeight = 0, GridMinX = 0, GridMinY = 0;
  ViewpointBlock Viewpoints{};
  HeightGridType HeightGrid;
  BitmapGridType BitmapGrid;
  std::array<std::uint8_t, kBitmapPaletteSize> BitmapPalette{};
};

// The file's bytes for columns 0..GridWidth-1 and rows 0..GridHeight-1 of the grids. Without a
// map bitmap the palette and every bitmap cell are written as zeros. A cell of 255, which the
// bitmap coding cannot hold, is written as BitmapStandInFor255. Throws std::invalid_argument
// for a grid the file cannot hold (empty, larger than kMax3dMapCells or the 16-bit size
// fields, origin outside 16 bits, grids smaller than the stated size).
// A file holds heights as cells of a grid without a height base, 0.1 m to 3276.7 m. A grid
// with a base is written with its true heights when they all lie there.
std::vector<std::uint8_t> Encode3dMap(const GridState& grid, const ViewpointBlock& views);

// None when the file can hold the grid's heights; else the message that says it cannot.
std::optional<std::string> Map3dHeightsNotHeld(const GridState& grid);

// The content of a valid file; nothing for a damaged one. The whole structure is checked before
// the grids are allocated, so a short damaged file never costs a large allocation.
std::optional<Map3dContent> Decode3dMap(std::span<const std::uint8_t> bytes);

// The palette index among 0..254 whose colour is nearest to that of entry 255 (ties to the
// lower index): what a cell of 255 is stored as, so the picture changes as little as possible.
std::uint8_t BitmapStandInFor255(const std::array<std::uint8_t, kBitmapPaletteSize>& palette);

}  // namespace terrak
