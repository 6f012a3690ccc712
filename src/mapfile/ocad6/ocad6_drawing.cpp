#include "mapfile/ocad6/ocad6_drawing.h"

#include <algorithm>
#include <set>
#include <string>
#include <unordered_map>

#include "mapfile/byte_view.h"
#include "mapfile/ocad_format_error.h"
#include "mapfile/ocad_symbol_records.h"
#include "mapfile/text_encoding.h"
#include "mapfile/utf16.h"

namespace terrak::ocad6 {

namespace {

constexpr std::int64_t kFirstSymbolBlock = 8;
constexpr std::int64_t kFirstIndexBlock = 12;
constexpr std::int64_t kSetupPosition = 16;
constexpr std::int64_t kSetupScale = 24;

// The colour table: a 24-byte head (number of colours and of separations, screens), 256
// colour records of 72 bytes (number, CMYK in half percent, name), 32 separations of 24 bytes.
constexpr std::int64_t kColourTable = 48;
constexpr std::int64_t kColourRecords = kColourTable + 24;
constexpr std::int64_t kColourRecordSize = 72;
constexpr int kColourEntries = 256;
constexpr std::int64_t kSeparations = kColourRecords + kColourRecordSize * kColourEntries;
constexpr std::int64_t kSeparationSize = 24;
constexpr int kMostSeparations = 24;

constexpr int kBlockEntries = 256;
constexpr std::int64_t kSymbolBlockSize = 4 + 4 * kBlockEntries;
constexpr std::int64_t kIndexEntrySize = 24;
constexpr std::int64_t kIndexBlockSize = 4 + kIndexEntrySize * kBlockEntries;
constexpr std::int64_t kObjectHeaderSize = 32;

std::vector<std::int64_t> Chain(const ByteView& view, std::int64_t first, std::int64_t blockSize,
                                const char* what) {
  std::vector<std::int64_t> blocks;
  std::set<std::int64_t> seen;
  for (std::int64_t pos = first; pos > 0;) {
    view.At(pos, blockSize, what);
    if (!seen.insert(pos).second) view.Damaged(std::string(what) + " chain runs in a circle");
    blocks.push_back(pos);
    pos = view.I32(pos, what);
  }
  return blocks;
}

std::vector<MapColour> ReadColours(const ByteView& view, const std::uint8_t* file,
                                   ocad::ColourNumbers& numbers) {
  std::vector<MapColour> colours;
  if (!view.Holds(kColourTable, 4)) return colours;
  const int count = std::min<int>(GetU16(file + kColourTable), kColourEntries);
  for (int i = 0; i < count; ++i) {
    const std::int64_t at = kColourRecords + kColourRecordSize * i;
    if (!view.Holds(at, kColourRecordSize)) break;
    const std::uint8_t* record = file + at;
    MapColour colour;
    const std::uint8_t nameLength = std::min<std::uint8_t>(record[8], 31);
    colour.Name = Windows1252ToUtf8(
        std::string_view(reinterpret_cast<const char*>(record + 9), nameLength));
    colour.Cyan = std::min(record[4], std::uint8_t{200}) / 200.0f;
    colour.Magenta = std::min(record[5], std::uint8_t{200}) / 200.0f;
    colour.Yellow = std::min(record[6], std::uint8_t{200}) / 200.0f;
    colour.Black = std::min(record[7], std::uint8_t{200}) / 200.0f;
    SetScreenColourFromMix(colour);
    numbers.emplace(GetU16(record), static_cast<ColourRef>(colours.size()));
    colours.push_back(std::move(colour));
  }
  // The separations, OCAD's spot colours, lie below the colours the symbols use.
  const int separations = std::min<int>(GetU16(file + kColourTable + 2), kMostSeparations);
  for (int i = 0; i < separations; ++i) {
    const std::int64_t at = kSeparations + kSeparationSize * i;
    if (!view.Holds(at, kSeparationSize)) break;
    const std::uint8_t* record = file + at;
    MapColour spot;
    spot.Spot = true;
    spot.Name = Windows1252ToUtf8(std::string_view(reinterpret_cast<const char*>(record + 1),
                                                   std::min<std::uint8_t>(record[0], 15)));
    spot.Cyan = std::min(record[16], std::uint8_t{200}) / 200.0f;
    spot.Magenta = std::min(record[17], std::uint8_t{200}) / 200.0f;
    spot.Yellow = std::min(record[18], std::uint8_t{200}) / 200.0f;
    spot.Black = std::min(record[19], std::uint8_t{200}) / 200.0f;
    SetScreenColourFromMix(spot);
    colours.push_back(std::move(spot));
  }
  return colours;
}

ObjectKind KindOf(int type) {
  switch (type) {
    case 1:
      return ObjectKind::Point;
    case 3:
      return ObjectKind::Area;
    case 4:
    case 5:
    case 6:
      return ObjectKind::Text;
    default:
      return ObjectKind::Line;
  }
}

std::int32_t Micrometres(std::int32_t coded) { return (coded >> 8) * 10; }

}  // namespace

MapDrawing6 ReadMapDrawing6(std::span<const std::uint8_t> bytes) {
  const ByteView view(bytes, kNotOcadMessage);
  const std::uint8_t* file = bytes.data();
  MapDrawing6 map;
  view.At(0, 48, "header");
  map.Version = GetI16(file + 4);
  if (GetU16(file) != 0x0CAD || map.Version < 6 || map.Version > 8)
    view.Damaged("no OCAD mark or a version other than 6 to 8");
  const std::int64_t setup = view.I32(kSetupPosition, "header");
  if (view.Holds(setup, kSetupScale + 8) && setup > 0) map.Scale = GetDouble(file + setup + kSetupScale);

  SymbolDefinitions& definitions = map.Definitions;
  ocad::ColourNumbers colourNumbers;
  definitions.Colours = ReadColours(view, file, colourNumbers);

  const ocad::SymbolRecordLayout layout = ocad::SymbolRecordLayoutOf(map.Version);
  std::vector<ocad::DecodedSymbol> symbols;
  for (const std::int64_t block :
       Chain(view, view.I32(kFirstSymbolBlock, "header"), kSymbolBlockSize, "symbol block")) {
    for (int j = 0; j < kBlockEntries; ++j) {
      const std::int64_t pos = GetI32(file + block + 4 + 4 * j);
      if (pos <= 0) break;
      view.At(pos, 4, "symbol record");
      const std::int64_t size = std::min<std::int64_t>(GetU16(file + pos), view.Size() - pos);
      symbols.push_back(ocad::DecodeSymbolRecord(
          bytes.subspan(static_cast<std::size_t>(pos), static_cast<std::size_t>(size)), layout,
          colourNumbers, definitions.Notes));
    }
  }
  std::unordered_map<std::int32_t, const ocad::DecodedSymbol*> byNumber;
  for (const ocad::DecodedSymbol& symbol : symbols) {
    byNumber.emplace(symbol.Symbol->Number, &symbol);
    definitions.Symbols.push_back(symbol.Symbol);
  }

  FormatExtent& all = map.Objects.MapExtent;
  for (const std::int64_t block :
       Chain(view, view.I32(kFirstIndexBlock, "header"), kIndexBlockSize, "index block")) {
    for (int e = 0; e < kBlockEntries; ++e) {
      const std::int64_t entryPos = block + 4 + kIndexEntrySize * e;
      const std::uint8_t* entry = file + entryPos;
      const std::int64_t pos = GetI32(entry + 16);
      const std::int16_t symbolNumber = GetI16(entry + 22);
      if (symbolNumber == 0 || pos <= 0) continue;
      const std::uint8_t* record = view.At(pos, kObjectHeaderSize, "object");
      const std::int64_t items = GetU16(record + 4);
      const std::int64_t textUnits = GetU16(record + 6);
      view.At(pos, kObjectHeaderSize + 8 * (items + textUnits), "object's coordinates");
      FormatObject object;
      object.Key = entryPos;
      object.Symbol = symbolNumber;
      const int type = map.Version == 8 ? record[2] : GetU16(record + 2);
      object.Kind = KindOf(type);
      object.Extent = {Micrometres(GetI32(entry)), Micrometres(GetI32(entry + 4)),
                       Micrometres(GetI32(entry + 8)), Micrometres(GetI32(entry + 12))};
      all.MinX = std::min(all.MinX, object.Extent.MinX);
      all.MinY = std::min(all.MinY, object.Extent.MinY);
      all.MaxX = std::max(all.MaxX, object.Extent.MaxX);
      all.MaxY = std::max(all.MaxY, object.Extent.MaxY);
      const std::uint8_t* coords = record + kObjectHeaderSize;
      object.Points.reserve(static_cast<std::size_t>(items));
      for (std::int64_t k = 0; k < items; ++k) {
        const std::int32_t x = GetI32(coords + 8 * k);
        const std::int32_t y = GetI32(coords + 8 * k + 4);
        object.Points.push_back({Micrometres(x), Micrometres(y),
                                 static_cast<std::uint32_t>(x & 0xFF) |
                                     (static_cast<std::uint32_t>(y & 0xFF) << 8)});
      }
      const std::uint8_t* text = coords + 8 * items;
      const auto textBytes = static_cast<std::size_t>(8 * textUnits);
      if (map.Version == 8 && record[3] == 1) {
        object.Text = Utf16LeToUtf8({text, textBytes});
      } else {
        const auto* chars = reinterpret_cast<const char*>(text);
        object.Text = Windows1252ToUtf8(
            std::string_view(chars, std::find(chars, chars + textBytes, '\0') - chars));
      }
      const std::int16_t angle = GetI16(record + 8);
      if (angle != 0 || object.Kind == ObjectKind::Text) {
        const auto symbol = byNumber.find(object.Symbol);
        definitions.Placements.emplace(
            object.Key, ocad::PlacementOf(symbol == byNumber.end() ? nullptr : symbol->second,
                                          object.Kind, angle, object.Points));
      }
      map.Objects.Objects.push_back(std::move(object));
    }
  }
  return map;
}

DrawingSource ReadDrawingSource5To8(std::vector<std::uint8_t> bytes) {
  if (bytes.size() >= 6 && GetI16(bytes.data() + 4) == 5)
    throw MapFormatError(kNoDrawingOcad5Message, "OCAD 5");
  MapDrawing6 map = ReadMapDrawing6(bytes);
  DrawingSource source;
  source.FormatName = "OCAD " + std::to_string(map.Version);
  source.Scale = map.Scale;
  source.Definitions = std::move(map.Definitions);
  source.Objects = std::move(map.Objects.Objects);
  return source;
}

}  // namespace terrak::ocad6
