#include "mapfile/ocad_records.h"

#include <set>
#include <string>

#include "common/bytes.h"
#include "mapfile/ocad_format_error.h"
#include "mapfile/ocad_layout.h"

namespace terrak::ocad {

RecordReader::RecordReader(const FileStream& stream) : stream_(&stream), size_(stream.Size()) {}

RecordReader::RecordReader(std::span<const std::uint8_t> bytes)
    : bytes_(bytes), size_(static_cast<std::int64_t>(bytes.size())) {}

std::vector<std::uint8_t> RecordReader::Read(std::int64_t position, std::int64_t size,
                                             const char* what) const {
  if (!Holds(position, size))
    throw OcadFormatError(std::string(what) + " lies outside the file");
  if (stream_) return stream_->ReadExact(position, static_cast<std::size_t>(size));
  const auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(position);
  return {first, first + static_cast<std::ptrdiff_t>(size)};
}

std::vector<std::int64_t> WalkBlockChain(const RecordReader& reader, std::int64_t first,
                                         std::int64_t blockSize, const char* what) {
  std::vector<std::int64_t> blocks;
  std::set<std::int64_t> seen;
  std::int64_t position = first;
  while (position > 0) {
    if (!reader.Holds(position, blockSize))
      throw OcadFormatError(std::string(what) + " lies outside the file");
    if (!seen.insert(position).second)
      throw OcadFormatError(std::string(what) + " chain runs in a circle");
    blocks.push_back(position);
    position = GetI32(reader.Read(position, 4, what).data());
  }
  return blocks;
}

IndexRecord5 DecodeIndexRecord5(const std::uint8_t* record) {
  return {GetI16(record + 0),  GetI16(record + 2),  GetI16(record + 4), GetI16(record + 6),
          GetI32(record + 8),  GetI16(record + 12), GetI16(record + 16)};
}

std::int32_t IndexRecord5Count(std::int32_t dataStart) {
  const std::int32_t count = dataStart / static_cast<std::int32_t>(kIndexRecord5Size) - 1;
  return count > 0 ? count : 0;
}

// Version 8: deleted objects have symbol 0; an object without a coordinate holds nothing.
bool IndexEntry6::HoldsObject() const { return Symbol != 0 && ObjectBytes >= kMinObject6Length; }

IndexEntry6 DecodeIndexEntry6(const std::uint8_t* block, int entry, int version) {
  const std::uint8_t* e = block + IndexEntryOffset(entry);
  IndexEntry6 decoded{GetI32(e + 0),  GetI32(e + 4),  GetI32(e + 8), GetI32(e + 12),
                      GetI32(e + 16), GetI16(e + 20), GetI16(e + 22), 0};
  decoded.ObjectBytes =
      version == 8
          ? static_cast<std::int64_t>(kObject6HeaderSize) + kObject8LengthUnit * GetU16(e + 20)
          : decoded.Length;
  return decoded;
}

std::vector<std::uint8_t> ReadElement5(const RecordReader& reader, std::int32_t dataStart,
                                       std::int32_t position, std::int32_t length) {
  const std::int64_t bytes = 4 * static_cast<std::int64_t>(length);
  if (bytes < static_cast<std::int64_t>(kElementHeaderSize))
    throw OcadFormatError("object too short for its header");
  std::vector<std::uint8_t> element =
      reader.Read(Object5Position(dataStart, position), bytes, "object");
  const std::int16_t pairs = GetI16(element.data() + 4);
  if (pairs < 0 || static_cast<std::int64_t>(kElementHeaderSize) + 4 * pairs > bytes)
    throw OcadFormatError("object's pairs run past its length");
  return element;
}

std::vector<std::uint8_t> ReadObject6(const RecordReader& reader, const IndexEntry6& entry,
                                      int version) {
  std::vector<std::uint8_t> object = reader.Read(entry.Position, entry.ObjectBytes, "object");
  if (object.size() < kObject6HeaderSize) throw OcadFormatError("object too short");
  const auto size = static_cast<std::int64_t>(object.size());
  const auto header = static_cast<std::int64_t>(kObject6HeaderSize);
  const auto unit = static_cast<std::int64_t>(kCoord6Size);
  if (version == 8) {
    // Coordinates and text both count in the length; the space reserved may be longer.
    const std::int64_t pairs = GetU16(object.data() + 4) + std::int64_t{GetU16(object.data() + 6)};
    if (header + unit * pairs > size)
      throw OcadFormatError("object's coordinates and text run past its length (" +
                            std::to_string(pairs) + " pairs in a record of " +
                            std::to_string(size) + " bytes at " + std::to_string(entry.Position) +
                            ")");
    return object;
  }
  const std::int16_t items = GetI16(object.data() + 4);
  if (items < 0 || header + unit * items > size)
    throw OcadFormatError("object's coordinates run past its length (" + std::to_string(items) +
                          " coordinates in " + std::to_string(size) + " bytes at " +
                          std::to_string(entry.Position) + ")");
  return object;
}

}  // namespace terrak::ocad
