// Opening an OCAD 5 to 8 map: a walk over every record the program will read, so a damaged
// file is refused before anything changes, then the setup record's view, scale and
// georeferencing, and the symbols.
#include "mapfile/ocad6/ocad6_map.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "common/bytes.h"
#include "common/numtext.h"
#include "mapfile/height_field.h"
#include "mapfile/ocad_file.h"
#include "mapfile/ocad_format_error.h"
#include "mapfile/setup_georeferencing.h"
#include "mapfile/text_encoding.h"

namespace terrak::ocad6 {

namespace {

// Enough of a version 6 to 8 setup record to hold the view offset and the map scale.
constexpr std::int64_t kSetup6MinimumSize = ocad::kSetup6ScaleOffset + 8;

void CheckScale(double scale) {
  if (!std::isfinite(scale) || scale <= 0) throw OcadFormatError("map scale is not a scale");
}

FormatSymbol Symbol(std::int16_t number, std::int16_t type, const std::string& description) {
  // The number as OCAD 5 to 8 show it: ten times smaller, one decimal, at least four wide.
  return {number, FormatFixed(number / 10.0, 4, 1), Windows1252ToUtf8(description),
          KindOfCode5To8(type)};
}

}  // namespace

std::unique_ptr<Ocad6Map> Ocad6Map::Open(std::vector<std::uint8_t> bytes) {
  std::unique_ptr<Ocad6Map> map(new Ocad6Map(std::move(bytes)));
  try {
    map->ReadAndCheck();
  } catch (const OcadFormatError& error) {
    throw MapFormatError(error.what(), error.Detail());
  }
  return map;
}

std::int32_t Ocad6Map::DataStart() const { return GetI32(header_.data() + 8); }
std::int32_t Ocad6Map::SymbolAreaPos() const { return GetI32(header_.data() + 12); }
std::int32_t Ocad6Map::FirstSymbolBlockPos() const { return GetI32(header6_.data() + 8); }
std::int32_t Ocad6Map::FirstIndexBlockPos() const { return GetI32(header6_.data() + 12); }
std::int32_t Ocad6Map::SetupPos() const { return GetI32(header6_.data() + 16); }

void Ocad6Map::ReadAndCheck() {
  const ocad::RecordReader reader = Reader();
  const std::vector<std::uint8_t> header = reader.Read(0, ocad::kFileHeaderSize, "header");
  std::copy(header.begin(), header.end(), header_.begin());
  version_ = GetI16(header.data() + 4);
  if (GetI16(header.data()) != ocad::kMark || version_ < 5 || version_ > 8)
    throw OcadFormatError("no OCAD mark or an unknown version");
  double scale = 0;
  if (version_ == 5) {
    const std::int32_t dataStart = DataStart();
    reader.Read(dataStart, ocad::kSetup5Size, "setup record");
    const std::vector<std::uint8_t> symbolHeader =
        reader.Read(SymbolAreaPos(), ocad::kSymbolHeader5Size, "symbol header");
    const std::int16_t symbols = GetI16(symbolHeader.data() + 12);
    if (symbols > 0 &&
        !reader.Holds(SymbolAreaPos() + ocad::kSymbolRecords5Offset,
                      static_cast<std::int64_t>(ocad::kSymbolRecord5Size) * symbols))
      throw OcadFormatError("symbol records lie outside the file");
    ocad::ForEachIndexRecord5(reader, dataStart, [&](std::int32_t, const ocad::IndexRecord5& r) {
      ocad::ReadElement5(reader, dataStart, r.Position, r.Length);
    });
    const std::vector<std::uint8_t> setup = reader.Read(dataStart, ocad::kSetup5Size, "setup");
    setupSize_ = static_cast<std::int64_t>(ocad::kSetup5Size);
    view_.Zoom = GetI16(setup.data() + ocad::kSetup5ZoomOffset);
    view_.OffsetX = GetI16(setup.data() + ocad::kSetup5OffsetXOffset);
    view_.OffsetY = GetI16(setup.data() + ocad::kSetup5OffsetYOffset);
    scale = Real6ToDouble(setup.data() + ocad::kSetup5ScaleOffset);
  } else {
    const std::vector<std::uint8_t> header6 = reader.Read(0, ocad::kFileHeader6Size, "header");
    std::copy(header6.begin(), header6.end(), header6_.begin());
    ocad::ForEachSymbolRecord6(reader, FirstSymbolBlockPos(), [&](std::int32_t recordPos) {
      if (!reader.Holds(recordPos, ocad::kSymbolRecord6ReadSize))
        throw OcadFormatError("symbol record lies outside the file");
    });
    ocad::ForEachIndexEntry6(reader, FirstIndexBlockPos(), version_,
                             [&](std::int64_t, int, const ocad::IndexEntry6& entry) {
                               ocad::ReadObject6(reader, entry, version_);
                             });
    // The setup record may end the file: what is there is read, the rest counts as zero.
    const std::int64_t setupPos = SetupPos();
    if (!reader.Holds(setupPos, kSetup6MinimumSize))
      throw OcadFormatError("setup record lies outside the file");
    setupSize_ =
        std::min<std::int64_t>(static_cast<std::int64_t>(ocad::kSetup6Size), reader.Size() - setupPos);
    const std::vector<std::uint8_t> present = reader.Read(setupPos, setupSize_, "setup record");
    std::vector<std::uint8_t> setup = present;
    setup.resize(ocad::kSetup6Size, 0);
    view_.OffsetX = ConvertCoordOf(version_, GetI32(setup.data() + 0)).Value;
    view_.OffsetY = ConvertCoordOf(version_, GetI32(setup.data() + 4)).Value;
    scale = GetDouble(setup.data() + ocad::kSetup6ScaleOffset);
    view_.Zoom = ZoomFromDouble(GetDouble(setup.data() + ocad::kSetup6ZoomOffset));
    info_.Georef = GeoreferencingFromSetup6(present);
    if (version_ == 8) {
      Georeferencing strings = GeoreferencingFromStrings8(
          reader, GetI32(header6_.data() + kHeader8FirstStringBlockOffset));
      if (strings.Known) info_.Georef = std::move(strings);
    }
  }
  CheckScale(scale);
  // The symbols are read now, so a list that cannot be read refuses the map at opening.
  ReadSymbols();

  info_.FormatName = "OCAD " + std::to_string(version_);
  info_.NamePrinted = version_ == 8;  // the program has never printed the name of 5 to 7
  info_.Version = version_;
  info_.Scale = scale;
  info_.SymbolNumberScale = 10;
  info_.Capabilities = {.Heights = HeightPlace::InObject, .KeepsView = true, .Wraps16 = true,
                        .PicksContoursWithHeights = false};
  if (version_ == 8) {
    info_.LowestHeight = kOcad8ZeroMetres + 1;
    info_.HighestHeight = std::numeric_limits<std::int32_t>::max();
  } else {
    info_.LowestHeight = 1;
    info_.HighestHeight = std::numeric_limits<std::int16_t>::max();
  }
}

std::vector<FormatSymbol> Ocad6Map::ReadSymbols() const {
  const ocad::RecordReader reader = Reader();
  std::vector<FormatSymbol> symbols;
  if (version_ == 5) {
    const std::vector<std::uint8_t> header =
        reader.Read(SymbolAreaPos(), ocad::kSymbolHeader5Size, "symbol header");
    const std::int16_t count = GetI16(header.data() + 12);
    for (int k = 0; k < count; ++k) {
      const std::vector<std::uint8_t> record =
          reader.Read(SymbolAreaPos() + ocad::kSymbolRecords5Offset +
                          static_cast<std::int64_t>(ocad::kSymbolRecord5Size) * k,
                      ocad::kSymbolRecord5Size, "symbol record");
      std::string description;
      for (std::size_t i = 16; i < 16 + 32 && record[i] != 0; ++i)
        description += static_cast<char>(record[i]);
      symbols.push_back(Symbol(GetI16(record.data()), GetI16(record.data() + 2), description));
    }
    return symbols;
  }
  ocad::ForEachSymbolRecord6(reader, FirstSymbolBlockPos(), [&](std::int32_t recordPos) {
    const std::vector<std::uint8_t> record =
        reader.Read(recordPos, ocad::kSymbolRecord6ReadSize, "symbol record");
    const std::string description(reinterpret_cast<const char*>(record.data() + 53), record[52]);
    symbols.push_back(Symbol(GetI16(record.data() + 2), GetI16(record.data() + 4), description));
  });
  return symbols;
}

}  // namespace terrak::ocad6
