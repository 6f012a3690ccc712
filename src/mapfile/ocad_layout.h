#pragma once
// Positions and sizes of the OCAD records the program reads and patches. Everything else in a
// map file is carried through unchanged.
#include <cstddef>
#include <cstdint>

namespace terrak::ocad {

inline constexpr std::int16_t kMark = 3245;  // 0x0CAD at offset 0

inline constexpr std::size_t kFileHeaderSize = 24;
inline constexpr std::size_t kFileHeader6Size = 48;  // versions 6 to 8

// Version 5.
inline constexpr std::size_t kSetup5Size = 160;
inline constexpr std::size_t kIndexRecord5Size = 24;
inline constexpr std::size_t kSymbolHeader5Size = 16;
inline constexpr std::int64_t kSymbolRecords5Offset = 4880;  // from the symbol area S
inline constexpr std::size_t kSymbolRecord5Size = 192;
inline constexpr std::size_t kElementHeaderSize = 12;  // model element before its pairs
inline constexpr std::size_t kSetup5ZoomOffset = 8;
inline constexpr std::size_t kSetup5OffsetXOffset = 10;
inline constexpr std::size_t kSetup5OffsetYOffset = 12;
inline constexpr std::size_t kSetup5ScaleOffset = 44;

// Versions 6 and 7.
inline constexpr std::size_t kSymbolBlockSize = 1028;
inline constexpr std::size_t kSymbolRecord6ReadSize = 348;
inline constexpr std::size_t kIndexBlockSize = 6148;
inline constexpr std::size_t kIndexEntrySize = 24;
inline constexpr int kBlockEntries = 256;
inline constexpr std::size_t kObject6HeaderSize = 32;
inline constexpr std::size_t kCoord6Size = 8;
inline constexpr std::int32_t kMinObject6Length = 33;
// Version 8 counts an object's length in coordinate pairs (nItem + nText) after its header.
inline constexpr std::int64_t kObject8LengthUnit = 8;
inline constexpr std::size_t kSetup6Size = 1112;
inline constexpr std::size_t kSetup6ScaleOffset = 24;
inline constexpr std::size_t kSetup6ZoomOffset = 936;

// Offset of entry e inside an index block.
constexpr std::size_t IndexEntryOffset(int entry) {
  return 4 + kIndexEntrySize * static_cast<std::size_t>(entry);
}

}  // namespace terrak::ocad
