#include "export/dem_formats.h"

#include <algorithm>
#include <cctype>

#include "export/dem_export.h"
#include "export/export_file.h"
#include "export/gdal_module.h"

namespace terrak {
namespace {

// Formats that GIS and terrain tools read, each able to hold Float32 heights and nodata. The
// cloud-optimised GeoTIFF shares ".tif" with GeoTIFF, so only GeoTIFF is guessed from it.
const std::vector<DemFormat>& KnownFormats() {
  static const std::vector<DemFormat> formats{
      {"GTiff", "GeoTIFF", {".tif", ".tiff"}},
      {"COG", "Cloud optimised GeoTIFF", {".tif", ".tiff"}},
      {"AAIGrid", "ESRI ASCII grid", {".asc"}},
      {"XYZ", "ASCII gridded XYZ", {".xyz"}},
      {"HFA", "Erdas Imagine", {".img"}},
      {"GS7BG", "Golden Software binary grid", {".grd"}},
      {"SAGA", "SAGA GIS binary grid", {".sdat"}},
      {"BT", "VTP binary terrain", {".bt"}},
      {"netCDF", "netCDF", {".nc"}},
  };
  return formats;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::vector<DemFormat> OfferedDemFormats() {
  const GdalExports& gdal = ProgramGdalExports();
  std::vector<DemFormat> offered;
  for (const DemFormat& format : KnownFormats())
    if (gdal.HasDriver(format.Driver))
      offered.push_back(format);
  return offered;
}

const DemFormat* FindDemFormat(const std::vector<DemFormat>& formats, const std::string& driver) {
  for (const DemFormat& format : formats)
    if (format.Driver == driver) return &format;
  return nullptr;
}

std::string DemFormatForFile(const std::string& fileName) {
  const std::string extension = Lower(FileExtension(fileName));
  if (!extension.empty())
    for (const DemFormat& format : KnownFormats())
      for (const std::string& known : format.Extensions)
        if (known == extension) return format.Driver;
  return kDefaultDemFormat;
}

}  // namespace terrak
