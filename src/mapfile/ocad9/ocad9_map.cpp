#include "mapfile/ocad9/ocad9_map.h"

#include <algorithm>
#include <limits>
#include <set>
#include <stdexcept>
#include <string>

#include "common/rounding.h"
#include "mapfile/byte_view.h"
#include "mapfile/ocad9/scale_parameters.h"
#include "mapfile/ocad_format_error.h"
#include "mapfile/text_encoding.h"
#include "mapfile/utf16.h"

namespace terrak::ocad9 {

namespace {

// The positions of the blocks of a chain. A chain that leaves the file or comes back to a block
// it passed is damaged.
std::vector<std::int64_t> WalkChain(const ByteView& view, std::int64_t first,
                                    std::int64_t blockSize, const char* what) {
  std::vector<std::int64_t> blocks;
  std::set<std::int64_t> seen;
  for (std::int64_t pos = first; pos > 0;) {
    view.At(pos, blockSize, what);
    if (!seen.insert(pos).second) view.Damaged(std::string(what) + " chain runs in a circle");
    blocks.push_back(pos);
    pos = static_cast<std::uint32_t>(view.I32(pos, what));
  }
  return blocks;
}

ObjectKind SymbolKind(std::uint8_t type) {
  switch (type) {
    case 1:
      return ObjectKind::Point;
    case 3:
      return ObjectKind::Area;
    case 4:
    case 6:
      return ObjectKind::Text;
    default:  // 2 line, 7 rectangle
      return ObjectKind::Line;
  }
}

ObjectKind ObjectKindOf(std::uint8_t type) {
  switch (type) {
    case 1:
      return ObjectKind::Point;
    case 3:
      return ObjectKind::Area;
    case 4:
    case 5:
    case 6:
      return ObjectKind::Text;
    default:  // 2 line, 7 rectangle
      return ObjectKind::Line;
  }
}

// Every record the program reads or patches, so a damaged file whose records overlap (where a
// write into one would change another) is refused.
class RecordRegions {
 public:
  void Add(std::int64_t position, std::int64_t size) { regions_.push_back({position, position + size}); }
  bool Overlap() {
    std::sort(regions_.begin(), regions_.end());
    for (std::size_t i = 1; i < regions_.size(); ++i)
      if (regions_[i].first < regions_[i - 1].second) return true;
    return false;
  }

