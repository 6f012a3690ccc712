#pragma once
// Between the map model and the heights core: the model's objects as polylines in ground metres,
// and the one place where proposed heights go back into the model and the working copy.
#include <cstdint>
#include <string>

#include "heights/contour_roles.h"
#include "heights/height_result.h"
#include "mapfile/map_model.h"

namespace terrak::heights {

// Ground metres per model unit (1/1440 inch of paper) at the map's scale; 1:10000 when the map
// gives none.
double MetresPerModelUnit(const MapModel& model);

// Every object of the model (the same numbering), curves flattened, with the role its symbol
// has; traceTolerance in model units, as the settings keep it.
HeightMap HeightMapFromModel(const MapModel& model, const ContourRoles& roles,
                             std::int32_t traceTolerance);

// The default roles of the map's symbols (DefaultContourRoles on its symbol list).
ContourRoles DefaultContourRoles(const MapModel& model);

// A point of the core's picture in model units.
TPair ModelPosition(const MapModel& model, Point p);

// Writes the changes into the model and the working copy through the map's own height writing.
// Returns the changes it could not write: heights the model cannot hold.
HeightChanges WriteHeightChanges(MapModel& model, const std::string& workingCopy,
                                 const HeightChanges& changes);

}  // namespace terrak::heights
