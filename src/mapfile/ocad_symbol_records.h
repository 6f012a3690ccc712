#pragma once
// The drawing part of OCAD symbol records, versions 6 to 2018. The type's own fields follow a
// common part whose size grows with the version (348 bytes up to 8, 572 in 9 and 10, 796 from
// 11 on); the fields themselves keep one layout, so one decoder serves every version. OCAD
// lengths are 0.01 mm, angles 0.1 degree counterclockwise, colours numbers into the colour
// table. The definitions follow what OCAD draws, as other map programs read them: a double line
// becomes a line with two borders, a framing a wider line below, an area border its line symbol.
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "mapfile/symbol_definitions.h"

namespace terrak::ocad {

struct SymbolRecordLayout {
  int Version = 8;
  std::int64_t CommonSize = 348;  // the type's own fields start here
  bool WideNumber = false;        // 32-bit number at 4 (9 on) or 16-bit at 2
  bool WideTexts = false;         // font names in UTF-8 (11 on) rather than Windows-1252
  std::int64_t AreaElementsAt = 32;  // from the type's own fields
};
SymbolRecordLayout SymbolRecordLayoutOf(int version);

// The file's colour numbers and their places in the colour table.
using ColourNumbers = std::map<int, ColourRef>;

struct DecodedSymbol {
  std::shared_ptr<SymbolDefinition> Symbol;
  // Versions 9 on: the line symbol drawn along an area's border; 0 for none.
  std::int32_t BorderSymbol = 0;
  // The text alignment OCAD keeps in the symbol and applies to every object of it.
  TextHAlign HAlign = TextHAlign::Left;
  TextVAlign VAlign = TextVAlign::Baseline;
};

// Decodes one symbol record (its bytes up to its own size, or to the end of the file). Fields
// beyond the record read as absent; colours the table lacks and styles that cannot be drawn as
// defined are named in notes and drawn plainly. Never throws for damaged bytes.
DecodedSymbol DecodeSymbolRecord(std::span<const std::uint8_t> record,
                                 const SymbolRecordLayout& layout, const ColourNumbers& colours,
                                 std::vector<std::string>& notes);

// Replaces each area symbol that has a border by the area and its border line symbol drawn
// together, once every symbol is decoded.
void AttachAreaBorders(std::vector<DecodedSymbol>& symbols, std::vector<std::string>& notes);

// OCAD's angle in 0.1 degree as radians, in [0, 2 pi).
double AngleFromTenths(std::int32_t tenths);

// Placement of an OCAD object of the symbol: its angle, the symbol's alignment and, for a text
// kept in a box (four corners from the lower left, counterclockwise), the box.
ObjectPlacement PlacementOf(const DecodedSymbol* symbol, ObjectKind kind, std::int32_t angleTenths,
                            const std::vector<FormatPoint>& points);

}  // namespace terrak::ocad
