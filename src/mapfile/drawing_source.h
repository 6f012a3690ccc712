#pragma once
// A map file of any format, as the map drawing needs it: the colours and symbol
// definitions, every object, the scale. Read as the format's registry entry says: by its own
// drawing reader (OCAD 6 to 8), else through its FormatMap.
#include <cstdint>
#include <string>
#include <vector>

#include "mapfile/map_format.h"
#include "mapfile/symbol_definitions.h"

namespace terrak {

struct DrawingSource {
  std::string FormatName;  // "OCAD 7", "OpenOrienteering Mapper XML"
  double Scale = 0;
  SymbolDefinitions Definitions;
  std::vector<FormatObject> Objects;
};

// Throws MapFormatError with the program's message for a file of another kind, an OCAD 5 map
// (whose symbols keep no drawing the program reads) or a damaged one.
DrawingSource ReadDrawingSource(std::vector<std::uint8_t> bytes, const std::string& fileName);

inline constexpr const char* kNoDrawingOcad5Message =
    "This map was saved by OCAD version 5, whose symbol drawings Terrak cannot read";

}  // namespace terrak
