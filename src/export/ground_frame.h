#pragma once
// How the map's ground metres (the grid's cells) lie in its coordinate system. A georeferenced
// map's transform turns and scales them (Mapper's combined scale factor, for instance, makes a
// map metre 0.72 m on the ground); the 3D models are made in true metres with it, as the DEM is.
// Without georeferencing a map metre is a metre.
#include "mapfile/georeferencing.h"

namespace terrak {

struct GroundFrame {
  double MetresPerCell = 1.0;   // metres in the coordinate system per metre of the map
  double RotationDegrees = 0.0;  // the map's east counter-clockwise from the system's east
};

// Throws ExportError (kBadGeoreferencingMessage) for a transform that is not finite or collapses
// the map.
GroundFrame GroundFrameOf(const Georeferencing& georef);

}  // namespace terrak
