#pragma once
// 16-bit two's-complement wrap: the program's coordinates, heights and symbol numbers are
// 16-bit values, and arithmetic on them wraps like the stored fields do.
#include <cstdint>

namespace terrak {

constexpr std::int16_t Wrap16(std::int64_t value) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint64_t>(value) & 0xFFFFu));
}

// The low 16 bits read as unsigned, as the marker tests of coordinate pairs compare them.
constexpr std::uint16_t Unsigned16(std::int64_t value) {
  return static_cast<std::uint16_t>(static_cast<std::uint64_t>(value) & 0xFFFFu);
}

constexpr std::int32_t Wrap32(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value) & 0xFFFFFFFFu));
}

}  // namespace terrak
