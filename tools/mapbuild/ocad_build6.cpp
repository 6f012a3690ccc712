// Version 6/7 file layout: the 48-byte header, the colour table when the map has colours, the
// setup record (unless it is to end the file), each symbol block followed by its symbol records,
// each index block followed by its objects, and the setup record when it comes last. Blocks are
// chained through their first i32.
#include <algorithm>
#include <string>

#include "common/bytes.h"
#include "mapbuild/ocad6_records.h"
#include "mapbuild/ocad_builder.h"
#include "mapbuild/ocad_builder_checks.h"

namespace terrak::testing {
namespace {

constexpr std::int64_t kObject6HeaderSize = 32;
constexpr std::int64_t kDescriptionOffset = 52;
constexpr std::int64_t kSetupScaleOffset = 24;
constexpr std::int64_t kSetupZoomOffset = 936;

constexpr std::int64_t kStringBlockSize = 4 + 16 * kBlockEntries;

bool HasTextArea(const Object6& object) { return object.ObjectType == 4 || !object.Text.empty(); }

// The text's bytes as stored, its terminating zero left out: UTF-16 (ASCII widened) or bytes.
std::vector<std::uint8_t> StoredText(const Object6& object) {
  std::vector<std::uint8_t> bytes;
  for (char c : object.Text) {
    bytes.push_back(static_cast<std::uint8_t>(c));
    if (object.Unicode) bytes.push_back(0);
  }
  return bytes;
}

std::int32_t TextGap(const Object6& object, int version) {
  const std::int32_t gap = object.TextGap.value_or(version == 8 ? 0 : 8);
  if (gap < 0) throw std::invalid_argument("OCAD map builder: negative text gap");
  return gap;
}

// Number of 8-byte units after the coordinates that the gap, the text and its zero take.
std::int64_t TextUnits(const Object6& object, int version) {
  if (!HasTextArea(object)) return 0;
  const std::int64_t zero = object.Unicode ? 2 : 1;
  return (TextGap(object, version) + static_cast<std::int64_t>(StoredText(object).size()) + zero +
          7) /
         8;
}

std::int64_t ObjectBytes(const Object6& object, int version) {
  if (object.PaddingBytes < 0) throw std::invalid_argument("OCAD map builder: negative padding");
  if (version == 8 && object.PaddingBytes % 8 != 0)
    throw std::invalid_argument("OCAD map builder: version 8 pads in whole coordinate pairs");
  const auto items = static_cast<std::int64_t>(object.Points.size());
  return kObject6HeaderSize + 8 * (items + TextUnits(object, version)) + object.PaddingBytes;
}

// A count as stored: version 8 keeps coordinate counts and lengths in unsigned words (up to
// 32768 pairs an object), versions 6/7 in signed ones.
std::int16_t CountField(std::int64_t value, int version, const char* what) {
  if (version != 8) return CheckedI16(value, what);
  if (value < 0 || value > 65535)
    throw std::invalid_argument(std::string("OCAD map builder: ") + what + " out of range");
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

// The index entry's length: versions 6/7 the object's bytes, version 8 its pairs after the header.
std::int64_t IndexLength(std::int64_t objectBytes, int version) {
  return version == 8 ? (objectBytes - kObject6HeaderSize) / 8 : objectBytes;
}

std::int32_t DefaultSymbolSize(std::int16_t objectType) {
  // The 348-byte common part, then drawing data that differs by type (left zero here).
  switch (objectType) {
    case 2:
      return 480;
    case 3:
      return 412;
    default:
      return 396;
  }
}

IndexExtent PointExtent(const std::vector<CodedPoint>& points) {
  if (points.empty()) return {};
  std::int32_t minX = PositionOf(points[0].X), maxX = minX;
  std::int32_t minY = PositionOf(points[0].Y), maxY = minY;
  for (const CodedPoint& point : points) {
    minX = std::min(minX, PositionOf(point.X));
    maxX = std::max(maxX, PositionOf(point.X));
    minY = std::min(minY, PositionOf(point.Y));
    maxY = std::max(maxY, PositionOf(point.Y));
  }
  return {Coded(minX), Coded(minY), Coded(maxX), Coded(maxY)};
}

void WriteObject(std::uint8_t* out, const Object6& object, std::int64_t textUnits, int version) {
  const auto items = static_cast<std::int64_t>(object.Points.size());
  PutI16(out + 0, object.Symbol);
  if (version == 8) {
    out[2] = static_cast<std::uint8_t>(object.ObjectType);
    out[3] = object.Unicode ? 1 : 0;
  } else {
    PutU16(out + 2, object.ObjectType);
  }
  PutI16(out + 4, CountField(items, version, "coordinate count"));
  PutI16(out + 6, static_cast<std::int16_t>(textUnits));
  PutI16(out + 8, object.Angle);
  PutI32(out + 12, object.Height);
  std::uint8_t* point = out + kObject6HeaderSize;
  for (const CodedPoint& coded : object.Points) {
    PutI32(point, coded.X);
    PutI32(point + 4, coded.Y);
    point += 8;
  }
  if (HasTextArea(object)) {
    const std::vector<std::uint8_t> text = StoredText(object);
    std::copy(text.begin(), text.end(), point + TextGap(object, version));
  }
}

std::int32_t SymbolSize(const SymbolSpec& symbol) {
  if (symbol.RecordSize) return symbol.RecordSize;
  return symbol.Drawing ? DrawnSymbolSize6(symbol.ObjectType)
                        : DefaultSymbolSize(symbol.ObjectType);
}

void WriteSymbol(std::uint8_t* out, const SymbolSpec& symbol, std::int32_t size,
                 const std::vector<ColourSpec>& colours) {
  PutI16(out + 0, static_cast<std::int16_t>(size));
  PutI16(out + 2, symbol.Number);
  PutI16(out + 4, symbol.ObjectType);
  out[kDescriptionOffset] = static_cast<std::uint8_t>(symbol.Description.size());
  std::copy(symbol.Description.begin(), symbol.Description.end(), out + kDescriptionOffset + 1);
  if (symbol.Drawing) WriteSymbolDrawing6(out, symbol, colours);
}

}  // namespace

std::vector<std::uint8_t> OcadMapBuilder::Build6() {
  if (setupSize_ < kSetupZoomOffset + 8)
    throw std::invalid_argument("OCAD map builder: the setup record must reach the zoom at 936");

  // First pass: place every record.
  std::int64_t pos = static_cast<std::int64_t>(kFileHeader6Size);
  if (colours_) {
    layout_.ColourTablePos = pos;
    pos += kColourTable6Size;
  }
  auto placeSetup = [&] {
    layout_.SetupPos = pos;
    layout_.SetupSize = setupSize_;
    pos += setupSize_;
  };
  if (!setupLast_) placeSetup();

  std::vector<std::int32_t> symbolSizes;
  for (const auto& block : symbolBlocks_) {
    layout_.SymbolBlocks.push_back(pos);
    pos += kSymbolBlock6Size;
    for (const SymbolSlot& slot : block) {
      if (slot.Gap) continue;
      const SymbolSpec& symbol = slot.Symbol;
      const std::int32_t size = SymbolSize(symbol);
      if (symbol.Drawing && size < DrawnSymbolSize6(symbol.ObjectType))
        throw std::invalid_argument("OCAD map builder: the symbol's drawing does not fit");
      if (symbol.Description.size() > 255 ||
          static_cast<std::int64_t>(symbol.Description.size()) + kDescriptionOffset + 1 > size)
        throw std::invalid_argument("OCAD map builder: symbol description does not fit");
      if (size < kSymbolRecord6BaseSize || size > 32767)
        throw std::invalid_argument("OCAD map builder: symbol record size out of range");
      layout_.SymbolRecords.push_back(pos);
      symbolSizes.push_back(size);
      pos += size;
    }
  }

  layout_.Objects.resize(objects6_.size());
  for (const auto& block : indexBlocks_) {
    const std::int64_t blockPos = pos;
    layout_.IndexBlocks.push_back(blockPos);
    pos += kIndexBlock6Size;
    for (std::size_t e = 0; e < block.size(); ++e) {
      const std::int64_t entryPos = blockPos + 4 + 24 * static_cast<std::int64_t>(e);
      layout_.IndexEntries.push_back(entryPos);
      if (block[e].Empty) continue;
      ObjectLayout& placed = layout_.Objects[block[e].Object];
      placed.FilePos = pos;
      placed.ByteLength = ObjectBytes(objects6_[block[e].Object], version_);
      placed.Pos = CheckedI32(pos, "object position");
      placed.Len = static_cast<std::uint16_t>(
          CountField(IndexLength(placed.ByteLength, version_), version_, "object length"));
      placed.IndexPos = entryPos;
      placed.Slot = static_cast<std::int32_t>(e);
      placed.IndexBlockPos = blockPos;
      pos += placed.ByteLength;
    }
  }
  if (!strings_.empty()) {
    layout_.StringBlock = pos;
    pos += kStringBlockSize;
    for (const auto& [type, text] : strings_) {
      layout_.Strings.push_back(pos);
      pos += static_cast<std::int64_t>(text.size()) + 1;
    }
  }
  if (setupLast_) placeSetup();
  layout_.FileSize = CheckedI32(pos, "file size");

  // Second pass: write them.
  std::vector<std::uint8_t> file(static_cast<std::size_t>(layout_.FileSize), 0);
  std::uint8_t* const base = file.data();

  PutI16(base + 0, 3245);
  // Section mark: OCAD 7 writes 7, OCAD 8 2 for a map (3 for course setting).
  PutI16(base + 2, static_cast<std::int16_t>(version_ == 7 ? 7 : version_ == 8 ? 2 : 0));
  PutI16(base + 4, static_cast<std::int16_t>(version_));
  PutI32(base + 8, static_cast<std::int32_t>(layout_.SymbolBlocks.front()));
  PutI32(base + 12, static_cast<std::int32_t>(layout_.IndexBlocks.front()));
  PutI32(base + 16, static_cast<std::int32_t>(layout_.SetupPos));
  PutI32(base + 20, setupSize_);
  PutI32(base + 32, static_cast<std::int32_t>(layout_.StringBlock));
  for (std::size_t i = 0; i < strings_.size(); ++i) {
    std::uint8_t* const entry = base + layout_.StringBlock + 4 + 16 * static_cast<std::int64_t>(i);
    PutI32(entry + 0, static_cast<std::int32_t>(layout_.Strings[i]));
    PutI32(entry + 4, static_cast<std::int32_t>(strings_[i].second.size() + 1));
    PutI32(entry + 8, strings_[i].first);
    std::copy(strings_[i].second.begin(), strings_[i].second.end(), base + layout_.Strings[i]);
  }
  const std::vector<ColourSpec> noColours;
  const std::vector<ColourSpec>& colours = colours_ ? *colours_ : noColours;
  if (colours_) WriteColourTable6(base + layout_.ColourTablePos, colours);

  std::uint8_t* const setup = base + layout_.SetupPos;
  PutI32(setup + 0, offsetX6_);
  PutI32(setup + 4, offsetY6_);
  PutDouble(setup + kSetupScaleOffset, scale_);
  PutDouble(setup + kSetupZoomOffset, zoom_);
  if (realWorld_.X != 0 || realWorld_.Y != 0 || realWorld_.Angle != 0) {
    PutDouble(setup + 32, realWorld_.X);
    PutDouble(setup + 40, realWorld_.Y);
    PutDouble(setup + 48, realWorld_.Angle);
  }

  std::size_t symbolIndex = 0;
  for (std::size_t b = 0; b < symbolBlocks_.size(); ++b) {
    std::uint8_t* const block = base + layout_.SymbolBlocks[b];
    if (b + 1 < symbolBlocks_.size())
      PutI32(block, static_cast<std::int32_t>(layout_.SymbolBlocks[b + 1]));
    for (std::size_t j = 0; j < symbolBlocks_[b].size(); ++j) {
      if (symbolBlocks_[b][j].Gap) continue;
      const std::int64_t recordPos = layout_.SymbolRecords[symbolIndex];
      PutI32(block + 4 + 4 * j, static_cast<std::int32_t>(recordPos));
      WriteSymbol(base + recordPos, symbolBlocks_[b][j].Symbol, symbolSizes[symbolIndex], colours);
      ++symbolIndex;
    }
  }

  for (std::size_t b = 0; b < indexBlocks_.size(); ++b) {
    std::uint8_t* const block = base + layout_.IndexBlocks[b];
    if (b + 1 < indexBlocks_.size())
      PutI32(block, static_cast<std::int32_t>(layout_.IndexBlocks[b + 1]));
    for (const EntrySlot& slot : indexBlocks_[b]) {
      if (slot.Empty) continue;
      const Object6& object = objects6_[slot.Object];
      const ObjectLayout& placed = layout_.Objects[slot.Object];
      const IndexExtent extent = object.Extent ? *object.Extent : PointExtent(object.Points);
      std::uint8_t* const entry = base + placed.IndexPos;
      PutI32(entry + 0, extent.MinX);
      PutI32(entry + 4, extent.MinY);
      PutI32(entry + 8, extent.MaxX);
      PutI32(entry + 12, extent.MaxY);
      PutI32(entry + 16, placed.Pos);
      PutI16(entry + 20,
             object.IndexLength ? *object.IndexLength : static_cast<std::int16_t>(placed.Len));
      PutI16(entry + 22, object.IndexSymbol ? *object.IndexSymbol : object.Symbol);
      WriteObject(base + placed.FilePos, object, TextUnits(object, version_), version_);
    }
  }
  return file;
}

}  // namespace terrak::testing
