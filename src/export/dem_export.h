#pragma once
// The terrain as a digital elevation model in any raster format GDAL writes: GeoTIFF by default
// (Float32 metres, deflate-compressed, tiled), placed in the map's coordinate system when the
// map is georeferenced. Formats that keep side files (".prj", ".aux.xml", ".hdr") get them too.
#include <string>
#include <vector>

#include "export/dem_raster.h"
#include "export/export_file.h"
#include "export/export_progress.h"
#include "terrain/grid_state.h"
#include "mapfile/georeferencing.h"

namespace terrak {

inline constexpr const char* kDefaultDemFormat = "GTiff";
inline constexpr float kDemNoData = -9999.0f;

inline constexpr const char* kDemUngeoreferencedNote =
    "The map has no georeferencing: the DEM lies in the map's ground metres, without a "
    "coordinate system";
inline constexpr const char* kDemNoCrsNote =
    "The map names no coordinate system: the DEM is placed but has none";

struct DemOptions {
  std::string Format = kDefaultDemFormat;  // one of DemFormats(), in any letter case
  // NAME=VALUE creation options of the driver; they override the defaults of the same name.
  std::vector<std::string> CreationOptions;
  DemRotation Rotation = DemRotation::NorthUp;
  double CellSize = 0.0;  // of a resampled raster; 0 = the grid's own (see MakeDemRaster)
  float NoData = kDemNoData;
  // The main file's extension with its dot (".tif"), so side files are named as the format
  // names them beside it; empty takes the format's usual one.
  std::string Extension;
  // Where a format whose driver cannot write into memory (netCDF) writes its file first, in a
  // private folder removed again; WriteDemFile takes the target's folder when this is empty.
  std::string DiskFolder;
};

// The DEM's files and what the user should know about them (no georeferencing, no coordinate
// system, resampling). Throws ExportError for an empty grid or one without heights, a format
// that is none of DemFormats() or that this GDAL lacks, a format that refuses the raster or a
// GDAL module that cannot be loaded (kGdalModuleMissing), ExportCancelled when the progress
// callback says stop.
ExportedFiles ExportDem(const GridState& grid, const Georeferencing& georef,
                        const DemOptions& options, const ExportProgressCallback& progress = {});

// The checks ExportDem makes before it starts (format, options, heights), without making
// anything.
void CheckDemExport(const GridState& grid, const DemOptions& options);

// ExportDem into target (the extension taken from it), every file through the safe writer.
// Returns the notes.
std::vector<std::string> WriteDemFile(const std::string& target, const GridState& grid,
                                      const Georeferencing& georef, DemOptions options,
                                      const ExportProgressCallback& progress = {});

}  // namespace terrak
