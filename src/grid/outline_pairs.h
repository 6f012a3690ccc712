#pragma once
// Pairs of consecutive outline points as the refinement of the shrink-wrap meets them: one key
// for the two points, and whether they lie close enough to be left as they are.
#include <cstdint>

#include "grid/shrinkwrap.h"

namespace terrak::wrap {

inline std::uint64_t PairKey(WrapCell p, WrapCell n) {
  const auto u = [](std::int16_t v) {
    return static_cast<std::uint64_t>(static_cast<std::uint16_t>(v));
  };
  return (u(p.X) << 48) | (u(p.Y) << 32) | (u(n.X) << 16) | u(n.Y);
}

// A negative gap refines every pair.
inline bool WithinGap(std::int32_t contourGap, std::int64_t distance2) {
  return contourGap >= 0 && std::int64_t{contourGap} * contourGap >= distance2;
}

}  // namespace terrak::wrap
