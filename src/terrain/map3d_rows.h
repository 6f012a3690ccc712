#pragma once
// The run-length codes of one grid row in the 3D map file.
//
// Height rows: 7F + i16 (absolute value), one byte d in -125..125 (previous cell + d), or
// 81 + i16 count (count more cells, each its previous cell + the last delta read). Every row
// starts with an absolute code; arithmetic wraps at 16 bits.
// Bitmap rows: a byte other than FF (a literal palette index), or FF + i16 count (count more
// cells equal to the previous one). FF can therefore never be a literal.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace terrak {

inline constexpr std::uint8_t kHeightAbsoluteCode = 0x7F;
inline constexpr std::uint8_t kHeightRepeatCode = 0x81;
inline constexpr std::uint8_t kBitmapRepeatCode = 0xFF;

// Reads little-endian values from a byte buffer and says when the buffer has run out, so a
// damaged file can never make a decoder read past its end.
class ByteCursor {
 public:
  ByteCursor(std::span<const std::uint8_t> bytes, std::size_t position = 0)
      : bytes_(bytes), position_(position < bytes.size() ? position : bytes.size()) {}

  bool ReadByte(std::uint8_t& value);
  bool ReadI16(std::int16_t& value);
  // The next count bytes, or an empty span when fewer are left (the cursor then stays put).
  std::span<const std::uint8_t> Take(std::size_t count);
  std::size_t Position() const { return position_; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_;
};

// Appends the codes of one non-empty height row.
void EncodeHeightRow(std::span<const std::int16_t> row, std::vector<std::uint8_t>& out);
// Appends the codes of one non-empty bitmap row; no cell may be 255.
void EncodeBitmapRow(std::span<const std::uint8_t> row, std::vector<std::uint8_t>& out);

// Fills row (its size is the grid width) from the codes at the cursor. lastDelta is the delta
// that repeat codes continue; it carries over from row to row. False for a damaged row: the
// buffer ends early, the row does not start with a value, or a repeat runs past the row's end.
bool DecodeHeightRow(ByteCursor& in, std::span<std::int16_t> row, std::int8_t& lastDelta);
bool DecodeBitmapRow(ByteCursor& in, std::span<std::uint8_t> row);

}  // namespace terrak
