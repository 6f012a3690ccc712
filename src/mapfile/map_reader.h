#pragma once
// Reading the objects of the selected symbols of the open map (the symbol list is read when
// the map opens).
#include <string>

#include "terrain/grid_state.h"
#include "mapfile/map_model.h"

namespace terrak {

// Rebuild MapObjects, ObjectCoords and the map extent from the open map's format, which holds
// the working copy's bytes.
void ReadObjects(MapModel& model, const std::string& workingCopy);

// The extent of the loaded objects, in model units, into the grid state.
void ComputeGridExtent(const MapModel& model, GridState& grid);

}  // namespace terrak
