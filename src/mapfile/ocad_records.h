#pragma once
// Bounds-checked access to the records of an OCAD file: every position, length and count read
// from the file is checked against the file's size before it is used, and a record that does
// not lie inside the file means the file is damaged (OcadFormatError).
#include <cstdint>
#include <span>
#include <vector>

#include "common/bytes.h"
#include "mapfile/ocad_layout.h"
#include "platform/file_stream.h"

namespace terrak::ocad {

class RecordReader {
 public:
  explicit RecordReader(const FileStream& stream);
  // Over the bytes of a whole file in memory, which must outlive the reader.
  explicit RecordReader(std::span<const std::uint8_t> bytes);
  std::int64_t Size() const { return size_; }
  bool Holds(std::int64_t position, std::int64_t size) const {
    return position >= 0 && size >= 0 && position <= size_ && size <= size_ - position;
  }
  std::vector<std::uint8_t> Read(std::int64_t position, std::int64_t size, const char* what) const;

 private:
  const FileStream* stream_ = nullptr;  // null: the file is bytes_
  std::span<const std::uint8_t> bytes_;
  std::int64_t size_;
};

// The positions of the blocks of a chain that starts at first and ends at a position of 0 or
// less. A chain that leaves the file or comes back to a block it passed is damaged.
std::vector<std::int64_t> WalkBlockChain(const RecordReader& reader, std::int64_t first,
                                         std::int64_t blockSize, const char* what);

struct IndexRecord5 {
  std::int16_t MinX, MinY, MaxX, MaxY;
  std::int32_t Position;  // 4-byte units from P
  std::int16_t Length;    // 4-byte units; 0 or less = empty
  std::int16_t Symbol;
};
IndexRecord5 DecodeIndexRecord5(const std::uint8_t* record);
// Number of index records of a version 5 file with data start p.
std::int32_t IndexRecord5Count(std::int32_t dataStart);
// The byte position of a version 5 object.
constexpr std::int64_t Object5Position(std::int32_t dataStart, std::int32_t position) {
  return static_cast<std::int64_t>(dataStart) + 4 * static_cast<std::int64_t>(position);
}

struct IndexEntry6 {
  std::int32_t LowerLeftX, LowerLeftY, UpperRightX, UpperRightY;
  std::int32_t Position;
  std::int16_t Length;  // as stored: versions 6/7 bytes; version 8 coordinate pairs (a word)
  std::int16_t Symbol;
  std::int64_t ObjectBytes;  // the object's size in the file: 6/7 Length, 8 32 + 8 x Length
  bool HoldsObject() const;
};
IndexEntry6 DecodeIndexEntry6(const std::uint8_t* block, int entry, int version);

// Calls visit(r, record) for every version 5 index record r that holds an object (length > 0).
template <typename Visit>
void ForEachIndexRecord5(const RecordReader& reader, std::int32_t dataStart, Visit visit) {
  for (std::int32_t r = 1; r <= IndexRecord5Count(dataStart); ++r) {
    const std::vector<std::uint8_t> bytes =
        reader.Read(static_cast<std::int64_t>(kIndexRecord5Size) * r, kIndexRecord5Size, "index record");
    const IndexRecord5 record = DecodeIndexRecord5(bytes.data());
    if (record.Length > 0) visit(r, record);
  }
}

// Calls visit(blockPos, e, entry) for every entry of the index block chain that holds an object.
template <typename Visit>
void ForEachIndexEntry6(const RecordReader& reader, std::int64_t firstBlock, int version,
                        Visit visit) {
  for (std::int64_t blockPos : WalkBlockChain(reader, firstBlock, kIndexBlockSize, "index block")) {
    const std::vector<std::uint8_t> block = reader.Read(blockPos, kIndexBlockSize, "index block");
    for (int e = 0; e < kBlockEntries; ++e) {
      const IndexEntry6 entry = DecodeIndexEntry6(block.data(), e, version);
      if (entry.HoldsObject()) visit(blockPos, e, entry);
    }
  }
}

// Calls visit(recordPos) for every symbol record of the symbol block chain; a block's walk ends
// at its first position of 0 or less.
template <typename Visit>
void ForEachSymbolRecord6(const RecordReader& reader, std::int64_t firstBlock, Visit visit) {
  for (std::int64_t blockPos :
       WalkBlockChain(reader, firstBlock, kSymbolBlockSize, "symbol block")) {
    const std::vector<std::uint8_t> block = reader.Read(blockPos, kSymbolBlockSize, "symbol block");
    for (int j = 0; j < kBlockEntries; ++j) {
      const std::int32_t recordPos = GetI32(block.data() + 4 + 4 * j);
      if (recordPos <= 0) break;
      visit(recordPos);
    }
  }
}

// Reads a version 5 model element and checks that its pair count fits its length.
std::vector<std::uint8_t> ReadElement5(const RecordReader& reader, std::int32_t dataStart,
                                       std::int32_t position, std::int32_t length);
// Reads a version 6/7/8 object of the entry's size and checks that its coordinates (version 8:
// and its text) fit it.
std::vector<std::uint8_t> ReadObject6(const RecordReader& reader, const IndexEntry6& entry,
                                      int version);

}  // namespace terrak::ocad
