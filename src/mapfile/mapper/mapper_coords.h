#pragma once
// Mapper's coordinates: 1/1000 mm on the paper, y pointing down, each point with its flags.
// ".omap" writes them as text, "x y [flags];" per point; ".xmap" as <coord x= y= flags=/>.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "mapfile/map_format.h"

namespace terrak::mapper {

// Mapper's flag bits.
inline constexpr std::uint32_t kCurveStart = 1;  // a cubic curve starts: two control points follow
inline constexpr std::uint32_t kClosePoint = 2;
inline constexpr std::uint32_t kGapPoint = 4;
inline constexpr std::uint32_t kHolePoint = 16;  // the last point of its part; a hole follows
inline constexpr std::uint32_t kDashPoint = 32;

struct MapperPoint {
  std::int64_t X = 0;
  std::int64_t Y = 0;
  std::uint32_t Flags = 0;
};

// The points of a coords text; nullopt when the text is not a list of points.
std::optional<std::vector<MapperPoint>> ParseCoordsText(std::string_view text);

// Into the neutral form (y upwards, the program's flags); nullopt when a coordinate does not fit
// 32 bits.
std::optional<std::vector<FormatPoint>> ToFormatPoints(const std::vector<MapperPoint>& points);

}  // namespace terrak::mapper
