#pragma once
// The raster formats the program offers for a DEM by name, and the format a file's extension
// suggests. Any other GDAL raster driver can still be named by its short name.
#include <string>
#include <vector>

namespace terrak {

struct DemFormat {
  std::string Driver;       // GDAL's short name ("GTiff")
  std::string Description;  // for a list the user picks from ("GeoTIFF")
  std::vector<std::string> Extensions;  // with their dots, the usual one first
};

// The offered formats whose driver this GDAL has, GeoTIFF first. Throws ExportError when the
// GDAL module cannot be loaded.
std::vector<DemFormat> OfferedDemFormats();

// The offered format of that driver, or nothing when it is not one of them.
const DemFormat* FindDemFormat(const std::vector<DemFormat>& formats, const std::string& driver);

// The driver the file's extension stands for among the offered formats, letters compared without
// regard to case ("dem.ASC" gives "AAIGrid"); GeoTIFF for an extension none of them uses.
std::string DemFormatForFile(const std::string& fileName);

}  // namespace terrak
