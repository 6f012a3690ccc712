#pragma once
// The estimate step of the interpolation, shared by both implementations so that they compute
// it with the very same operations. Inline: it runs four times for every empty cell.
#include <cmath>
#include <cstdint>

#include "common/rounding.h"
#include "common/wrap16.h"
#include "grid/interpolate.h"

namespace terrak {

// Scan is a LineScan or a view offering the same accessors.
template <typename Scan>
inline bool ApplyLineEstimate(const Scan& s, std::int32_t p0, double step, EstimateState& state) {
  const std::int64_t length = std::int64_t{s.UpNearP()} - s.DownNearP();
  if (length == 0 || s.UpNearV() == 0 || s.DownNearV() == 0) return false;
  const double l = static_cast<double>(length);
  const double dh = static_cast<double>(s.UpNearV() - s.DownNearV());
  const double gradient = std::fabs(dh / l) / step;
  if (gradient > state.BestGradient) {
    // Linear interpolation between the two nearest contours.
    state.BestGradient = gradient;
    state.E = static_cast<double>(p0 - s.DownNearP()) / l * dh + s.DownNearV();
    state.HaveE = true;
  }
  if (state.BestGradient == 0.0) {
    // Every line so far is flat: extrapolate from the nearest contour that has a different
    // height beyond it.
    const double dDown = std::fabs(static_cast<double>(p0 - s.DownNearP()) * step);
    const double dUp = std::fabs(static_cast<double>(s.UpNearP() - p0) * step);
    if (dDown < state.BestDistance) {
      const std::int32_t sD =
          s.DownEdgeV() != 0 && s.DownNextV() != 0 ? s.DownEdgeV() - s.DownNextV() : 0;
      if (sD != 0) {
        state.BestDistance = dDown;
        state.E = static_cast<double>(p0 - s.DownNearP()) / l * sD + s.DownNearV();
        state.HaveE = true;
      }
    }
    if (dUp < state.BestDistance) {
      const std::int32_t sU = s.UpNextV() != 0 && s.UpEdgeV() != 0 ? s.UpNextV() - s.UpEdgeV() : 0;
      if (sU != 0) {
        state.BestDistance = dUp;
        state.E = s.UpNearV() - static_cast<double>(s.UpNearP() - p0) / l * sU;
        state.HaveE = true;
      }
    }
  }
  return true;
}

inline std::int16_t StoredEstimate(const EstimateState& state) {
  return Wrap16(-RoundToInt(state.E));
}

}  // namespace terrak
