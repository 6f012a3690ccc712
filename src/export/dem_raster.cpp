#include "export/dem_raster.h"

#include <algorithm>
#include <cmath>

#include "export/export_error.h"
#include "export/terrain_lattice.h"

namespace terrak {
namespace {

constexpr std::int64_t kRowsPerReport = 64;

bool NorthUp(const Georeferencing& g) { return g.B == 0.0 && g.C == 0.0; }

// The raster cell for cell: pixel (i, j) is grid cell (i, rows - 1 - j).
DemRaster CellForCell(const HeightGridType& heights, std::int32_t gridMinX, std::int32_t gridMinY,
                      std::int32_t base, const Georeferencing& g, float noData,
                      ExportProgress& progress) {
  DemRaster r;
  r.Columns = heights.Columns();
  r.Rows = heights.Rows();
  r.Cells.resize(static_cast<std::size_t>(r.Columns * r.Rows));
  for (std::int64_t j = 0; j < r.Rows; ++j) {
    const std::int64_t y = r.Rows - 1 - j;
    float* row = r.Cells.data() + j * r.Columns;
    for (std::int64_t x = 0; x < r.Columns; ++x) {
      const std::int16_t v = heights(x, y);
      row[x] = v == 0 ? noData : static_cast<float>(CellMetres(v, base));
    }
    if (j % kRowsPerReport == 0) progress.Report(static_cast<double>(j) / static_cast<double>(r.Rows));
  }
  // The top-left corner of pixel (0, 0) is half a cell west and north of cell (0, rows - 1).
  const auto corner = g.ToProjected(gridMinX - 0.5, gridMinY + static_cast<double>(r.Rows) - 0.5);
  r.GeoTransform = {corner.Easting, g.A, -g.B, corner.Northing, g.C, -g.D};
  return r;
}

// One grid sample at fractional cell coordinates: bilinear between the four cells around it when
// all four have heights, else the nearest cell; nodata outside the cells' squares or where the
// nearest cell is empty.
float Sample(const HeightGridType& heights, std::int32_t base, double fx, double fy,
             float noData) {
  const std::int64_t columns = heights.Columns(), rows = heights.Rows();
  if (!(fx >= -0.5 && fy >= -0.5 && fx < static_cast<double>(columns) - 0.5 &&
        fy < static_cast<double>(rows) - 0.5))
    return noData;
  const double floorX = std::floor(fx), floorY = std::floor(fy);
  const auto x0 = static_cast<std::int64_t>(floorX), y0 = static_cast<std::int64_t>(floorY);
  if (x0 >= 0 && y0 >= 0 && x0 + 1 < columns && y0 + 1 < rows) {
    const std::int16_t v00 = heights(x0, y0), v10 = heights(x0 + 1, y0);
    const std::int16_t v01 = heights(x0, y0 + 1), v11 = heights(x0 + 1, y0 + 1);
    if (v00 != 0 && v10 != 0 && v01 != 0 && v11 != 0) {
      const double tx = fx - floorX, ty = fy - floorY;
      const double south = CellMetres(v00, base) * (1 - tx) + CellMetres(v10, base) * tx;
      const double north = CellMetres(v01, base) * (1 - tx) + CellMetres(v11, base) * tx;
      // The grid holds decimetres: centimetres keep every bit of that and compress far better
      // than the noise of full float precision.
      return static_cast<float>(std::nearbyint((south * (1 - ty) + north * ty) * 100.0) / 100.0);
    }
  }
  const std::int64_t nx = std::clamp<std::int64_t>(std::llround(fx), 0, columns - 1);
  const std::int64_t ny = std::clamp<std::int64_t>(std::llround(fy), 0, rows - 1);
  const std::int16_t v = heights(nx, ny);
  return v == 0 ? noData : static_cast<float>(CellMetres(v, base));
}

DemRaster Resampled(const HeightGridType& heights, std::int32_t gridMinX, std::int32_t gridMinY,
                    std::int32_t base, const Georeferencing& g, double cellSize, float noData,
                    ExportProgress& progress) {
  const double det = g.A * g.D - g.B * g.C;
  if (!(std::isfinite(det) && det != 0.0))
    throw ExportError(kBadGeoreferencingMessage);
  const double cell = cellSize > 0.0 ? cellSize : std::sqrt(std::fabs(det));
  // The grid's outer edge in projected coordinates, and the north-up box around it.
  const double west = gridMinX - 0.5, south = gridMinY - 0.5;
  const double east = west + static_cast<double>(heights.Columns());
  const double north = south + static_cast<double>(heights.Rows());
  double minE = INFINITY, maxE = -INFINITY, minN = INFINITY, maxN = -INFINITY;
  for (const auto& [gx, gy] : {std::pair{west, south}, {east, south}, {west, north}, {east, north}}) {
    const auto p = g.ToProjected(gx, gy);
    minE = std::min(minE, p.Easting);
    maxE = std::max(maxE, p.Easting);
    minN = std::min(minN, p.Northing);
    maxN = std::max(maxN, p.Northing);
  }
  // Rounding noise of the turn (cos 90 degrees is not quite 0) must not add a row or column.
  constexpr double slack = 1e-9;
  const double westEdge = std::floor(minE / cell + slack), eastEdge = std::ceil(maxE / cell - slack);
  const double southEdge = std::floor(minN / cell + slack), northEdge = std::ceil(maxN / cell - slack);
  const double left = westEdge * cell, top = northEdge * cell;
  const double columnsExact = eastEdge - westEdge, rowsExact = northEdge - southEdge;
  if (!(columnsExact * rowsExact <= 4.0e9))
    throw ExportError("The DEM would be too large: choose a larger cell size");

  DemRaster r;
  r.Resampled = true;
  r.Columns = static_cast<std::int64_t>(columnsExact);
  r.Rows = static_cast<std::int64_t>(rowsExact);
  r.Cells.resize(static_cast<std::size_t>(r.Columns * r.Rows));
  r.GeoTransform = {left, cell, 0.0, top, 0.0, -cell};
  // ground = inverse(M) * (projected - origin); cell coordinates are ground minus the grid's
  // minimum. Along a raster row only the easting changes, by one cell per pixel.
  const double ia = g.D / det, ib = -g.B / det, ic = -g.C / det, id = g.A / det;
  for (std::int64_t j = 0; j < r.Rows; ++j) {
    const double e = left + 0.5 * cell - g.OriginEasting;
    const double n = top - (static_cast<double>(j) + 0.5) * cell - g.OriginNorthing;
    double fx = ia * e + ib * n - gridMinX, fy = ic * e + id * n - gridMinY;
    const double stepX = ia * cell, stepY = ic * cell;
    float* row = r.Cells.data() + j * r.Columns;
    for (std::int64_t i = 0; i < r.Columns; ++i) {
      row[i] = Sample(heights, base, fx, fy, noData);
      fx += stepX;
      fy += stepY;
    }
    if (j % kRowsPerReport == 0) progress.Report(static_cast<double>(j) / static_cast<double>(r.Rows));
  }
  return r;
}

}  // namespace

DemRaster MakeDemRaster(const HeightGridType& heights, std::int32_t gridMinX,
                        std::int32_t gridMinY, std::int32_t heightBase,
                        const Georeferencing& georef, DemRotation rotation, double cellSize,
                        float noData, ExportProgress& progress) {
  if (heights.Empty()) throw ExportError(kNoGridMessage);
  if (!HasHeights(heights)) throw ExportError(kNoHeightsMessage);
  const Georeferencing identity;
  const Georeferencing& g = georef.Known ? georef : identity;
  for (const double v : {g.OriginEasting, g.OriginNorthing, g.A, g.B, g.C, g.D})
    if (!std::isfinite(v)) throw ExportError(kBadGeoreferencingMessage);
  if (NorthUp(g) || rotation == DemRotation::RotatedGeotransform)
    return CellForCell(heights, gridMinX, gridMinY, heightBase, g, noData, progress);
  return Resampled(heights, gridMinX, gridMinY, heightBase, g, cellSize, noData, progress);
}

}  // namespace terrak
