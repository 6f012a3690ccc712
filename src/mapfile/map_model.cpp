#include "mapfile/map_model.h"

#include <stdexcept>

#include "mapfile/map_format.h"
#include "mapfile/map_formats.h"

namespace terrak {

FormatCapabilities MapModel::Capabilities() const {
  return Format ? Format->Info().Capabilities : NoMapCapabilities();
}

std::int32_t MapModel::CoordinateReach() const { return Capabilities().CoordinateReach(); }

const TObjectCoords& GetObjectCoords(const MapModel& model, std::size_t i) {
  if (i >= model.ObjectCoords.size()) throw std::out_of_range("no such object");
  return model.ObjectCoords[i];
}

void FreeSymbolLists(MapModel& model) {
  model.SelectedSymbols.clear();
  model.SymbolList.clear();
}

}  // namespace terrak
