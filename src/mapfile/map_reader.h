#pragma once
// Reading the symbol list and the objects of the selected symbols from the working copy.
#include <string>

#include "terrain/grid_state.h"
#include "mapfile/map_model.h"

namespace terrak {

// Rebuild SymbolList from the working copy (by model.OcadVersion).
void ReadSymbols(MapModel& model, const std::string& workingCopy);
void ReadSymbols5(MapModel& model, const std::string& workingCopy);
void ReadSymbols6(MapModel& model, const std::string& workingCopy);

// Rebuild MapObjects, ObjectCoords and the map extent from the working copy.
void ReadObjects(MapModel& model, const std::string& workingCopy);
void ReadObjects5(MapModel& model, const std::string& workingCopy);
void ReadObjects6(MapModel& model, const std::string& workingCopy);

// The extent of the loaded objects, in model units, into the grid state.
void ComputeGridExtent(const MapModel& model, GridState& grid);

}  // namespace terrak
