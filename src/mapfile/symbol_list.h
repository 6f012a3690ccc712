#pragma once
// The symbol list read from an open OCAD file whose header fields are in model.
#include <vector>

#include "mapfile/map_model.h"
#include "mapfile/ocad_records.h"

namespace terrak {

std::vector<TmapSymbol> ReadSymbolList(const ocad::RecordReader& reader, const MapModel& model);

}  // namespace terrak
