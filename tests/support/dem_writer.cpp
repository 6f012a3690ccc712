#include "support/dem_writer.h"

#include <cstddef>
#include <vector>

#include <cpl_conv.h>
#include <gdal.h>
#include <ogr_srs_api.h>

namespace terrak::testing {

namespace {

OGRSpatialReferenceH SystemOf(int epsg) {
  OGRSpatialReferenceH system = OSRNewSpatialReference(nullptr);
  OSRImportFromEPSG(system, epsg);
  OSRSetAxisMappingStrategy(system, OAMS_TRADITIONAL_GIS_ORDER);
  return system;
}

}  // namespace

bool WriteDemGeoTiff(const std::string& file, int mapEpsg, int demEpsg, double e0, double n0,
                     double e1, double n1, int size,
                     const std::function<double(double, double)>& height) {
  GDALAllRegister();
  OGRSpatialReferenceH map = SystemOf(mapEpsg);
  OGRSpatialReferenceH dem = SystemOf(demEpsg == 0 ? mapEpsg : demEpsg);
  OGRCoordinateTransformationH forward = OCTNewCoordinateTransformation(map, dem);
  OGRCoordinateTransformationH back = OCTNewCoordinateTransformation(dem, map);
  double xs[2] = {e0, e1}, ys[2] = {n0, n1};
  OCTTransform(forward, 2, xs, ys, nullptr);
  GDALDatasetH ds = GDALCreate(GDALGetDriverByName("GTiff"), file.c_str(), size, size, 1,
                               GDT_Float32, nullptr);
  bool written = ds != nullptr;
  if (ds != nullptr) {
    const double dx = (xs[1] - xs[0]) / size, dy = (ys[1] - ys[0]) / size;
    double transform[6] = {xs[0], dx, 0, ys[1], 0, -dy};
    GDALSetGeoTransform(ds, transform);
    if (demEpsg != 0) {
      char* wkt = nullptr;
      OSRExportToWkt(dem, &wkt);
      GDALSetProjection(ds, wkt);
      CPLFree(wkt);
    }
    std::vector<float> cells(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    for (int r = 0; r < size; ++r)
      for (int c = 0; c < size; ++c) {
        double x = xs[0] + (c + 0.5) * dx, y = ys[1] - (r + 0.5) * dy;
        OCTTransform(back, 1, &x, &y, nullptr);
        cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(size) +
              static_cast<std::size_t>(c)] = static_cast<float>(height(x, y));
      }
    written = GDALRasterIO(GDALGetRasterBand(ds, 1), GF_Write, 0, 0, size, size, cells.data(),
                           size, size, GDT_Float32, 0, 0) == CE_None;
    GDALClose(ds);
  }
  OCTDestroyCoordinateTransformation(forward);
  OCTDestroyCoordinateTransformation(back);
  OSRDestroySpatialReference(map);
  OSRDestroySpatialReference(dem);
  return written;
}

}  // namespace terrak::testing
