#pragma once
// Bounds-checked access to the records of an OCAD file: every position, length and count read
// from the file is checked against the file's size before it is used, and a record that does
// not lie inside the file means the file is damaged (OcadFormatError).
#include <cstdint>
#include <vector>

#include "platform/file_stream.h"

namespace terrak::ocad {

class RecordReader {
 public:
  explicit RecordReader(const FileStream& stream);
  std::int64_t Size() const { return size_; }
  bool Holds(std::int64_t position, std::int64_t size) const {
    return position >= 0 && size >= 0 && position <= size_ && size <= size_ - position;
  }
  std::vector<std::uint8_t> Read(std::int64_t position, std::int64_t size, const char* what) const;

 private:
  const FileStream& stream_;
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
  std::int16_t Length;
  std::int16_t Symbol;
  bool HoldsObject() const;
};
IndexEntry6 DecodeIndexEntry6(const std::uint8_t* block, int entry);

// Reads a version 5 model element and checks that its pair count fits its length.
std::vector<std::uint8_t> ReadElement5(const RecordReader& reader, std::int32_t dataStart,
                                       std::int32_t position, std::int32_t length);
// Reads a version 6/7 object and checks that its coordinates fit its length.
std::vector<std::uint8_t> ReadObject6(const RecordReader& reader, std::int32_t position,
                                      std::int32_t length);

}  // namespace terrak::ocad
