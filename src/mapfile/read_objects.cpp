// The objects of the selected symbols, with their coordinate lists, and the extent of every
// object of the map, as the map's format reads them.
#include <algorithm>

#include "mapfile/map_format.h"
#include "mapfile/map_reader.h"
#include "mapfile/model_objects.h"

namespace terrak {

namespace {

// The lists are built aside and move into the model whole, so a damaged file never leaves
// half-read lists behind.
void Commit(MapModel& model, ModelObjects&& lists) {
  model.MapObjects = std::move(lists.Objects);
  model.ObjectCoords = std::move(lists.Coords);
  model.MapMinX = lists.MinX;
  model.MapMinY = lists.MinY;
  model.MapMaxX = lists.MaxX;
  model.MapMaxY = lists.MaxY;
  model.MapWidth = model.MapMaxX - model.MapMinX;
  model.MapHeight = model.MapMaxY - model.MapMinY;
}

}  // namespace

void ReadObjects(MapModel& model, const std::string& /*workingCopy*/) {
  // No map has been opened: there is nothing to read. The open map's format reads from the
  // bytes it holds, the working copy's bytes.
  if (!model.Format) {
    Commit(model, ModelObjects{});
    return;
  }
  Commit(model, model.Format->ReadModelObjects([&](std::int32_t symbol) {
    return std::any_of(model.SelectedSymbols.begin(), model.SelectedSymbols.end(),
                       [&](const TSelectedSymbol& s) { return s.Symbol == symbol; });
  }));
}

}  // namespace terrak
