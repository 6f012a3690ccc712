#pragma once
// The depth colours: 101 steps from the front colour (index 0) to the back colour (index 100).
#include <cstdint>

#include "viewer/viewer_state.h"

namespace terrak {

DepthRampType BuildDepthRamp(Colour front, Colour back);

// The ramp entry for a depth within [nearest, farthest]; entry 0 when the range is empty.
inline std::size_t DepthRampIndex(std::int32_t depth, std::int32_t nearest, std::int32_t farthest) {
  const std::int64_t span = std::int64_t{farthest} - nearest;
  if (span <= 0) return 0;
  const std::int64_t index = (std::int64_t{depth} - nearest) * 100 / span;
  return static_cast<std::size_t>(index < 0 ? 0 : index > 100 ? 100 : index);
}

}  // namespace terrak
