#pragma once
// The eye point of the 3D viewer and the block of nine viewpoints: the current one, then the
// presets North, South, West, East, NE, NW, SE, SW. The 3D map file stores the block byte for
// byte, 52 bytes a record.
#include <array>
#include <cstddef>
#include <cstdint>

namespace terrak {

struct TViewPoint {
  double x = 0;        // east, metres
  double y = 0;        // north, metres
  double z = 0;        // eye height, metres
  double bearing = 0;  // degrees clockwise from north
  double incline = 0;  // degrees, negative looking down
  std::int32_t centreX = 0;
  std::int32_t centreY = 0;
  std::int32_t spare = 0;
  friend bool operator==(const TViewPoint&, const TViewPoint&) = default;
};

inline constexpr std::size_t kViewPointRecordSize = 52;
inline constexpr std::size_t kViewpointCount = 9;

enum ViewpointIndex : std::size_t {
  kCurrentView = 0,
  kNorthView,
  kSouthView,
  kWestView,
  kEastView,
  kNorthEastView,
  kNorthWestView,
  kSouthEastView,
  kSouthWestView,
};

using ViewpointBlock = std::array<TViewPoint, kViewpointCount>;

// The 52-byte record: five little-endian doubles, then three little-endian int32.
void EncodeViewPoint(const TViewPoint& view, std::uint8_t* record);
TViewPoint DecodeViewPoint(const std::uint8_t* record);

}  // namespace terrak
