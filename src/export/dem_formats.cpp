#include "export/dem_formats.h"

#include <algorithm>
#include <cctype>

#include "export/dem_export.h"
#include "export/export_error.h"
#include "export/export_file.h"
#include "export/gdal_module.h"

namespace terrak {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

// Formats that GIS and terrain tools read, each able to hold Float32 heights and nodata in one
// file (and side files GDAL names after it). The cloud-optimised GeoTIFF shares ".tif" with
// GeoTIFF, so only GeoTIFF is guessed from it.
const std::vector<DemFormat>& DemFormats() {
  static const std::vector<DemFormat> formats{
      {"GTiff", "GeoTIFF", {".tif", ".tiff"}},
      {"COG", "Cloud optimised GeoTIFF", {".tif", ".tiff"}},
      {"AAIGrid", "ESRI ASCII grid", {".asc"}},
      {"XYZ", "ASCII gridded XYZ", {".xyz"}},
      {"HFA", "Erdas Imagine", {".img"}},
      {"GS7BG", "Golden Software binary grid", {".grd"}},
      {"SAGA", "SAGA GIS binary grid", {".sdat"}},
      {"BT", "VTP binary terrain", {".bt"}},
      {"netCDF", "netCDF", {".nc"}, true},
  };
  return formats;
}

std::vector<DemFormat> OfferedDemFormats() {
  const GdalExports& gdal = ProgramGdalExports();
  std::vector<DemFormat> offered;
  for (const DemFormat& format : DemFormats())
    if (gdal.HasDriver(format.Driver))
      offered.push_back(format);
  return offered;
}

const DemFormat* FindDemFormat(const std::vector<DemFormat>& formats, const std::string& name) {
  const std::string wanted = Lower(name);
  for (const DemFormat& format : formats)
    if (Lower(format.Driver) == wanted) return &format;
  return nullptr;
}

const DemFormat& DemFormatNamed(const std::string& name) {
  if (const DemFormat* format = FindDemFormat(DemFormats(), name)) return *format;
  std::string names;
  for (const DemFormat& format : DemFormats()) names += (names.empty() ? "" : ", ") + format.Driver;
  throw ExportError("\"" + name + "\" is not a raster format for a DEM; the formats are " + names);
}

std::string DemFormatForFile(const std::string& fileName) {
  const std::string extension = Lower(FileExtension(fileName));
  if (!extension.empty())
    for (const DemFormat& format : DemFormats())
      for (const std::string& known : format.Extensions)
        if (known == extension) return format.Driver;
  return kDefaultDemFormat;
}

}  // namespace terrak
