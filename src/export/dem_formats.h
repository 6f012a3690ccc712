#pragma once
// The raster formats the program offers for a DEM, by GDAL's short name, and the format a
// file's extension suggests. Only these are written: other GDAL drivers make files that are no
// DEM (a VRT pointing into memory, a Zarr folder, tiles of bytes).
#include <string>
#include <vector>

namespace terrak {

struct DemFormat {
  std::string Driver;       // GDAL's short name ("GTiff")
  std::string Description;  // for a list the user picks from ("GeoTIFF")
  std::vector<std::string> Extensions;  // with their dots, the usual one first
  // GDAL's driver cannot write into memory (netCDF): the DEM goes through a temporary file.
  bool NeedsDiskFile = false;
};

// Every format the program writes a DEM in when GDAL has its driver, GeoTIFF first.
const std::vector<DemFormat>& DemFormats();

// The offered formats whose driver this GDAL has, GeoTIFF first. Throws ExportError when the
// GDAL module cannot be loaded.
std::vector<DemFormat> OfferedDemFormats();

// The format of that name among formats, letters compared without regard to case ("gtiff" is
// GeoTIFF), or nothing.
const DemFormat* FindDemFormat(const std::vector<DemFormat>& formats, const std::string& name);

// The format of that name among DemFormats(); ExportError naming them all when there is none.
const DemFormat& DemFormatNamed(const std::string& name);

// The driver the file's extension stands for among the offered formats, letters compared without
// regard to case ("dem.ASC" gives "AAIGrid"); GeoTIFF for an extension none of them uses.
std::string DemFormatForFile(const std::string& fileName);

}  // namespace terrak
