#pragma once
// Heights from a DEM: each contour object sampled along its length in the DEM, the median taken
// and snapped to the nearest level of its role (contours to contour levels, index contours to
// index levels, form lines to half levels). An object whose samples stray more than half an
// interval from that level, or that lies outside the DEM, is a conflict and keeps its height.
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "heights/contour_roles.h"
#include "heights/height_result.h"
#include "mapfile/georeferencing.h"

namespace terrak::heights {

// A DEM as the core reads it: heights at points in the map's projected coordinates. Reading
// the raster and reprojecting live elsewhere (GDAL's module); tests give their own.
class DemSource {
 public:
  virtual ~DemSource() = default;
  // One height per point; NaN where the DEM has none (outside it, or no data). Throws
  // DemError when the DEM cannot be used at all.
  virtual std::vector<double> Sample(const std::vector<Georeferencing::Point>& points) = 0;
  // What the user should know about the reading (the coordinate systems taken), or empty.
  virtual std::string Note() const { return {}; }
};

// A DEM that cannot be used; what() is the message for the user.
class DemError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kNoGeoreferencingMessage =
    "The map does not say where it lies (it has no georeferencing), so a DEM cannot be laid "
    "over it. Nothing was changed.";

struct DemRun {
  HeightsResult Result;
  // Set when nothing could be done (no georeferencing, a DEM that does not cover the map):
  // the result then leaves every object as it was.
  std::string Message;
};

struct DemSettings {
  double SpacingMm = 0.5;            // between samples along an object, in paper millimetres
  std::int32_t LeastSamples = 5;     // per object, however short
  std::int32_t MostSamples = 400;    // per object, however long
};

// The proposal for every object; dem names the DEM in messages.
DemRun HeightsFromDem(const HeightMap& map, const ContourRoles& roles, const Georeferencing& georef,
                      DemSource& dem, const std::string& demName, const DemSettings& settings = {});

}  // namespace terrak::heights
