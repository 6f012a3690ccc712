// The drawing definitions of OCAD 9 to 2018 maps: the colour table from the colour strings
// (type 9, in drawing order, spot colours of type 10 after them), the symbol records, and each
// object's angle and, for texts, its symbol's alignment.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <set>
#include <string_view>

#include "common/bytes.h"
#include "mapfile/ocad9/ocad9_map.h"
#include "mapfile/ocad_symbol_records.h"
#include "mapfile/symbol_definitions.h"
#include "mapfile/text_encoding.h"

namespace terrak::ocad9 {

namespace {

constexpr std::int32_t kColourString = 9;
constexpr std::int32_t kSpotColourString = 10;
// The object record's angle in 0.1 degree.
constexpr std::int64_t kObjectAngle = 6;

std::optional<double> FieldNumber(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// A colour string: the name, then tab-separated fields keyed by their first letter (n number,
// c m y k percentages, t opacity in percent).
struct ColourString {
  MapColour Colour;
  std::optional<int> Number;
};

ColourString ParseColourString(std::string_view text, bool utf8) {
  ColourString parsed;
  const std::size_t firstTab = text.find('\t');
  const std::string_view name = text.substr(0, firstTab);
  parsed.Colour.Name = utf8 ? ValidUtf8(name) : Windows1252ToUtf8(name);
  for (std::size_t start = firstTab; start != std::string_view::npos;) {
    const std::size_t end = text.find('\t', start + 1);
    const std::string_view field = text.substr(start + 1, end == std::string_view::npos
                                                              ? std::string_view::npos
                                                              : end - start - 1);
    start = end;
    if (field.empty()) continue;
    const std::optional<double> value = FieldNumber(field.substr(1));
    if (!value) continue;
    const bool percent = *value >= 0 && *value <= 100;
    const auto share = static_cast<float>(*value / 100.0);
    switch (field.front()) {
      case 'n':
        if (std::fabs(*value) < 1e6) parsed.Number = static_cast<int>(*value);
        break;
      case 'c':
        if (percent) parsed.Colour.Cyan = share;
        break;
      case 'm':
        if (percent) parsed.Colour.Magenta = share;
        break;
      case 'y':
        if (percent) parsed.Colour.Yellow = share;
        break;
      case 'k':
        if (percent) parsed.Colour.Black = share;
        break;
      case 't':
        if (percent) parsed.Colour.Opacity = share;
        break;
      default:
        break;
    }
  }
  SetScreenColourFromMix(parsed.Colour);
  return parsed;
}

}  // namespace

SymbolDefinitions Ocad9Map::ReadSymbolDefinitions() const {
  SymbolDefinitions definitions;
  std::vector<std::string>& notes = definitions.Notes;
  const auto fileSize = static_cast<std::int64_t>(bytes_.size());
  auto holds = [&](std::int64_t pos, std::int64_t size) {
    return pos > 0 && size >= 0 && pos <= fileSize && size <= fileSize - pos;
  };
  const bool utf8 = info_.Version >= 11;

  // The colour strings, walking the string index once more: only the entries the program
  // itself uses were checked at opening.
  std::vector<MapColour> spotColours;
  ocad::ColourNumbers colourNumbers;
  std::set<std::int64_t> seen;
  for (std::int64_t block = static_cast<std::uint32_t>(GetI32(bytes_.data() + kFirstStringBlockOffset));
       block > 0 && holds(block, kStringBlockSize) && seen.insert(block).second;
       block = static_cast<std::uint32_t>(GetI32(bytes_.data() + block))) {
    for (int e = 0; e < kBlockEntries; ++e) {
      const std::uint8_t* entry = bytes_.data() + block + 4 + kStringEntrySize * e;
      const std::int32_t type = GetI32(entry + 8);
      if (type != kColourString && type != kSpotColourString) continue;
      const std::int64_t pos = static_cast<std::uint32_t>(GetI32(entry));
      const std::int64_t length = static_cast<std::uint32_t>(GetI32(entry + 4));
      if (!holds(pos, length)) {
        notes.push_back("a colour string lies outside the file");
        continue;
      }
      const auto* text = reinterpret_cast<const char*>(bytes_.data() + pos);
      const std::string_view string(text, std::find(text, text + length, '\0') - text);
      ColourString parsed = ParseColourString(string, utf8);
      if (!parsed.Number) {
        notes.push_back("a colour string without its number: " + parsed.Colour.Name);
        continue;
      }
      if (type == kSpotColourString) {
        parsed.Colour.Spot = true;
        spotColours.push_back(std::move(parsed.Colour));
        continue;
      }
      colourNumbers.emplace(*parsed.Number,
                            static_cast<ColourRef>(definitions.Colours.size()));
      definitions.Colours.push_back(std::move(parsed.Colour));
    }
  }
  // Spot colours lie below the colours the symbols use.
  for (MapColour& spot : spotColours) definitions.Colours.push_back(std::move(spot));

  const ocad::SymbolRecordLayout layout = ocad::SymbolRecordLayoutOf(info_.Version);
  std::vector<ocad::DecodedSymbol> symbols;
  for (const std::int64_t pos : symbolRecords_) {
    const std::int64_t declared = static_cast<std::uint32_t>(GetI32(bytes_.data() + pos));
    const std::int64_t size = std::min(declared, fileSize - pos);
    symbols.push_back(ocad::DecodeSymbolRecord(
        std::span<const std::uint8_t>(bytes_.data() + pos, static_cast<std::size_t>(size)),
        layout, colourNumbers, notes));
  }
  ocad::AttachAreaBorders(symbols, notes);
  std::unordered_map<std::int32_t, const ocad::DecodedSymbol*> byNumber;
  for (const ocad::DecodedSymbol& symbol : symbols) {
    byNumber.emplace(symbol.Symbol->Number, &symbol);
    definitions.Symbols.push_back(symbol.Symbol);
  }

  for (const Entry& entry : entries_) {
    const std::uint8_t* record = bytes_.data() + entry.Position;
    const std::int32_t angle = GetI16(record + kObjectAngle);
    const std::uint8_t type = record[kObjectType];
    const bool text = type == 4 || type == 5 || type == 6;
    if (angle == 0 && !text) continue;
    const auto symbol = byNumber.find(entry.Symbol);
    std::vector<FormatPoint> points;
    if (text) points = Decode(entry).Points;
    definitions.Placements.emplace(
        entry.EntryPos,
        ocad::PlacementOf(symbol == byNumber.end() ? nullptr : symbol->second,
                          text ? ObjectKind::Text : ObjectKind::Point, angle, points));
  }
  return definitions;
}

}  // namespace terrak::ocad9
