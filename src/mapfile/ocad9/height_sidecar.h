#pragma once
// OCAD 9 objects have no height field, so the heights given in Terrak live in a small text file
// beside the map ("forest.ocd.heights"); the map file itself stays as OCAD wrote it.
//
//   terrak-heights 1
//   <index entry position> <object position> <height in tenths of a metre>
//
// Every line is a height, 0 m included (an object without a height has no line); a height is
// any 32-bit number of tenths.
// A line applies only while the index entry still points at that object, so heights never move
// to another object when the map was edited in OCAD since.
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace terrak::ocad9 {

inline constexpr const char* kHeightSidecarSuffix = ".heights";
inline constexpr const char* kDamagedHeightsMessage =
    "The heights file beside the map is damaged; move it away to open the map without it";

struct SidecarHeight {
  std::int64_t ObjectPos = 0;
  std::int32_t HeightTenths = 0;
};
// Keyed by the index entry's file position.
using SidecarHeights = std::map<std::int64_t, SidecarHeight>;

// Throws MapFormatError naming the line when the file is damaged.
SidecarHeights ParseHeightSidecar(std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> WriteHeightSidecar(const SidecarHeights& heights);

}  // namespace terrak::ocad9
