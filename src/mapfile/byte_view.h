#pragma once
// Bounds-checked reading of a file held in memory: every position and length taken from the file
// is checked against its size before it is used. A field outside the file means the file is
// damaged: MapFormatError with the format's message and a detail naming the record.
#include <cstdint>
#include <span>
#include <string>

#include "common/bytes.h"
#include "mapfile/map_format.h"

namespace terrak {

class ByteView {
 public:
  ByteView(std::span<const std::uint8_t> bytes, std::string damagedMessage)
      : bytes_(bytes), message_(std::move(damagedMessage)) {}

  std::int64_t Size() const { return static_cast<std::int64_t>(bytes_.size()); }
  bool Holds(std::int64_t position, std::int64_t size) const {
    return position >= 0 && size >= 0 && position <= Size() && size <= Size() - position;
  }
  // The first byte of a record of size bytes at position, after checking it lies in the file.
  const std::uint8_t* At(std::int64_t position, std::int64_t size, const char* what) const {
    if (!Holds(position, size)) Damaged(std::string(what) + " lies outside the file");
    return bytes_.data() + position;
  }
  std::int32_t I32(std::int64_t position, const char* what) const {
    return GetI32(At(position, 4, what));
  }
  std::uint8_t U8(std::int64_t position, const char* what) const { return *At(position, 1, what); }
  std::uint16_t U16(std::int64_t position, const char* what) const {
    return GetU16(At(position, 2, what));
  }
  [[noreturn]] void Damaged(const std::string& detail) const {
    throw MapFormatError(message_, detail);
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::string message_;
};

}  // namespace terrak