 private:
  std::vector<std::pair<std::int64_t, std::int64_t>> regions_;
};

std::int64_t SymbolReadSize(int version) {
  return kSymbolDescription +
         (version >= 11 ? 2 * kWideDescriptionChars : kShortDescriptionSize);
}

std::string SymbolCode(std::int32_t number) {
  return std::to_string(number / 1000) + "." + std::to_string(std::abs(number % 1000));
}

FormatExtent CodedBox(const std::uint8_t* box) {
  return {CodedToMicrometres(GetI32(box)), CodedToMicrometres(GetI32(box + 4)),
          CodedToMicrometres(GetI32(box + 8)), CodedToMicrometres(GetI32(box + 12))};
}

}  // namespace

std::unique_ptr<Ocad9Map> Ocad9Map::Open(std::vector<std::uint8_t> bytes,
                                         const std::optional<std::vector<std::uint8_t>>& sidecar,
                                         const SideFileState& sidecarState) {
  std::unique_ptr<Ocad9Map> map(new Ocad9Map());
  map->bytes_ = std::move(bytes);
  map->sidecarState_ = sidecarState;
  map->Check(sidecar);
  return map;
}

void Ocad9Map::Check(const std::optional<std::vector<std::uint8_t>>& sidecar) {
  const ByteView view(bytes_, kNotOcadMessage);
  const std::uint8_t* header = view.At(0, 6, "header");
  const int version = GetI16(header + 4);
  if (GetI16(header) != 0x0CAD || !IsReadVersion(version))
    view.Damaged("no OCAD mark or a version other than 9 to 2018");
  view.At(0, HeaderSizeOf(version), "header");
  info_.Version = version;
  info_.FormatName = "OCAD " + std::to_string(version);
  info_.SymbolNumberScale = 1000;
  layout_ = ObjectLayoutOf(version);
  info_.Capabilities.Heights = layout_.Height ? HeightPlace::InObject : HeightPlace::SideFile;
  if (layout_.Height) {
    info_.HighestHeight = static_cast<std::int32_t>(
        std::int64_t{std::numeric_limits<std::int32_t>::max()} * 10 / layout_.HeightUnitsPerMetre);
    info_.LowestHeight = -info_.HighestHeight;
  }

  RecordRegions regions;
  regions.Add(0, HeaderSizeOf(version));
  const std::int64_t symbolSize = SymbolReadSize(version);
  for (std::int64_t block :
       WalkChain(view, static_cast<std::uint32_t>(view.I32(kFirstSymbolBlockOffset, "header")),
                 kSymbolBlockSize, "symbol block")) {
    regions.Add(block, kSymbolBlockSize);
    for (int j = 0; j < kBlockEntries; ++j) {
      const std::int32_t pos = view.I32(block + 4 + 4 * j, "symbol block");
      if (pos <= 0) continue;
      view.At(pos, symbolSize, "symbol record");
      regions.Add(pos, symbolSize);
      symbolRecords_.push_back(pos);
    }
  }

  for (std::int64_t block :
       WalkChain(view, static_cast<std::uint32_t>(view.I32(kFirstObjectBlockOffset, "header")),
                 kObjectBlockSize, "object index block")) {
    regions.Add(block, kObjectBlockSize);
    for (int e = 0; e < kBlockEntries; ++e) {
      const std::int64_t entryPos = block + 4 + kObjectEntrySize * e;
      const std::uint8_t* raw = view.At(entryPos, kObjectEntrySize, "index entry");
      const std::uint8_t status = raw[kEntryStatus];
      const std::int64_t pos = static_cast<std::uint32_t>(GetI32(raw + kEntryPosition));
      if ((status != kStatusNormal && status != kStatusHidden) || pos == 0) continue;
      const std::int64_t length = static_cast<std::uint32_t>(GetI32(raw + kEntryLength));
      const std::uint8_t* object = view.At(pos, layout_.HeaderSize, "object");
      const std::int32_t items = GetI32(object + layout_.ItemCount);
      if (items < 0) view.Damaged("object with a negative number of coordinates");
      const std::int64_t coordsEnd = layout_.HeaderSize + 8 * static_cast<std::int64_t>(items);
      if (coordsEnd > length) view.Damaged("object's coordinates run past its length");
      // The text follows the coordinates in 8-byte units of four UTF-16 characters.
      const std::int64_t size = coordsEnd + 8 * std::int64_t{GetU16(object + layout_.TextCount)};
      if (size > length) view.Damaged("object's text runs past its length");
      view.At(pos, size, "object");
      regions.Add(pos, size);
      Entry entry{entryPos, pos, size, GetI32(raw + kEntrySymbol), status == kStatusHidden,
                  CodedBox(raw)};
      entryByPos_[entryPos] = entries_.size();
      entries_.push_back(entry);
    }
  }

  const std::int64_t firstString =
      static_cast<std::uint32_t>(view.I32(kFirstStringBlockOffset, "header"));
  for (std::int64_t block : WalkChain(view, firstString, kStringBlockSize, "string index block")) {
    regions.Add(block, kStringBlockSize);
    for (int e = 0; e < kBlockEntries; ++e) {
      const std::uint8_t* raw = view.At(block + 4 + kStringEntrySize * e, kStringEntrySize,
                                        "string entry");
      if (GetI32(raw + 8) != kScaleParameterType) continue;
      const std::int64_t pos = static_cast<std::uint32_t>(GetI32(raw));
      const std::int64_t length = static_cast<std::uint32_t>(GetI32(raw + 4));
      const char* text = reinterpret_cast<const char*>(view.At(pos, length, "parameter string"));
      regions.Add(pos, length);
      const std::string_view string(text, std::find(text, text + length, '\0') - text);
      ScaleParameters parameters = ParseScaleParameters(string);
      if (!parameters.Scale) continue;
      info_.Scale = *parameters.Scale;
      info_.Georef = std::move(parameters.Georef);
    }
  }
  if (!(info_.Scale > 0)) view.Damaged("no map scale in the scale parameters");
  if (regions.Overlap()) view.Damaged("records overlap");

  if (!layout_.Height && sidecar) {
    hadSidecar_ = true;
    for (const auto& [entryPos, height] : ParseHeightSidecar(*sidecar)) {
      const auto found = entryByPos_.find(entryPos);
      // Heights of objects that have moved or gone since apply to nothing, and stay in the file.
      if (found != entryByPos_.end() && entries_[found->second].Position == height.ObjectPos)
        sidecar_[entryPos] = height;
      else
        staleSidecar_[entryPos] = height;
    }
  }
}

std::vector<FormatSymbol> Ocad9Map::ReadSymbols() const {
  std::vector<FormatSymbol> symbols;
  for (std::int64_t pos : symbolRecords_) {
    const std::uint8_t* record = bytes_.data() + pos;
    FormatSymbol symbol;
    symbol.Number = GetI32(record + kSymbolNumber);
    symbol.Code = SymbolCode(symbol.Number);
    symbol.Kind = SymbolKind(record[kSymbolType]);
    const std::uint8_t* text = record + kSymbolDescription;
    if (info_.Version >= 11) {
      symbol.Description = Utf16LeToUtf8({text, 2 * kWideDescriptionChars});
    } else {
      const std::size_t length = std::min<std::size_t>(text[0], kShortDescriptionSize - 1);
      symbol.Description =
          Windows1252ToUtf8(std::string_view(reinterpret_cast<const char*>(text + 1), length));
    }
    symbols.push_back(std::move(symbol));
  }
  return symbols;
}

FormatObject Ocad9Map::Decode(const Entry& entry) const {
  const std::uint8_t* record = bytes_.data() + entry.Position;
  FormatObject object;
  object.Key = entry.EntryPos;
  object.Symbol = entry.Symbol;
  object.Kind = ObjectKindOf(record[kObjectType]);
  object.Hidden = entry.Hidden;
  object.Extent = entry.Box;
  const std::int32_t items = GetI32(record + layout_.ItemCount);
  object.Points.resize(static_cast<std::size_t>(items));
  const std::uint8_t* coords = record + layout_.HeaderSize;
  for (std::int32_t i = 0; i < items; ++i) {
    const std::int32_t x = GetI32(coords + 8 * i);
    const std::int32_t y = GetI32(coords + 8 * i + 4);
    object.Points[static_cast<std::size_t>(i)] = {
        CodedToMicrometres(x), CodedToMicrometres(y),
        static_cast<std::uint32_t>(x & 0xFF) | (static_cast<std::uint32_t>(y & 0xFF) << 8)};
  }
  const std::size_t textBytes = 8 * static_cast<std::size_t>(GetU16(record + layout_.TextCount));
  const std::uint8_t* text = coords + 8 * static_cast<std::size_t>(items);
  if (layout_.WideText) {
    object.Text = Utf16LeToUtf8({text, textBytes});
  } else {
    const auto* chars = reinterpret_cast<const char*>(text);
    object.Text = Windows1252ToUtf8(
        std::string_view(chars, std::find(chars, chars + textBytes, '\0') - chars));
  }
  if (layout_.Height) {
    // 0 means no height; any other value is one, however near to 0 m it rounds.
    const std::int32_t field = GetI32(record + *layout_.Height);
    object.HasHeight = field != 0;
    object.HeightTenths = static_cast<std::int32_t>(
        RoundToInt(static_cast<double>(field) * 10.0 / layout_.HeightUnitsPerMetre));
  } else if (const auto found = sidecar_.find(entry.EntryPos); found != sidecar_.end()) {
    object.HasHeight = true;
    object.HeightTenths = found->second.HeightTenths;
  }
  return object;
}

ObjectsRead Ocad9Map::ReadObjects(const std::function<bool(std::int32_t)>& wanted) const {
  ObjectsRead read;
  FormatExtent& map = read.MapExtent;
  for (const Entry& entry : entries_) {
    map.MinX = std::min(map.MinX, entry.Box.MinX);
    map.MinY = std::min(map.MinY, entry.Box.MinY);
    map.MaxX = std::max(map.MaxX, entry.Box.MaxX);
    map.MaxY = std::max(map.MaxY, entry.Box.MaxY);
    if (wanted(entry.Symbol)) read.Objects.push_back(Decode(entry));
  }
  return read;
}

const Ocad9Map::Entry& Ocad9Map::EntryOf(std::int64_t key) const {
  const auto found = entryByPos_.find(key);
  if (found == entryByPos_.end()) throw std::invalid_argument("no object with this key");
  return entries_[found->second];
}

std::int32_t Ocad9Map::HeightField(std::optional<std::int32_t> tenths) const {
  if (!tenths) return 0;
  if (*tenths < info_.LowestHeight || *tenths > info_.HighestHeight)
    throw std::out_of_range("a height beyond what the map's height field holds");
  // 0 m as the smallest step above 0, which reads back as 0 m and is not "no height".
  if (*tenths == 0) return 1;
  return static_cast<std::int32_t>(std::int64_t{*tenths} * layout_.HeightUnitsPerMetre / 10);
}

std::vector<BytePatch> Ocad9Map::WriteHeights(const std::vector<HeightWrite>& heights) {
  std::vector<BytePatch> patches;
  for (const auto& [key, tenths] : heights) {
    const Entry& entry = EntryOf(key);
    if (!layout_.Height) {
      staleSidecar_.erase(key);  // the entry's line now speaks of the object it points at
      if (!tenths)
        sidecar_.erase(key);
      else
        sidecar_[key] = {entry.Position, *tenths};
      continue;
    }
    BytePatch patch{entry.Position + *layout_.Height, 4, std::vector<std::uint8_t>(4)};
    PutI32(patch.Bytes.data(), HeightField(tenths));
    std::copy(patch.Bytes.begin(), patch.Bytes.end(), bytes_.begin() + patch.Position);
    patches.push_back(std::move(patch));
  }
  return patches;
}

namespace {

// An object's height as version 10 on hold it (the field's bytes) or as version 9 does (its
// line of the heights file and a stale line at the same entry, each there or not).
struct KeptHeight {
  std::int64_t Key = 0;
  std::int64_t FieldPos = -1;
  std::vector<std::uint8_t> Field;
  std::optional<SidecarHeight> Line;
  std::optional<SidecarHeight> StaleLine;
};

struct Ocad9KeptHeights final : KeptHeights {
  std::vector<KeptHeight> Objects;
};

std::optional<SidecarHeight> LineAt(const SidecarHeights& lines, std::int64_t key) {
  const auto found = lines.find(key);
  if (found == lines.end()) return std::nullopt;
  return found->second;
}

void PutLine(SidecarHeights& lines, std::int64_t key, const std::optional<SidecarHeight>& line) {
  if (line)
    lines[key] = *line;
  else
    lines.erase(key);
}

}  // namespace

std::shared_ptr<const KeptHeights> Ocad9Map::KeepHeights(
    const std::vector<std::int64_t>& keys) const {
  auto kept = std::make_shared<Ocad9KeptHeights>();
  std::set<std::int64_t> seen;
  for (std::int64_t key : keys) {
    if (!seen.insert(key).second) continue;
    const Entry& entry = EntryOf(key);
    KeptHeight one{key, -1, {}, LineAt(sidecar_, key), LineAt(staleSidecar_, key)};
    if (layout_.Height) {
      one.FieldPos = entry.Position + *layout_.Height;
      const auto from = bytes_.begin() + one.FieldPos;
      one.Field.assign(from, from + 4);
    }
    kept->Objects.push_back(std::move(one));
  }
  return kept;
}

std::vector<BytePatch> Ocad9Map::RestoreHeights(const KeptHeights& kept) {
  std::vector<BytePatch> patches;
  for (const KeptHeight& one : dynamic_cast<const Ocad9KeptHeights&>(kept).Objects) {
    if (one.FieldPos < 0) {
      PutLine(sidecar_, one.Key, one.Line);
      PutLine(staleSidecar_, one.Key, one.StaleLine);
      continue;
    }
    std::copy(one.Field.begin(), one.Field.end(), bytes_.begin() + one.FieldPos);
    patches.push_back({one.FieldPos, 4, one.Field});
  }
  return patches;
}

std::vector<BytePatch> Ocad9Map::WriteSymbol(const std::vector<std::int64_t>& keys,
                                             std::int32_t symbol) {
  std::vector<BytePatch> patches;
  for (std::int64_t key : keys) {
    Entry& entry = entries_[entryByPos_.at(EntryOf(key).EntryPos)];
    for (std::int64_t pos : {entry.EntryPos + kEntrySymbol, entry.Position + kObjectSymbol}) {
      BytePatch patch{pos, 4, std::vector<std::uint8_t>(4)};
      PutI32(patch.Bytes.data(), symbol);
      std::copy(patch.Bytes.begin(), patch.Bytes.end(), bytes_.begin() + pos);
      patches.push_back(std::move(patch));
    }
    entry.Symbol = symbol;
  }
  return patches;
}

std::vector<SidecarFile> Ocad9Map::Sidecars() const {
  if (layout_.Height || (!hadSidecar_ && sidecar_.empty())) return {};
  SidecarHeights lines = staleSidecar_;
  for (const auto& [entryPos, height] : sidecar_) lines[entryPos] = height;
  return {{kHeightSidecarSuffix, WriteHeightSidecar(lines), sidecarState_}};
}

void Ocad9Map::SidecarSaved(const std::string& suffix, const SideFileState& state) {
  if (suffix != kHeightSidecarSuffix) return;
  sidecarState_ = state;
  hadSidecar_ = true;
}

}  // namespace terrak::ocad9
