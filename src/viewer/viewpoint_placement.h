#pragma once
// Where the nine viewpoints go when the viewer opens on a map: around the extent of the loaded
// objects, each looking from outside the map at its centre, one and a half times the map's
// height span above its lowest contour.
#include "mapfile/map_model.h"
#include "terrain/viewpoint.h"

namespace terrak {

// Fills the eight presets from the loaded objects' extents and heights and makes the North
// preset the current viewpoint. Angles that the extent leaves undefined (a map without width or
// depth) become 0; a map without a valid scale is placed as if all its objects lay at 0.
void PlaceViewpoints(const MapModel& model, ViewpointBlock& views);

}  // namespace terrak
