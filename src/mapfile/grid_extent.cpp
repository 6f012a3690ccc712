// The extent of the loaded objects, from which the terrain grid is built.
#include <algorithm>

#include "mapfile/map_reader.h"

namespace terrak {

void ComputeGridExtent(const MapModel& model, GridState& grid) {
  grid.GridMaxY = -999999999;
  grid.GridMinY = 999999999;
  grid.GridMaxX = -999999999;
  grid.GridMinX = 999999999;
  for (const TMapObject& object : model.MapObjects) {
    grid.GridMaxY = std::max<std::int32_t>(grid.GridMaxY, object.MaxY);
    grid.GridMinY = std::min<std::int32_t>(grid.GridMinY, object.MinY);
    grid.GridMaxX = std::max<std::int32_t>(grid.GridMaxX, object.MaxX);
    grid.GridMinX = std::min<std::int32_t>(grid.GridMinX, object.MinX);
  }
  grid.GridWidth = grid.GridMaxX - grid.GridMinX;
  grid.GridHeight = grid.GridMaxY - grid.GridMinY;
}

}  // namespace terrak
