#pragma once
// The DEM as ASCII gridded XYZ, written by the program itself: GDAL's driver writes every cell,
// the empty ones as heights of the nodata value, and gives coordinates and heights the same
// number of decimals. Here a line "x y z" stands for each cell centre that has a height, row by
// row from the north and west to east within a row; GDAL and GIS tools read the missing cells
// back as nodata. Coordinates keep four digits below the cell size, heights centimetres.
#include <cstdint>
#include <vector>

#include "export/dem_raster.h"
#include "export/export_progress.h"

namespace terrak {

inline constexpr const char* kXyzDriver = "XYZ";

// Throws ExportError for a rotated raster (lines of a turned grid are no grid).
std::vector<std::uint8_t> XyzText(const DemRaster& raster, float noData, ExportProgress& progress);

}  // namespace terrak
