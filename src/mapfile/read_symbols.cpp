// The symbol list: every symbol of the map that is not an area symbol, in file order, each with
// its display text ("10.1 Contour").
#include <string>

#include "common/bytes.h"
#include "common/numtext.h"
#include "mapfile/map_reader.h"
#include "mapfile/ocad_layout.h"
#include "mapfile/ocad_records.h"
#include "mapfile/symbol_list.h"
#include "mapfile/text_encoding.h"

namespace terrak {

namespace {

constexpr std::int16_t kAreaType = 3;

std::string DisplayText(std::int16_t symbol, const std::string& description) {
  const std::string number = FormatFixed(symbol / 10.0, 4, 1);
  if (description.empty()) return number + " No Description Found";
  return number + " " + Windows1252ToUtf8(description);
}

void AppendSymbol(std::vector<TmapSymbol>& list, std::int16_t symbol, std::int16_t type,
                  const std::string& description) {
  if (type == kAreaType) return;
  list.push_back({symbol, DisplayText(symbol, description), type});
}

std::vector<TmapSymbol> Symbols5(const ocad::RecordReader& reader, std::int32_t symbolArea) {
  std::vector<TmapSymbol> list;
  const std::vector<std::uint8_t> header =
      reader.Read(symbolArea, ocad::kSymbolHeader5Size, "symbol header");
  const std::int16_t count = GetI16(header.data() + 12);
  for (int k = 0; k < count; ++k) {
    const std::vector<std::uint8_t> record = reader.Read(
        symbolArea + ocad::kSymbolRecords5Offset + static_cast<std::int64_t>(ocad::kSymbolRecord5Size) * k,
        ocad::kSymbolRecord5Size, "symbol record");
    std::string description;
    for (std::size_t i = 16; i < 16 + 32 && record[i] != 0; ++i)
      description += static_cast<char>(record[i]);
    AppendSymbol(list, GetI16(record.data()), GetI16(record.data() + 2), description);
  }
  return list;
}

std::vector<TmapSymbol> Symbols6(const ocad::RecordReader& reader, std::int32_t firstBlock) {
  std::vector<TmapSymbol> list;
  ocad::ForEachSymbolRecord6(reader, firstBlock, [&](std::int32_t recordPos) {
    const std::vector<std::uint8_t> record =
        reader.Read(recordPos, ocad::kSymbolRecord6ReadSize, "symbol record");
    const std::uint8_t length = record[52];
    const std::string description(reinterpret_cast<const char*>(record.data() + 53), length);
    AppendSymbol(list, GetI16(record.data() + 2), GetI16(record.data() + 4), description);
  });
  return list;
}

}  // namespace

std::vector<TmapSymbol> ReadSymbolList(const ocad::RecordReader& reader, const MapModel& model) {
  if (model.OcadVersion == 5) return Symbols5(reader, model.SymbolAreaPos());
  return Symbols6(reader, model.FirstSymbolBlockPos());
}

void ReadSymbols5(MapModel& model, const std::string& workingCopy) {
  const FileStream stream(workingCopy, FileMode::ReadExclusive);
  model.SymbolList = Symbols5(ocad::RecordReader(stream), model.SymbolAreaPos());
}

void ReadSymbols6(MapModel& model, const std::string& workingCopy) {
  const FileStream stream(workingCopy, FileMode::ReadExclusive);
  model.SymbolList = Symbols6(ocad::RecordReader(stream), model.FirstSymbolBlockPos());
}

void ReadSymbols(MapModel& model, const std::string& workingCopy) {
  if (model.Format) return;  // filled at opening from the format's own reader
  if (model.OcadVersion == 5)
    ReadSymbols5(model, workingCopy);
  else
    ReadSymbols6(model, workingCopy);
}

}  // namespace terrak
