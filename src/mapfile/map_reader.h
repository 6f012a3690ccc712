#pragma once
// Reading the objects of the selected symbols of the open map (the symbol list is read when
// the map opens).
#include <cstdint>
#include <string>

#include "mapfile/map_model.h"

namespace terrak {

// Rebuild MapObjects, ObjectCoords and the map extent from the open map's format, which holds
// the working copy's bytes.
void ReadObjects(MapModel& model, const std::string& workingCopy);

// A box in model units. With nothing in it, it keeps the start values, so its width and height
// are negative.
struct ModelExtent {
  std::int32_t MinX = 999999999, MinY = 999999999;
  std::int32_t MaxX = -999999999, MaxY = -999999999;
  std::int32_t Width() const { return MaxX - MinX; }
  std::int32_t Height() const { return MaxY - MinY; }
};

// The extent of the loaded objects, from which the terrain grid is built.
ModelExtent LoadedObjectsExtent(const MapModel& model);

}  // namespace terrak
