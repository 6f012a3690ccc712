#pragma once
// What a point is on its line, apart from where it lies: the flags every format's points carry,
// in the map model and in the drawing's objects alike.
#include <cstdint>

namespace terrak {

// The low byte holds the flags OCAD keeps in an x value, the next byte those of the y value, so
// OCAD's flags pass through unchanged. Mapper's flags are translated into these. A first control
// point, the second control after it and the point after that (the end) make a cubic curve from
// the point before.
namespace point_flag {
inline constexpr std::uint32_t kFirstControl = 0x0001;   // first control point of a curve
inline constexpr std::uint32_t kSecondControl = 0x0002;  // second control point of a curve
inline constexpr std::uint32_t kNoLeftLine = 0x0004;   // no left side line up to the next point
inline constexpr std::uint32_t kGap = 0x0008;            // area border only / virtual gap
inline constexpr std::uint32_t kCorner = 0x0100;
inline constexpr std::uint32_t kHoleStart = 0x0200;      // first point of a further part (hole)
inline constexpr std::uint32_t kNoRightLine = 0x0400;  // no right side line up to the next point
inline constexpr std::uint32_t kDash = 0x0800;
inline constexpr std::uint32_t kClose = 0x10000;         // closes its part (Mapper only)
}  // namespace point_flag

}  // namespace terrak
