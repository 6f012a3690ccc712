#pragma once
// A DEM file as the heights core's DemSource, read through GDAL's module: any raster GDAL reads,
// in any coordinate system, the map's points reprojected into it.
#include <memory>
#include <string>

#include "export/gdal_exports.h"
#include "heights/dem_heights.h"
#include "mapfile/georeferencing.h"

namespace terrak {

// The DEM in file for a map placed by georef; the module is loaded on the first sampling.
// Sampling throws heights::DemError with the user's message when the DEM cannot be used.
std::unique_ptr<heights::DemSource> OpenDemFile(const std::string& file,
                                                const Georeferencing& georef);
// The same through the given module functions (tests load the module by name).
std::unique_ptr<heights::DemSource> OpenDemFile(const std::string& file,
                                                const Georeferencing& georef,
                                                const GdalExports& gdal);

}  // namespace terrak
