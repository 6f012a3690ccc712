#pragma once
// OCAD 6, 7 and 8 maps as their drawing needs them: the colour table after the header, the
// symbols' drawing definitions and every object in the neutral form (1/1000 mm, y upwards).
// The program's first reader reads these versions for heights; this reader only draws them.
#include <cstdint>
#include <span>
#include <vector>

#include "mapfile/drawing_source.h"
#include "mapfile/map_format.h"
#include "mapfile/symbol_definitions.h"

namespace terrak::ocad6 {

struct MapDrawing6 {
  int Version = 0;
  double Scale = 0;  // the setup record's map scale; 0 when the record is missing
  SymbolDefinitions Definitions;
  ObjectsRead Objects;  // every object whose index entry names a symbol, in index order
};

// Reads the whole map from its bytes. A file that is no OCAD 6 to 8 map, or whose blocks or
// objects leave the file, throws MapFormatError with the program's message; damaged symbol
// definitions are named in Definitions.Notes and drawn plainly.
MapDrawing6 ReadMapDrawing6(std::span<const std::uint8_t> bytes);

// The map drawing's source of an OCAD 6 to 8 map, by ReadMapDrawing6, which reads what the
// drawing needs without the checks of the model's reader. Refuses OCAD 5, whose symbols keep
// no drawing the program reads.
DrawingSource ReadDrawingSource5To8(std::vector<std::uint8_t> bytes);

}  // namespace terrak::ocad6
