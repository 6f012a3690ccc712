// Stand-in for the map reader's extent of the loaded objects, until the map reader is merged.
#include "mapfile/map_reader.h"

namespace terrak {

void ComputeGridExtent(const MapModel& model, GridState& grid) {
  grid.GridMaxY = -999999999;
  grid.GridMinY = 999999999;
  grid.GridMaxX = -999999999;
  grid.GridMinX = 999999999;
  for (const TMapObject& o : model.MapObjects) {
    if (o.MaxY > grid.GridMaxY) grid.GridMaxY = o.MaxY;
    if (o.MinY < grid.GridMinY) grid.GridMinY = o.MinY;
    if (o.MaxX > grid.GridMaxX) grid.GridMaxX = o.MaxX;
    if (o.MinX < grid.GridMinX) grid.GridMinX = o.MinX;
  }
  grid.GridWidth = grid.GridMaxX - grid.GridMinX;
  grid.GridHeight = grid.GridMaxY - grid.GridMinY;
}

}  // namespace terrak
