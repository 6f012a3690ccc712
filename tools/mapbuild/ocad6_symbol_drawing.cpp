// The drawing part of version 6/7 symbol records. The 348-byte common part holds the extent at 8,
// the set of the colours used at 20 (one bit per colour number) and the icon at 84; the type's
// own fields follow it.
#include <algorithm>
#include <stdexcept>
#include <string>

#include "common/bytes.h"
#include "mapbuild/ocad6_records.h"

namespace terrak::testing {
namespace {

constexpr std::int64_t kExtentAt = 8;
constexpr std::int64_t kColourSetAt = 20;
constexpr std::int64_t kIconAt = 84;
constexpr std::int64_t kOwnFieldsAt = 348;

// Line symbols: colour, width, line style; every dash, double line and symbol element left off.
constexpr std::int64_t kLineColourAt = kOwnFieldsAt + 0;
constexpr std::int64_t kLineWidthAt = kOwnFieldsAt + 2;
constexpr std::int64_t kLineStyleAt = kOwnFieldsAt + 4;
constexpr std::int32_t kLineSymbolSize = 424;

// Area symbols: a fill switch and the fill colour; no hatch, no pattern.
constexpr std::int64_t kAreaFillOnAt = kOwnFieldsAt + 2;
constexpr std::int64_t kAreaFillColourAt = kOwnFieldsAt + 4;
constexpr std::int32_t kAreaSymbolSize = 380;

// Text symbols: the font name, then colour, size, weight, spacings and alignment (left), then
// paragraph settings, tabs, a line below and framing, all left off.
constexpr std::int64_t kFontNameAt = kOwnFieldsAt + 0;  // a length byte and 31 characters
constexpr std::int64_t kTextColourAt = kOwnFieldsAt + 32;
constexpr std::int64_t kFontSizeAt = kOwnFieldsAt + 34;
constexpr std::int64_t kFontWeightAt = kOwnFieldsAt + 36;
constexpr std::int64_t kWordSpacingAt = kOwnFieldsAt + 42;
constexpr std::int64_t kLineSpacingAt = kOwnFieldsAt + 46;
constexpr std::int32_t kTextSymbolSize = 588;
constexpr std::uint16_t kNormalWeight = 400;
constexpr std::uint16_t kFullSpacing = 100;  // percent of the normal word and line spacing

const ColourSpec& FindColour(const std::vector<ColourSpec>& colours, std::int16_t number) {
  const auto found = std::find_if(colours.begin(), colours.end(),
                                  [&](const ColourSpec& c) { return c.Number == number; });
  if (found == colours.end())
    throw std::invalid_argument("OCAD map builder: a symbol names colour " +
                                std::to_string(number) + ", which the colour table lacks");
  return *found;
}

}  // namespace

std::int32_t DrawnSymbolSize6(std::int16_t objectType) {
  switch (objectType) {
    case 2:
      return kLineSymbolSize;
    case 3:
      return kAreaSymbolSize;
    case 4:
      return kTextSymbolSize;
    default:
      throw std::invalid_argument("OCAD map builder: only line, area and text symbols are drawn");
  }
}

void WriteSymbolDrawing6(std::uint8_t* out, const SymbolSpec& symbol,
                         const std::vector<ColourSpec>& colours) {
  DrawnSymbolSize6(symbol.ObjectType);  // refuses the types without a drawing of their own
  const SymbolDrawing& drawing = *symbol.Drawing;
  const ColourSpec& colour = FindColour(colours, drawing.Colour);
  const auto number = static_cast<std::uint16_t>(drawing.Colour);
  out[kColourSetAt + number / 8] |= static_cast<std::uint8_t>(1u << (number % 8));
  const std::array<std::uint8_t, kIcon6Size> icon = SymbolIcon6(symbol, colour);
  std::copy(icon.begin(), icon.end(), out + kIconAt);
  switch (symbol.ObjectType) {
    case 2:
      if (drawing.LineWidth <= 0)
        throw std::invalid_argument("OCAD map builder: a drawn line needs a width");
      PutU16(out + kExtentAt, static_cast<std::uint16_t>(drawing.LineWidth / 2));
      PutI16(out + kLineColourAt, drawing.Colour);
      PutI16(out + kLineWidthAt, drawing.LineWidth);
      PutI16(out + kLineStyleAt, drawing.LineStyle);
      break;
    case 3:
      PutU16(out + kAreaFillOnAt, 1);
      PutI16(out + kAreaFillColourAt, drawing.Colour);
      break;
    default:
      if (drawing.Font.empty() || drawing.Font.size() > 31 || drawing.FontSize <= 0)
        throw std::invalid_argument("OCAD map builder: a drawn text needs a font and a size");
      out[kFontNameAt] = static_cast<std::uint8_t>(drawing.Font.size());
      std::copy(drawing.Font.begin(), drawing.Font.end(), out + kFontNameAt + 1);
      PutI16(out + kTextColourAt, drawing.Colour);
      PutI16(out + kFontSizeAt, drawing.FontSize);
      PutU16(out + kFontWeightAt, kNormalWeight);
      PutU16(out + kWordSpacingAt, kFullSpacing);
      PutU16(out + kLineSpacingAt, kFullSpacing);
      break;
  }
}

}  // namespace terrak::testing
