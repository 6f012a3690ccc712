// The extent of the loaded objects, from which the terrain grid is built.
#include <algorithm>

#include "mapfile/map_reader.h"

namespace terrak {

ModelExtent LoadedObjectsExtent(const MapModel& model) {
  ModelExtent extent;
  for (const TMapObject& object : model.MapObjects) {
    extent.MaxY = std::max(extent.MaxY, object.MaxY);
    extent.MinY = std::min(extent.MinY, object.MinY);
    extent.MaxX = std::max(extent.MaxX, object.MaxX);
    extent.MinX = std::min(extent.MinX, object.MinX);
  }
  return extent;
}

}  // namespace terrak
