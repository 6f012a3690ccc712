#pragma once
// Real-to-integer conversion used everywhere in the program: to the nearest integer, halves to
// the even neighbour (2.5 gives 2, 3.5 gives 4, -2.5 gives -2).
#include <cmath>
#include <cstdint>
#include <limits>

namespace terrak {

// The rounded value as a double; NaN and infinities pass through.
inline double RoundHalfEven(double value) {
  // nearbyint follows the current rounding mode, which the program never changes from the
  // default round-to-nearest-even.
  return std::nearbyint(value);
}

// The rounded value as an integer. NaN gives 0; values beyond the 64-bit range saturate, so a
// damaged input can never cause an undefined conversion.
inline std::int64_t RoundToInt(double value) {
  // Below 2^51 in size, adding and taking away 1.5 * 2^52 rounds to the nearest integer with
  // halves to even (the default rounding mode) exactly as nearbyint does, without a library
  // call; the 3D viewer rounds several times for every pixel it draws.
  if (std::fabs(value) < 0x1p51) return static_cast<std::int64_t>((value + 0x1.8p52) - 0x1.8p52);
  if (std::isnan(value)) return 0;
  const double r = std::nearbyint(value);
  if (r >= 9.2e18) return std::numeric_limits<std::int64_t>::max();
  if (r <= -9.2e18) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(r);
}

// Integer division truncating toward zero, as C++ does; named so call sites say what they mean.
constexpr std::int64_t DivTrunc(std::int64_t a, std::int64_t b) { return a / b; }

}  // namespace terrak
