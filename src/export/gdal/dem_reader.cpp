// Heights of a DEM at points of a map: the points brought into the DEM's coordinate system by
// PROJ, then read from the raster tile by tile, each height taken between the four cells around
// the point (bilinear), the nearest cell where one of them has no data.
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <unordered_map>

#include "export/export_error.h"
#include "export/gdal/gdal_support.h"
#include "export/gdal/gdal_writers.h"

namespace terrak {
namespace {

// Points are read in tiles of this many cells a side, so a DEM far larger than the map costs
// only the cells near the points.
constexpr std::int64_t kTile = 1024;

struct DatasetCloser {
  void operator()(GDALDataset* d) const { GDALClose(GDALDataset::ToHandle(d)); }
};

struct TransformDeleter {
  void operator()(OGRCoordinateTransformation* t) const {
    OGRCoordinateTransformation::DestroyCT(t);
  }
};

std::string WithReason(std::string message, const GdalMessages& messages) {
  if (!messages.LastError().empty()) message += ": " + messages.LastError();
  return message;
}

// The map's coordinate system from its EPSG code or its own text; nothing when it names none.
std::unique_ptr<OGRSpatialReference> MapSystem(const DemSampleRequest& request) {
  if (request.EpsgCode <= 0 && request.CrsDefinition.empty()) return nullptr;
  auto srs = std::make_unique<OGRSpatialReference>();
  bool found = false;
  if (request.EpsgCode > 0) found = srs->importFromEPSG(request.EpsgCode) == OGRERR_NONE;
  if (!found && !request.CrsDefinition.empty())
    found = srs->SetFromUserInput(request.CrsDefinition.c_str(),
                                  OGRSpatialReference::SET_FROM_USER_INPUT_LIMITATIONS) ==
            OGRERR_NONE;
  if (!found)
    throw ExportError(request.EpsgCode > 0
                          ? "GDAL does not know the map's coordinate system EPSG:" +
                                std::to_string(request.EpsgCode)
                          : "GDAL does not understand the map's coordinate system");
  srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return srs;
}

}  // namespace

std::vector<double> SampleDemWithGdal(const DemSampleRequest& request, std::string& note) {
  EnsureGdalDrivers();
  GdalMessages messages;
  const std::string& name = request.File;
  const std::size_t count = std::min(request.X.size(), request.Y.size());
  std::vector<double> heights(count, std::numeric_limits<double>::quiet_NaN());

  std::unique_ptr<GDALDataset, DatasetCloser> dem(GDALDataset::FromHandle(
      GDALOpenEx(name.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr)));
  if (!dem) throw ExportError(WithReason("The DEM " + name + " cannot be read", messages));
  if (dem->GetRasterCount() < 1) throw ExportError("The DEM " + name + " holds no raster band");
  double transform[6] = {};
  if (dem->GetGeoTransform(transform) != CE_None)
    throw ExportError("The DEM " + name + " does not say where it lies (no georeferencing)");
  double inverse[6] = {};
  if (!GDALInvGeoTransform(transform, inverse))
    throw ExportError("The DEM " + name + " has a degenerate georeferencing");
  const OGRSpatialReference* demSystem = dem->GetSpatialRef();
  if (demSystem == nullptr || demSystem->IsEmpty())
    throw ExportError("The DEM " + name + " has no coordinate system, so it cannot be laid over the map");

  std::vector<double> x(request.X.begin(), request.X.begin() + static_cast<std::ptrdiff_t>(count));
  std::vector<double> y(request.Y.begin(), request.Y.begin() + static_cast<std::ptrdiff_t>(count));
  std::vector<int> moved(count, TRUE);
  const std::unique_ptr<OGRSpatialReference> mapSystem = MapSystem(request);
  if (!mapSystem) {
    note = "the map names no coordinate system: its coordinates are taken to be the DEM's";
  } else {
    OGRSpatialReference target(*demSystem);
    target.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    if (!mapSystem->IsSame(&target)) {
      const std::unique_ptr<OGRCoordinateTransformation, TransformDeleter> change(
          OGRCreateCoordinateTransformation(mapSystem.get(), &target));
      if (!change)
        throw ExportError(WithReason(
            "The map's coordinate system cannot be turned into the DEM's", messages));
      if (count > 0)
        change->Transform(static_cast<int>(count), x.data(), y.data(), nullptr, moved.data());
    }
  }

  GDALRasterBand* band = dem->GetRasterBand(1);
  const std::int64_t columns = dem->GetRasterXSize(), rows = dem->GetRasterYSize();
  int hasNoData = FALSE;
  const double noData = band->GetNoDataValue(&hasNoData);
  int hasScale = FALSE, hasOffset = FALSE;
  double scale = band->GetScale(&hasScale), offset = band->GetOffset(&hasOffset);
  if (!hasScale) scale = 1.0;
  if (!hasOffset) offset = 0.0;

  // Each point's place in cell units, cell centres on whole numbers; points grouped by tile.
  std::vector<double> px(count), py(count);
  std::unordered_map<std::int64_t, std::vector<std::size_t>> byTile;
  for (std::size_t i = 0; i < count; ++i) {
    if (!moved[i] || !std::isfinite(x[i]) || !std::isfinite(y[i])) continue;
    const double col = inverse[0] + inverse[1] * x[i] + inverse[2] * y[i] - 0.5;
    const double row = inverse[3] + inverse[4] * x[i] + inverse[5] * y[i] - 0.5;
    if (!(col >= -0.5 && row >= -0.5 && col <= static_cast<double>(columns) - 0.5 &&
          row <= static_cast<double>(rows) - 0.5))
      continue;
    px[i] = std::clamp(col, 0.0, static_cast<double>(columns - 1));
    py[i] = std::clamp(row, 0.0, static_cast<double>(rows - 1));
    const auto tx = static_cast<std::int64_t>(px[i]) / kTile;
    const auto ty = static_cast<std::int64_t>(py[i]) / kTile;
    byTile[ty * ((columns + kTile - 1) / kTile) + tx].push_back(i);
  }

  const std::int64_t tilesAcross = (columns + kTile - 1) / kTile;
  std::vector<float> cells;
  for (const auto& [tile, points] : byTile) {
    // The tile and one more column and row, for the cells right of and below its last ones.
    const std::int64_t x0 = (tile % tilesAcross) * kTile, y0 = (tile / tilesAcross) * kTile;
    const std::int64_t width = std::min(kTile + 1, columns - x0);
    const std::int64_t height = std::min(kTile + 1, rows - y0);
    cells.assign(static_cast<std::size_t>(width * height), 0.0f);
    if (band->RasterIO(GF_Read, static_cast<int>(x0), static_cast<int>(y0),
                       static_cast<int>(width), static_cast<int>(height), cells.data(),
                       static_cast<int>(width), static_cast<int>(height), GDT_Float32, 0, 0,
                       nullptr) != CE_None)
      throw ExportError(WithReason("The DEM " + name + " cannot be read", messages));
    const auto cell = [&](std::int64_t c, std::int64_t r) {
      const double v = cells[static_cast<std::size_t>((r - y0) * width + (c - x0))];
      if (!std::isfinite(v) || (hasNoData && v == static_cast<double>(static_cast<float>(noData))))
        return std::numeric_limits<double>::quiet_NaN();
      return v * scale + offset;
    };
    for (std::size_t i : points) {
      const auto c0 = static_cast<std::int64_t>(std::floor(px[i]));
      const auto r0 = static_cast<std::int64_t>(std::floor(py[i]));
      const std::int64_t c1 = std::min(c0 + 1, columns - 1), r1 = std::min(r0 + 1, rows - 1);
      const double fx = px[i] - static_cast<double>(c0), fy = py[i] - static_cast<double>(r0);
      const double v00 = cell(c0, r0), v10 = cell(c1, r0), v01 = cell(c0, r1), v11 = cell(c1, r1);
      if (std::isfinite(v00) && std::isfinite(v10) && std::isfinite(v01) && std::isfinite(v11)) {
        heights[i] = (v00 * (1 - fx) + v10 * fx) * (1 - fy) + (v01 * (1 - fx) + v11 * fx) * fy;
        continue;
      }
      const double nearest = fx < 0.5 ? (fy < 0.5 ? v00 : v01) : (fy < 0.5 ? v10 : v11);
      heights[i] = nearest;  // NaN when that cell has no data either
    }
  }
  return heights;
}

}  // namespace terrak
