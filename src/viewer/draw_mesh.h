#pragma once
// The height grid as a triangle wire mesh: for every cell with a height, the edge along its
// column, the edge along its row and the diagonal between their far ends.
#include <cstdint>

#include "terrain/grid_state.h"
#include "viewer/rasteriser.h"

namespace terrak {

// Cells between mesh lines: every cell while the map is draped, else the grid interval (at
// least 1).
std::int32_t MeshStepFor(bool showMapBitmap, std::int32_t gridInterval);

// The vertex colour of grid cell (column, row): the map bitmap's palette colour there, palette
// entry 0 where the bitmap grid has no such cell.
Colour BitmapColourAt(const GridState& grid, std::int64_t column, std::int64_t row);

// The mesh exactly as the rules state it, cell by cell, projecting every vertex as it comes:
// the reference that the fast paint must match pixel for pixel.
void DrawMesh(RasterTarget& target, const ViewTransform& view, const GridState& grid,
              std::int32_t meshStep, bool drape);

// The part of the grid the mesh covers: columns 0 .. Columns - 1 and rows 0 .. Rows - 1 of the
// height grid, never beyond what the grid holds.
struct MeshExtent {
  std::int64_t Columns = 0;
  std::int64_t Rows = 0;
};
MeshExtent MeshExtentOf(const GridState& grid);

// The number of mesh rows (strips of cells) for a step, and the grid row of lattice line m.
std::int64_t MeshStripCount(std::int64_t rows, std::int32_t step);
inline std::int64_t MeshLine(std::int64_t m, std::int32_t step, std::int64_t count) {
  const std::int64_t line = m * step;
  return line < count - 1 ? line : count - 1;
}

}  // namespace terrak
