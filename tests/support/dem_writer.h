#pragma once
// GeoTIFFs of heights for the tests of heights from a DEM, written through GDAL in another
// coordinate system than the map's, so the reading must reproject.
#include <functional>
#include <string>

namespace terrak::testing {

// A GeoTIFF of size x size cells over the box e0..e1, n0..n1 of the map's ground (in the system
// mapEpsg), written in the system demEpsg (0: none given, the cells laid out in the map's
// system); each cell's height is height(easting, northing) of its centre in the map's system.
// Returns whether GDAL wrote it.
bool WriteDemGeoTiff(const std::string& file, int mapEpsg, int demEpsg, double e0, double n0,
                     double e1, double n1, int size,
                     const std::function<double(double, double)>& height);

}  // namespace terrak::testing
