// OCAD 9 to 2018 file layout: the header, one symbol block and its records, each object index
// block followed by its objects, then one string index block and its strings.
#include "mapbuild/ocad_build9.h"

#include <algorithm>
#include <stdexcept>

#include "common/bytes.h"
#include "mapbuild/ocad_builder_checks.h"

namespace terrak::testing {
namespace {

constexpr std::int64_t kBlockPositions = 256;
constexpr std::int64_t kSymbolBlockSize = 4 + 4 * kBlockPositions;
constexpr std::int64_t kIndexBlockSize = 4 + 40 * kBlockPositions;
constexpr std::int64_t kStringBlockSize = 4 + 16 * kBlockPositions;

bool Modern(int version) { return version >= 12; }
std::int64_t HeaderBytes(int version) { return Modern(version) ? 60 : 48; }
std::int64_t ObjectHeaderBytes(int version) { return Modern(version) ? 56 : 40; }
std::int64_t SymbolBytes(int version) { return version >= 11 ? 56 + 128 + 484 : 56 + 32 + 484; }
// Every version from 9 on keeps object texts in UTF-16.
bool WideText(int) { return true; }

// Text in 8-byte units, with its terminating zero.
std::int64_t TextUnits(int version, const std::string& text) {
  if (text.empty()) return 0;
  const std::int64_t bytes = (static_cast<std::int64_t>(text.size()) + 1) * (WideText(version) ? 2 : 1);
  return (bytes + 7) / 8;
}

std::int64_t ObjectBytes(int version, const Object9& object) {
  return ObjectHeaderBytes(version) +
         8 * (static_cast<std::int64_t>(object.Points.size()) + TextUnits(version, object.Text)) +
         object.PaddingBytes;
}

IndexExtent Corners(const std::vector<CodedPoint>& points) {
  if (points.empty()) return {};
  std::int32_t minX = PositionOf(points[0].X), maxX = minX;
  std::int32_t minY = PositionOf(points[0].Y), maxY = minY;
  for (const CodedPoint& p : points) {
    minX = std::min(minX, PositionOf(p.X));
    maxX = std::max(maxX, PositionOf(p.X));
    minY = std::min(minY, PositionOf(p.Y));
    maxY = std::max(maxY, PositionOf(p.Y));
  }
  return {Coded(minX), Coded(minY), Coded(maxX), Coded(maxY)};
}

void WriteObject(std::uint8_t* out, int version, const Object9& object) {
  const std::int32_t items =
      object.ItemCount ? *object.ItemCount : CheckedI32(static_cast<std::int64_t>(object.Points.size()), "items");
  const auto textUnits = static_cast<std::uint16_t>(TextUnits(version, object.Text));
  PutI32(out + 0, object.Symbol);
  out[4] = object.Type;
  out[5] = version >= 10 ? 1 : 0;  // versions 10 and 11 mark the text as Unicode here
  if (Modern(version)) {
    PutI32(out + 44, items);
    PutU16(out + 48, textUnits);
  } else {
    PutI32(out + 8, items);
    PutU16(out + 12, textUnits);
  }
  if (version != 9) PutI32(out + Ocad9MapBuilder::HeightOffset(version), object.Height);
  std::uint8_t* point = out + ObjectHeaderBytes(version);
  for (const CodedPoint& p : object.Points) {
    PutI32(point, p.X);
    PutI32(point + 4, p.Y);
    point += 8;
  }
  for (std::size_t i = 0; i < object.Text.size(); ++i) {
    if (WideText(version))
      PutU16(point + 2 * i, static_cast<std::uint8_t>(object.Text[i]));
    else
      point[i] = static_cast<std::uint8_t>(object.Text[i]);
  }
}

void WriteSymbol(std::uint8_t* out, int version, const Symbol9& symbol) {
  PutI32(out + 0, CheckedI32(SymbolBytes(version), "symbol size"));
  PutI32(out + 4, symbol.Number);
  out[8] = symbol.Type;
  std::uint8_t* description = out + 56;
  if (version >= 11) {
    if (symbol.Description.size() > 64) throw std::invalid_argument("OCAD 9 builder: long description");
    for (std::size_t i = 0; i < symbol.Description.size(); ++i)
      PutU16(description + 2 * i, static_cast<std::uint8_t>(symbol.Description[i]));
  } else {
    if (symbol.Description.size() > 31) throw std::invalid_argument("OCAD 9 builder: long description");
    description[0] = static_cast<std::uint8_t>(symbol.Description.size());
    std::copy(symbol.Description.begin(), symbol.Description.end(), description + 1);
  }
}

}  // namespace

Ocad9MapBuilder::Ocad9MapBuilder(int version) : version_(version) {
  if (!((version >= 9 && version <= 12) || version == 2018))
    throw std::invalid_argument("OCAD 9 builder: version " + std::to_string(version));
  strings_.push_back({1039, "\tm10000"});
}

std::int64_t Ocad9MapBuilder::HeightOffset(int version) {
  switch (version) {
    case 9:
      return 0;
    case 10:
      return 32;
    case 11:
      return 28;
    default:
      return 20;
  }
}

Ocad9MapBuilder& Ocad9MapBuilder::ScaleParameters(std::string text) {
  strings_.erase(std::remove_if(strings_.begin(), strings_.end(),
                                [](const auto& s) { return s.first == 1039; }),
                 strings_.end());
  if (!text.empty()) strings_.push_back({1039, std::move(text)});
  return *this;
}

Ocad9MapBuilder& Ocad9MapBuilder::AddString(std::int32_t type, std::string text) {
  strings_.push_back({type, std::move(text)});
  return *this;
}

Ocad9MapBuilder& Ocad9MapBuilder::AddSymbol(Symbol9 symbol) {
  if (symbols_.size() >= kBlockPositions) throw std::invalid_argument("OCAD 9 builder: 256 symbols at most");
  symbols_.push_back(std::move(symbol));
  return *this;
}

Ocad9MapBuilder& Ocad9MapBuilder::AddObject(Object9 object) {
  if (blocks_.back().size() == kBlockPositions) blocks_.emplace_back();
  blocks_.back().push_back({false, objects_.size()});
  objects_.push_back(std::move(object));
  return *this;
}

Ocad9MapBuilder& Ocad9MapBuilder::AddEmptyEntry() {
  if (blocks_.back().size() == kBlockPositions) blocks_.emplace_back();
  blocks_.back().push_back({});
  return *this;
}

Ocad9MapBuilder& Ocad9MapBuilder::StartNewIndexBlock() {
  blocks_.emplace_back();
  return *this;
}

std::vector<std::uint8_t> Ocad9MapBuilder::Build() {
  layout_ = {};
  layout_.HeaderSize = HeaderBytes(version_);
  std::int64_t pos = layout_.HeaderSize;
  const std::int64_t symbolBlock = pos;
  pos += kSymbolBlockSize;
  for (std::size_t i = 0; i < symbols_.size(); ++i) {
    layout_.SymbolRecords.push_back(pos);
    pos += SymbolBytes(version_);
  }
  layout_.Objects.resize(objects_.size());
  for (const auto& block : blocks_) {
    layout_.IndexBlocks.push_back(pos);
    const std::int64_t blockPos = pos;
    pos += kIndexBlockSize;
    for (std::size_t e = 0; e < block.size(); ++e) {
      if (block[e].Empty) continue;
      Object9Layout& placed = layout_.Objects[block[e].Object];
      placed.EntryPos = blockPos + 4 + 40 * static_cast<std::int64_t>(e);
      placed.FilePos = pos;
      placed.ByteLength = ObjectBytes(version_, objects_[block[e].Object]);
      placed.HeightPos = version_ == 9 ? 0 : pos + HeightOffset(version_);
      pos += placed.ByteLength;
    }
  }
  layout_.StringBlock = pos;
  pos += kStringBlockSize;
  for (const auto& [type, text] : strings_) {
    layout_.Strings.push_back(pos);
    pos += static_cast<std::int64_t>(text.size()) + 1;
  }
  layout_.FileSize = CheckedI32(pos, "file size");

  std::vector<std::uint8_t> file(static_cast<std::size_t>(pos), 0);
  std::uint8_t* const base = file.data();
  PutU16(base + 0, 0x0CAD);
  PutI16(base + 4, static_cast<std::int16_t>(version_));
  PutI32(base + 8, static_cast<std::int32_t>(symbolBlock));
  PutI32(base + 12, static_cast<std::int32_t>(layout_.IndexBlocks.front()));
  PutI32(base + 32, static_cast<std::int32_t>(layout_.StringBlock));

  for (std::size_t i = 0; i < symbols_.size(); ++i) {
    PutI32(base + symbolBlock + 4 + 4 * static_cast<std::int64_t>(i),
           static_cast<std::int32_t>(layout_.SymbolRecords[i]));
    WriteSymbol(base + layout_.SymbolRecords[i], version_, symbols_[i]);
  }
  for (std::size_t b = 0; b < blocks_.size(); ++b) {
    std::uint8_t* const block = base + layout_.IndexBlocks[b];
    if (b + 1 < blocks_.size()) PutI32(block, static_cast<std::int32_t>(layout_.IndexBlocks[b + 1]));
    for (const Slot& slot : blocks_[b]) {
      if (slot.Empty) continue;
      const Object9& object = objects_[slot.Object];
      const Object9Layout& placed = layout_.Objects[slot.Object];
      std::uint8_t* const entry = base + placed.EntryPos;
      const IndexExtent box = object.Extent ? *object.Extent : Corners(object.Points);
      PutI32(entry + 0, box.MinX);
      PutI32(entry + 4, box.MinY);
      PutI32(entry + 8, box.MaxX);
      PutI32(entry + 12, box.MaxY);
      PutI32(entry + 16, object.IndexPosition ? *object.IndexPosition
                                               : static_cast<std::int32_t>(placed.FilePos));
      PutI32(entry + 20, object.IndexLength ? *object.IndexLength
                                             : CheckedI32(placed.ByteLength, "object length"));
      PutI32(entry + 24, object.IndexSymbol ? *object.IndexSymbol : object.Symbol);
      entry[28] = object.Type;
      entry[30] = object.Status;
      WriteObject(base + placed.FilePos, version_, object);
    }
  }
  for (std::size_t i = 0; i < strings_.size(); ++i) {
    std::uint8_t* const entry = base + layout_.StringBlock + 4 + 16 * static_cast<std::int64_t>(i);
    PutI32(entry + 0, static_cast<std::int32_t>(layout_.Strings[i]));
    PutI32(entry + 4, static_cast<std::int32_t>(strings_[i].second.size() + 1));
    PutI32(entry + 8, strings_[i].first);
    std::copy(strings_[i].second.begin(), strings_[i].second.end(), base + layout_.Strings[i]);
  }
  return file;
}

}  // namespace terrak::testing
