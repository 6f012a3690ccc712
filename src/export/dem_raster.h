#pragma once
// The height grid laid out as a north-up raster in the map's coordinate system, ready for any
// raster format: rows from north to south, heights in metres, empty cells as the nodata value.
//
// A grid cell's height is the height at its ground point (GridMinX + column, GridMinY + row), so
// a raster pixel is the one-metre square centred on that point: the raster's outer edge lies
// half a cell outside the outermost cell centres.
#include <array>
#include <cstdint>
#include <vector>

#include "export/export_progress.h"
#include "terrain/grid_state.h"
#include "mapfile/georeferencing.h"

namespace terrak {

enum class DemRotation {
  // A map turned against grid north is resampled (bilinear) onto a north-up raster whose edges
  // lie on whole multiples of the cell size: what every GIS and every raster format takes.
  NorthUp,
  // The grid is written cell for cell with a rotated geotransform; only some formats and tools
  // understand it.
  RotatedGeotransform,
};

struct DemRaster {
  std::int64_t Columns = 0;
  std::int64_t Rows = 0;
  std::vector<float> Cells;  // row by row from the north, west to east within a row
  // GDAL's order: x of the top-left corner, pixel width, row rotation, y of the top-left corner,
  // column rotation, pixel height (negative for north-up).
  std::array<double, 6> GeoTransform{};
  bool Resampled = false;

  float At(std::int64_t column, std::int64_t row) const {
    return Cells[static_cast<std::size_t>(row * Columns + column)];
  }
};

// cellSize: the resampled raster's cell size in the units of the coordinate system; 0 or less
// takes the grid's own cell size there (one ground metre times the scale factor). A grid that is
// not turned against grid north (or any grid with RotatedGeotransform) is written cell for cell.
// Heights are true heights: each cell's |value| plus heightBase decimetres (GridState).
DemRaster MakeDemRaster(const HeightGridType& heights, std::int32_t gridMinX,
                        std::int32_t gridMinY, std::int32_t heightBase,
                        const Georeferencing& georef, DemRotation rotation, double cellSize,
                        float noData, ExportProgress& progress);

}  // namespace terrak
