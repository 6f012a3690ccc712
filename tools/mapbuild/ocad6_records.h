#pragma once
// The parts of a version 6/7 file that the program itself never reads but that other programs
// need to draw the map: the colour table after the header and the drawing part of the symbol
// records. Offsets follow the layout that version 8 kept for these records.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "mapbuild/ocad_builder.h"

namespace terrak::testing {

// Writes the colour table (kColourTable6Size bytes) at out.
void WriteColourTable6(std::uint8_t* out, const std::vector<ColourSpec>& colours);

// The record size OCAD gives a symbol of this type that has a drawing and no symbol elements.
std::int32_t DrawnSymbolSize6(std::int16_t objectType);

// Writes the drawing of a symbol into its record at out (the size, number, type and description
// are written by the caller): the extent, the colour set, the icon and the type's own fields.
void WriteSymbolDrawing6(std::uint8_t* out, const SymbolSpec& symbol,
                         const std::vector<ColourSpec>& colours);

// The symbol's icon as OCAD shows it in its symbol box, drawn in the symbol's colour.
inline constexpr std::size_t kIcon6Size = 264;
std::array<std::uint8_t, kIcon6Size> SymbolIcon6(const SymbolSpec& symbol,
                                                 const ColourSpec& colour);

}  // namespace terrak::testing
