#include <cmath>

#include "common/rounding.h"
#include "common/wrap16.h"
#include "grid/interpolate.h"

namespace terrak {

bool ApplyLineEstimate(const LineScan& s, std::int32_t p0, double step, EstimateState& state) {
  const std::int64_t length = std::int64_t{s.UpNear.p} - s.DownNear.p;
  if (length == 0 || s.UpNear.v == 0 || s.DownNear.v == 0) return false;
  const double l = static_cast<double>(length);
  const double dh = static_cast<double>(s.UpNear.v - s.DownNear.v);
  const double gradient = std::fabs(dh / l) / step;
  if (gradient > state.BestGradient) {
    // Linear interpolation between the two nearest contours.
    state.BestGradient = gradient;
    state.E = static_cast<double>(p0 - s.DownNear.p) / l * dh + s.DownNear.v;
    state.HaveE = true;
  }
  if (state.BestGradient == 0.0) {
    // Every line so far is flat: extrapolate from the nearest contour that has a different
    // height beyond it.
    const double dDown = std::fabs(static_cast<double>(p0 - s.DownNear.p) * step);
    const double dUp = std::fabs(static_cast<double>(s.UpNear.p - p0) * step);
    if (dDown < state.BestDistance) {
      const std::int32_t sD =
          s.DownEdge.v != 0 && s.DownNext.v != 0 ? s.DownEdge.v - s.DownNext.v : 0;
      if (sD != 0) {
        state.BestDistance = dDown;
        state.E = static_cast<double>(p0 - s.DownNear.p) / l * sD + s.DownNear.v;
        state.HaveE = true;
      }
    }
    if (dUp < state.BestDistance) {
      const std::int32_t sU = s.UpNext.v != 0 && s.UpEdge.v != 0 ? s.UpNext.v - s.UpEdge.v : 0;
      if (sU != 0) {
        state.BestDistance = dUp;
        state.E = s.UpNear.v - static_cast<double>(s.UpNear.p - p0) / l * sU;
        state.HaveE = true;
      }
    }
  }
  return true;
}

std::int16_t StoredEstimate(const EstimateState& state) { return Wrap16(-RoundToInt(state.E)); }

}  // namespace terrak
