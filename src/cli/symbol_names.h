#pragma once
// The symbols a command names, found in the open map by what `info` prints for them: the
// number the map shows ("10.1" on an OCAD 5 to 8 map, "101" or "103.2" on a later one) or the
// program's number of it ("101", "101000"), or the same number with the dot today's formats
// write ("101.0", "103.002").
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "mapfile/map_model.h"

namespace terrak::cli {

// A symbol the map does not have; the message names the nearest ones it has.
class SymbolNotFound : public std::runtime_error {
 public:
  explicit SymbolNotFound(const std::string& message) : std::runtime_error(message) {}
};

// The program's numbers of items, in their order. An item that names no symbol of the map's
// list is taken as the number it stands for, since the list leaves area symbols out; throws
// SymbolNotFound for an item that stands for no number.
std::vector<std::int32_t> FindSymbols(const std::vector<std::string>& items, const MapModel& model);

// Once the objects of symbols (FindSymbols of items) were read: throws SymbolNotFound for the
// first item whose symbol is neither in the map's list nor has an object.
void CheckSymbolsFound(const std::vector<std::string>& items,
                       const std::vector<std::int32_t>& symbols, const MapModel& model);

}  // namespace terrak::cli
