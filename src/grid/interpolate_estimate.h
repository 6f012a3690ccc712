#pragma once
// The estimate step of the interpolation, shared by both implementations so that they compute
// it with the very same operations. Inline: it runs four times for every empty cell.
#include <cmath>
#include <cstdint>
#if defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "common/rounding.h"
#include "common/wrap16.h"
#include "grid/interpolate.h"

namespace terrak {

// The gradient of a line whose near contours differ by dh over length positions of step
// metres, kept with what it was computed from: along a line the same near contours serve many
// cells in turn, and the divisions are the estimate's dearest part.
struct GradientMemo {
  std::int32_t Dh = 0;
  std::int32_t Length = 0;
  double Gradient = 0.0;
};

// The linear interpolation between a line's two nearest contours at position p0; one function,
// so that every caller computes it with the very same operations.
inline double Interpolated(std::int32_t p0, std::int32_t downNearP, std::int64_t length,
                           std::int32_t dh, std::int32_t downNearV) {
  return static_cast<double>(p0 - downNearP) / static_cast<double>(length) *
             static_cast<double>(dh) +
         downNearV;
}

// Whether a value a scan reported is a height: a contour cell, as the scans themselves count
// them. A scan that reaches its limit without meeting one reports the cell where it stopped,
// and a run of contour cells that ends at a limit has the cell beside it reported as its edge;
// such a cell holds 0 or an earlier estimate, stored negated, which is no height at all.
inline bool IsHeight(std::int32_t v) { return v > 0; }

// The slope between a side's edge and next values, down (edge - next) or up (next - edge): 0
// where either is no height.
inline std::int32_t SlopeBetween(std::int32_t edge, std::int32_t next, bool up) {
  if (!IsHeight(edge) || !IsHeight(next)) return 0;
  return up ? next - edge : edge - next;
}

// A flat line's slope beyond its near contours, down and up: 0 where there is none. The
// values are read lazily, each once (a fast scan's reads go to the grid).
// A scan that keeps these slopes gives them as DownBeyond and UpBeyond.
template <typename Scan>
inline std::int32_t SlopeBeyondDown(const Scan& s) {
  if constexpr (requires { s.DownBeyond(); }) {
    return s.DownBeyond();
  } else {
    const std::int32_t edge = s.DownEdgeV();
    return IsHeight(edge) ? SlopeBetween(edge, s.DownNextV(), false) : 0;
  }
}
template <typename Scan>
inline std::int32_t SlopeBeyondUp(const Scan& s) {
  if constexpr (requires { s.UpBeyond(); }) {
    return s.UpBeyond();
  } else {
    const std::int32_t next = s.UpNextV();
    return IsHeight(next) ? SlopeBetween(s.UpEdgeV(), next, true) : 0;
  }
}

// The extrapolations from a flat line's near contours, down and up, at position p0.
inline double ExtrapolatedDown(std::int32_t p0, std::int32_t downNearP, double l, std::int32_t sD,
                               std::int32_t downNearV) {
  return static_cast<double>(p0 - downNearP) / l * sD + downNearV;
}
inline double ExtrapolatedUp(std::int32_t p0, std::int32_t upNearP, double l, std::int32_t sU,
                             std::int32_t upNearV) {
  return upNearV - static_cast<double>(upNearP - p0) / l * sU;
}

// Every line so far is flat: extrapolate from the nearest contour that has a different height
// beyond it. l is the line's length between its near cells.
template <typename Scan>
inline void ExtrapolateFlat(const Scan& s, std::int32_t p0, double step, double l,
                            EstimateState& state) {
  const double dDown = std::fabs(static_cast<double>(p0 - s.DownNearP()) * step);
  const double dUp = std::fabs(static_cast<double>(s.UpNearP() - p0) * step);
  if (dDown < state.BestDistance) {
    if (const std::int32_t sD = SlopeBeyondDown(s); sD != 0) {
      state.BestDistance = dDown;
      state.E = ExtrapolatedDown(p0, s.DownNearP(), l, sD, s.DownNearV());
      state.HaveE = true;
    }
  }
  if (dUp < state.BestDistance) {
    if (const std::int32_t sU = SlopeBeyondUp(s); sU != 0) {
      state.BestDistance = dUp;
      state.E = ExtrapolatedUp(p0, s.UpNearP(), l, sU, s.UpNearV());
      state.HaveE = true;
    }
  }
}

// Scan is a LineScan or a view offering the same accessors. Diagonal tells whether step is not
// 1.0: dividing by 1.0 changes nothing and is left out. memo may be null. With improved given,
// a steeper line only sets *improved and leaves E to the caller, who computes it once for the
// steepest line of the cell (Interpolated): the lines after it cannot change it.
template <bool Diagonal, typename Scan>
inline bool ApplyLineEstimate(const Scan& s, std::int32_t p0, double step, EstimateState& state,
                              GradientMemo* memo = nullptr, bool* improved = nullptr) {
  // A side that met no contour leaves the line skipped.
  const std::int64_t length = std::int64_t{s.UpNearP()} - s.DownNearP();
  if (length == 0 || !IsHeight(s.UpNearV()) || !IsHeight(s.DownNearV())) return false;
  const double l = static_cast<double>(length);
  const std::int32_t dhInt = s.UpNearV() - s.DownNearV();
  const double dh = static_cast<double>(dhInt);
  double gradient;
  if (memo != nullptr && memo->Dh == dhInt && memo->Length == length) {
    gradient = memo->Gradient;
  } else {
    gradient = Diagonal ? std::fabs(dh / l) / step : std::fabs(dh / l);
    if (memo != nullptr) *memo = {dhInt, static_cast<std::int32_t>(length), gradient};
  }
  if (gradient > state.BestGradient) {
    // Linear interpolation between the two nearest contours.
    state.BestGradient = gradient;
    if (improved != nullptr)
      *improved = true;
    else
      state.E = Interpolated(p0, s.DownNearP(), length, dhInt, s.DownNearV());
    state.HaveE = true;
  }
  if (state.BestGradient == 0.0) ExtrapolateFlat(s, p0, step, l, state);
  return true;
}

inline std::int16_t StoredEstimate(double e) {
#if defined(__x86_64__)
  // An estimate lies well within 2^51 of zero (a fraction of at most the grid's side times a
  // 16-bit step, plus a height), where the conversion rounds to the nearest, halves to even, as
  // RoundToInt does: one instruction, for every cell.
  return Wrap16(-_mm_cvtsd_si64(_mm_set_sd(e)));
#else
  return Wrap16(-RoundToInt(e));
#endif
}
inline std::int16_t StoredEstimate(const EstimateState& state) { return StoredEstimate(state.E); }

}  // namespace terrak
