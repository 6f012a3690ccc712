#include "mapfile/map_model.h"

#include <stdexcept>

#include "common/bytes.h"

namespace terrak {

std::int32_t MapModel::DataStart() const { return GetI32(FileHeader.data() + 8); }
std::int32_t MapModel::SymbolAreaPos() const { return GetI32(FileHeader.data() + 12); }
std::int32_t MapModel::FirstSymbolBlockPos() const { return GetI32(FileHeader6.data() + 8); }
std::int32_t MapModel::FirstIndexBlockPos() const { return GetI32(FileHeader6.data() + 12); }
std::int32_t MapModel::SetupPos() const { return GetI32(FileHeader6.data() + 16); }

const TObjectCoords& GetObjectCoords(const MapModel& model, std::size_t i) {
  if (i >= model.ObjectCoords.size()) throw std::out_of_range("no such object");
  return model.ObjectCoords[i];
}

void FreeSymbolLists(MapModel& model) {
  model.SelectedSymbols.clear();
  model.SymbolList.clear();
}

}  // namespace terrak
