#include "viewer/draw_mesh.h"

#include <algorithm>

namespace terrak {

std::int32_t MeshStepFor(bool showMapBitmap, std::int32_t gridInterval) {
  if (showMapBitmap) return 1;
  return std::max<std::int32_t>(gridInterval, 1);
}

Colour BitmapColourAt(const GridState& grid, std::int64_t column, std::int64_t row) {
  const std::size_t index =
      grid.BitmapGrid.Contains(column, row) ? std::size_t{grid.BitmapGrid(column, row)} * 4 : 0;
  const auto& p = grid.BitmapPalette;  // blue, green, red, reserved
  return MakeColour(p[index + 2], p[index + 1], p[index]);
}

MeshExtent MeshExtentOf(const GridState& grid) {
  return {std::clamp<std::int64_t>(grid.GridWidth, 0, grid.HeightGrid.Columns()),
          std::clamp<std::int64_t>(grid.GridHeight, 0, grid.HeightGrid.Rows())};
}

std::int64_t MeshStripCount(std::int64_t rows, std::int32_t step) {
  if (rows < 2) return 0;
  return (rows - 2) / step + 1;  // strips start at 0, s, 2s, ... below rows - 1
}

namespace {

template <bool kWithColour>
void DrawMeshWith(RasterTarget& target, const ViewTransform& view, const GridState& grid,
                  std::int32_t step) {
  const MeshExtent extent = MeshExtentOf(grid);
  const HeightGridType& heights = grid.HeightGrid;
  LinePen pen;
  const auto vertex = [&](std::int64_t column, std::int64_t row) {
    if constexpr (kWithColour) pen.VertexColour = BitmapColourAt(grid, column, row);
    AddVertex<kWithColour>(target, pen, view, static_cast<double>(grid.GridMinX + column),
                           static_cast<double>(grid.GridMinY + row),
                           CellMetres(grid, heights(column, row)));
  };
  for (std::int64_t j = 0; j < extent.Rows - 1; j += step) {
    const std::int64_t jn = std::min(j + step, extent.Rows - 1);
    for (std::int64_t i = 0; i < extent.Columns - 1; i += step) {
      const std::int64_t in = std::min(i + step, extent.Columns - 1);
      if (heights(i, j) == 0) continue;
      pen.PenUp = true;
      // A vertex without height ends the cell; the lines drawn so far stay.
      if (heights(i, jn) == 0) continue;
      vertex(i, jn);
      vertex(i, j);
      if (heights(in, j) == 0) continue;
      vertex(in, j);
      vertex(i, jn);
    }
  }
}

}  // namespace

void DrawMesh(RasterTarget& target, const ViewTransform& view, const GridState& grid,
              std::int32_t meshStep, bool drape) {
  const std::int32_t step = std::max<std::int32_t>(meshStep, 1);
  if (drape)
    DrawMeshWith<true>(target, view, grid, step);
  else
    DrawMeshWith<false>(target, view, grid, step);
}

}  // namespace terrak
