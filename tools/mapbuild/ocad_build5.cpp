// Version 5 file layout: the 24-byte header, then the object index (24-byte records, record 0
// being the header itself) up to the data start P, the 160-byte setup record at P, the objects
// (positions counted in 4-byte units from P), and last the symbol area S.
#include <algorithm>

#include "common/bytes.h"
#include "common/rounding.h"
#include "mapbuild/ocad_builder.h"
#include "mapbuild/ocad_builder_checks.h"

namespace terrak::testing {
namespace {

static_assert(kFileHeaderSize == kIndexRecord5Size, "index record 0 is the header");
constexpr std::int64_t kSetupSize = static_cast<std::int64_t>(kSetup5Size);
constexpr std::int64_t kElement5HeaderSize = 12;

IndexExtent PairExtent(const std::vector<TPair>& pairs) {
  IndexExtent extent;
  bool any = false;
  for (const TPair& pair : pairs) {
    if (pair.X <= kHighestMarker) continue;
    if (!any) {
      extent = {pair.X, pair.Y, pair.X, pair.Y};
      any = true;
      continue;
    }
    extent.MinX = std::min<std::int32_t>(extent.MinX, pair.X);
    extent.MinY = std::min<std::int32_t>(extent.MinY, pair.Y);
    extent.MaxX = std::max<std::int32_t>(extent.MaxX, pair.X);
    extent.MaxY = std::max<std::int32_t>(extent.MaxY, pair.Y);
  }
  return extent;
}

std::vector<TPair> StoredPairs(const Object5& object) {
  std::vector<TPair> pairs = object.Pairs;
  if (!object.Text.empty()) {
    const std::vector<TPair> text = PackText5(object.Text);
    pairs.insert(pairs.end(), text.begin(), text.end());
  }
  return pairs;
}

}  // namespace

std::vector<std::uint8_t> OcadMapBuilder::Build5() {
  std::vector<EntrySlot> entries;
  for (const auto& block : indexBlocks_) entries.insert(entries.end(), block.begin(), block.end());
  std::vector<SymbolSpec> symbols;
  for (const auto& block : symbolBlocks_)
    for (const SymbolSlot& slot : block) symbols.push_back(slot.Symbol);

  const std::int64_t p =
      kIndexRecord5Size *
      (CheckedI16(static_cast<std::int64_t>(entries.size()), "index record count") + 1);
  layout_.DataStart = p;
  layout_.SetupPos = p;
  layout_.SetupSize = kSetupSize;

  // Objects follow the setup record, in the order they were added.
  std::vector<std::vector<TPair>> stored;
  std::int64_t pos = p + kSetupSize;
  for (const Object5& object : objects5_) {
    if (object.PaddingUnits < 0) throw std::invalid_argument("OCAD map builder: negative padding");
    stored.push_back(StoredPairs(object));
    const std::int64_t n = static_cast<std::int64_t>(stored.back().size());
    CheckedI16(n, "pair count");
    const std::int64_t units = CheckedI16(3 + n + object.PaddingUnits, "object length");
    ObjectLayout placed;
    placed.FilePos = pos;
    placed.ByteLength = 4 * units;
    placed.Pos = CheckedI32((pos - p) / 4, "object position");
    placed.Len = static_cast<std::int32_t>(units);
    layout_.Objects.push_back(placed);
    pos += placed.ByteLength;
  }
  layout_.SymbolAreaPos = pos;
  layout_.FileSize = CheckedI32(
      pos + kSymbolArea5Records + kSymbolRecord5Size * static_cast<std::int64_t>(symbols.size()),
      "file size");

  std::vector<std::uint8_t> file(static_cast<std::size_t>(layout_.FileSize), 0);
  std::uint8_t* const base = file.data();

  PutI16(base + 0, 3245);
  PutI16(base + 4, 5);
  PutI32(base + 8, static_cast<std::int32_t>(p));
  PutI32(base + 12, static_cast<std::int32_t>(layout_.SymbolAreaPos));

  std::uint8_t* const setup = base + p;
  PutI16(setup + 8, CheckedI16(RoundToInt(zoom_), "zoom"));
  PutI16(setup + 10, offsetX5_);
  PutI16(setup + 12, offsetY5_);
  PutReal6(setup + 44, scale_);

  for (std::size_t r = 1; r <= entries.size(); ++r) {
    const std::int64_t recordPos = kIndexRecord5Size * static_cast<std::int64_t>(r);
    layout_.IndexEntries.push_back(recordPos);
    const EntrySlot& entry = entries[r - 1];
    if (entry.Empty) continue;
    const Object5& object = objects5_[entry.Object];
    ObjectLayout& placed = layout_.Objects[entry.Object];
    placed.IndexPos = recordPos;
    placed.Slot = static_cast<std::int32_t>(r);
    const IndexExtent extent = object.Extent ? *object.Extent : PairExtent(object.Pairs);
    std::uint8_t* const record = base + recordPos;
    PutI16(record + 0, CheckedI16(extent.MinX, "minimum x"));
    PutI16(record + 2, CheckedI16(extent.MinY, "minimum y"));
    PutI16(record + 4, CheckedI16(extent.MaxX, "maximum x"));
    PutI16(record + 6, CheckedI16(extent.MaxY, "maximum y"));
    PutI32(record + 8, placed.Pos);
    PutI16(record + 12,
           object.IndexLength ? *object.IndexLength : static_cast<std::int16_t>(placed.Len));
    PutI16(record + 16, object.IndexSymbol ? *object.IndexSymbol : object.Symbol);
  }

  for (std::size_t i = 0; i < objects5_.size(); ++i) {
    const Object5& object = objects5_[i];
    std::uint8_t* const element = base + layout_.Objects[i].FilePos;
    PutI16(element + 0, object.Symbol);
    PutI16(element + 2, object.ObjectType);
    PutI16(element + 4, static_cast<std::int16_t>(stored[i].size()));
    PutI16(element + 8, object.Angle);
    PutI16(element + 10, object.Height);
    std::uint8_t* pair = element + kElement5HeaderSize;
    for (const TPair& point : stored[i]) {
      PutI16(pair, static_cast<std::int16_t>(point.X));  // version 5 pairs are 16-bit
      PutI16(pair + 2, static_cast<std::int16_t>(point.Y));
      pair += 4;
    }
  }

  // The 16-byte symbol header holds the record count at offset 12; the colour tables between
  // it and the first record are left zero.
  std::uint8_t* const area = base + layout_.SymbolAreaPos;
  PutI16(area + 12, CheckedI16(static_cast<std::int64_t>(symbols.size()), "symbol count"));
  for (std::size_t k = 0; k < symbols.size(); ++k) {
    const SymbolSpec& symbol = symbols[k];
    if (symbol.Description.size() > 32)
      throw std::invalid_argument("OCAD map builder: a version 5 description holds 32 characters");
    const std::int64_t recordPos = layout_.SymbolAreaPos + kSymbolArea5Records +
                                   kSymbolRecord5Size * static_cast<std::int64_t>(k);
    layout_.SymbolRecords.push_back(recordPos);
    std::uint8_t* const record = base + recordPos;
    PutI16(record + 0, symbol.Number);
    PutI16(record + 2, symbol.ObjectType);
    std::copy(symbol.Description.begin(), symbol.Description.end(), record + 16);
  }
  return file;
}

}  // namespace terrak::testing
