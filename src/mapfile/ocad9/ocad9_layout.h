#pragma once
// Positions and sizes of the records of OCAD 9, 10, 11, 12 and 2018 files that the program reads
// and patches. Everything else in a map file is carried through unchanged.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace terrak::ocad9 {

inline constexpr std::int64_t kFirstSymbolBlockOffset = 8;
inline constexpr std::int64_t kFirstObjectBlockOffset = 12;
inline constexpr std::int64_t kFirstStringBlockOffset = 32;

inline constexpr int kBlockEntries = 256;
// A block: the position of the next block (0 ends the chain), then 256 entries.
inline constexpr std::int64_t kSymbolBlockSize = 4 + 4 * kBlockEntries;
inline constexpr std::int64_t kObjectEntrySize = 40;
inline constexpr std::int64_t kObjectBlockSize = 4 + kObjectEntrySize * kBlockEntries;
inline constexpr std::int64_t kStringEntrySize = 16;
inline constexpr std::int64_t kStringBlockSize = 4 + kStringEntrySize * kBlockEntries;

// Object index entry: the bounding box (four coded values), then these.
inline constexpr std::int64_t kEntryPosition = 16;
inline constexpr std::int64_t kEntryLength = 20;
inline constexpr std::int64_t kEntrySymbol = 24;
inline constexpr std::int64_t kEntryStatus = 30;
inline constexpr std::uint8_t kStatusNormal = 1;
inline constexpr std::uint8_t kStatusHidden = 2;

// Symbol record.
inline constexpr std::int64_t kSymbolNumber = 4;
inline constexpr std::int64_t kSymbolType = 8;
inline constexpr std::int64_t kSymbolDescription = 56;
// Versions 9 and 10: a length byte and 31 characters; 11 and later: 64 UTF-16 characters.
inline constexpr std::int64_t kShortDescriptionSize = 32;
inline constexpr std::int64_t kWideDescriptionChars = 64;

// String index entry: position, length, type, object.
inline constexpr std::int32_t kScaleParameterType = 1039;

// Object record fields that differ between versions.
struct ObjectLayout {
  std::int64_t HeaderSize;
  std::int64_t ItemCount;  // i32
  std::int64_t TextCount;  // u16, in 8-byte units
  std::optional<std::int64_t> Height;  // i32; none in version 9
  std::int32_t HeightUnitsPerMetre;   // 0 when there is no height field
  bool WideText;                       // texts stored as UTF-16
};

// Every object record begins with the symbol number (i32), the object type (byte) and the
// angle (i16 at 6).
inline constexpr std::int64_t kObjectSymbol = 0;
inline constexpr std::int64_t kObjectType = 4;

// Version 10 keeps the height at 32 in millimetres (the field after the reserved bytes at 24 to
// 31; coordinates start at 40). Versions 11 and later keep it in 1/256 mm.
constexpr ObjectLayout ObjectLayoutOf(int version) {
  switch (version) {
    case 9:  // texts in UTF-16 already, as Mapper writes and reads them
      return {40, 8, 12, std::nullopt, 0, true};
    case 10:
      return {40, 8, 12, 32, 1000, true};
    case 11:
      return {40, 8, 12, 28, 256000, true};
    default:  // 12 and 2018
      return {56, 44, 48, 20, 256000, true};
  }
}

// The header is 48 bytes up to version 11 and 60 bytes from version 12 on.
constexpr std::int64_t HeaderSizeOf(int version) { return version >= 12 ? 60 : 48; }

constexpr bool IsReadVersion(int version) {
  return (version >= 9 && version <= 12) || version == 2018;
}

}  // namespace terrak::ocad9
