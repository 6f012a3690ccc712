// Writes into an OCAD 5 to 8 map: each reads a whole record, changes only the named fields and
// puts the record back at the same place, so no record moves and the file length never
// changes.
#include <limits>
#include <stdexcept>

#include "common/bytes.h"
#include "common/wrap16.h"
#include "mapfile/height_field.h"
#include "mapfile/ocad6/ocad6_map.h"
#include "mapfile/ocad_file.h"
#include "mapfile/ocad_format_error.h"

namespace terrak::ocad6 {

namespace {

// The height fields' bytes of some objects, in the order they were kept.
struct KeptFields : KeptHeights {
  std::vector<BytePatch> Fields;
};

}  // namespace

Ocad6Map::Record Ocad6Map::ObjectRecord(std::int64_t key) const {
  const ocad::RecordReader reader = Reader();
  if (version_ == 5) {
    const std::vector<std::uint8_t> index = reader.Read(
        static_cast<std::int64_t>(ocad::kIndexRecord5Size) * key, ocad::kIndexRecord5Size,
        "index record");
    const ocad::IndexRecord5 record = ocad::DecodeIndexRecord5(index.data());
    return {ocad::Object5Position(DataStart(), record.Position),
            ocad::ReadElement5(reader, DataStart(), record.Position, record.Length)};
  }
  // The entry is read as entry 0 of a block that would start 4 bytes before it.
  const std::int64_t blockStart = key - static_cast<std::int64_t>(ocad::IndexEntryOffset(0));
  const std::vector<std::uint8_t> entryBytes =
      reader.Read(blockStart, static_cast<std::int64_t>(ocad::IndexEntryOffset(1)), "index entry");
  const ocad::IndexEntry6 entry = ocad::DecodeIndexEntry6(entryBytes.data(), 0, version_);
  return {entry.Position, ocad::ReadObject6(reader, entry, version_)};
}

Ocad6Map::Record Ocad6Map::SetupRecord() const {
  const std::int64_t position = version_ == 5 ? DataStart() : SetupPos();
  return {position, Reader().Read(position, setupSize_, "setup record")};
}

BytePatch Ocad6Map::Put(const Record& record) {
  const auto size = static_cast<std::int64_t>(record.Bytes.size());
  std::copy(record.Bytes.begin(), record.Bytes.end(),
            bytes_.begin() + static_cast<std::ptrdiff_t>(record.Position));
  return {record.Position, size, record.Bytes};
}

std::vector<BytePatch> Ocad6Map::WriteHeights(const std::vector<HeightWrite>& heights) {
  // OCAD 5's 16-bit field; 6 and 7 sign-extend a 16-bit height into 32 bits, 0 meaning none;
  // OCAD 8 holds any (see height_field.h).
  const bool wide = version_ == 8;
  for (const auto& [key, height] : heights) {
    const std::int32_t field = height.value_or(0);
    if (!wide && (field < std::numeric_limits<std::int16_t>::min() ||
                  field > std::numeric_limits<std::int16_t>::max()))
      throw std::out_of_range("a height beyond the 16 bits of the map's height field");
  }
  std::vector<BytePatch> patches;
  for (const auto& [key, height] : heights) {
    const std::int32_t field = wide ? Ocad8HeightField(height) : height.value_or(0);
    Record record = ObjectRecord(key);
    if (version_ == 5)
      PutI16(record.Bytes.data() + 10, static_cast<std::int16_t>(field));
    else
      PutI32(record.Bytes.data() + 12, field);
    patches.push_back(Put(record));
  }
  return patches;
}

std::pair<std::int32_t, bool> Ocad6Map::HeightAsKept(std::optional<std::int32_t> height) const {
  if (version_ == 8) {
    const std::int32_t field = Ocad8HeightField(height);
    return {field == kOcad8ZeroMetres ? 0 : field, height.has_value()};
  }
  const std::int32_t field = height.value_or(0);
  return {field, HeightFieldHoldsHeight5To7(field)};
}

std::vector<BytePatch> Ocad6Map::WriteSymbol(const std::vector<std::int64_t>& keys,
                                             std::int32_t symbol) {
  const auto number = static_cast<std::int16_t>(symbol);
  std::vector<BytePatch> patches;
  for (const std::int64_t key : keys) {
    // The index first, then the object, each at its place.
    Record index;
    if (version_ == 5) {
      index.Position = static_cast<std::int64_t>(ocad::kIndexRecord5Size) * key;
      index.Bytes = Reader().Read(index.Position, ocad::kIndexRecord5Size, "index record");
      PutI16(index.Bytes.data() + 16, number);
    } else {
      index.Position = key;
      index.Bytes = Reader().Read(key, ocad::kIndexEntrySize, "index entry");
      PutI16(index.Bytes.data() + 22, number);
    }
    patches.push_back(Put(index));
    Record object = ObjectRecord(key);
    PutI16(object.Bytes.data(), number);
    patches.push_back(Put(object));
  }
  return patches;
}

std::shared_ptr<const KeptHeights> Ocad6Map::KeepHeights(
    const std::vector<std::int64_t>& keys) const {
  auto kept = std::make_shared<KeptFields>();
  const bool narrow = version_ == 5;
  const std::size_t offset = narrow ? 10 : 12, size = narrow ? 2 : 4;
  for (const std::int64_t key : keys) {
    const Record record = ObjectRecord(key);
    if (record.Bytes.size() < offset + size) throw OcadFormatError("object record too short");
    const auto field = record.Bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    kept->Fields.push_back({record.Position + static_cast<std::int64_t>(offset),
                            static_cast<std::int64_t>(size),
                            {field, field + static_cast<std::ptrdiff_t>(size)}});
  }
  return kept;
}

std::vector<BytePatch> Ocad6Map::RestoreHeights(const KeptHeights& kept) {
  const auto& fields = dynamic_cast<const KeptFields&>(kept).Fields;
  std::vector<BytePatch> patches;
  // Last first, so an object kept twice ends as it was first.
  for (auto field = fields.rbegin(); field != fields.rend(); ++field)
    patches.push_back(Put({field->Position, field->Bytes}));
  return patches;
}

std::vector<BytePatch> Ocad6Map::WriteZoom(std::int16_t zoom) {
  Record setup = SetupRecord();
  if (version_ == 5)
    PutI16(setup.Bytes.data() + ocad::kSetup5ZoomOffset, zoom);
  else if (ocad::kSetup6ZoomOffset + 8 <= setup.Bytes.size())  // the file never grows
    PutDouble(setup.Bytes.data() + ocad::kSetup6ZoomOffset, zoom);
  view_.Zoom = zoom;
  return {Put(setup)};
}

std::vector<BytePatch> Ocad6Map::WriteOffset(std::int32_t x, std::int32_t y) {
  Record setup = SetupRecord();
  if (version_ == 5) {
    PutI16(setup.Bytes.data() + ocad::kSetup5OffsetXOffset, Wrap16(x));
    PutI16(setup.Bytes.data() + ocad::kSetup5OffsetYOffset, Wrap16(y));
  } else {
    PutI32(setup.Bytes.data() + 0, ModelToCoord6(x));
    PutI32(setup.Bytes.data() + 4, ModelToCoord6(y));
  }
  view_.OffsetX = x;
  view_.OffsetY = y;
  return {Put(setup)};
}

}  // namespace terrak::ocad6
