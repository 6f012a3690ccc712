// Conversions between the version 6/7/8 coded coordinates and the model's 16-bit units, the
// version 5 six-byte real, and the zoom index kept as a double.
#include <cmath>

#include "common/rounding.h"
#include "mapfile/ocad_file.h"

namespace terrak {

namespace {

// 0.01 mm to 1/1440 inch.
constexpr double kModelUnitsPerCoordUnit = 0.56693;

// Versions 6 to 8 keep their model values in 16 bits: a coordinate beyond stops at the edge.
std::int16_t ClampToModel(std::int64_t value) {
  if (value > 32767) return 32767;
  if (value < -32768) return -32768;
  return static_cast<std::int16_t>(value);
}

}  // namespace

Coord6 ConvertCoord6(std::int32_t coded) {
  Coord6 result;
  result.Flags = static_cast<std::uint8_t>(static_cast<std::uint32_t>(coded) & 0xFF);
  const std::int32_t position = coded / 256;  // truncates toward zero before scaling
  result.Value = ClampToModel(RoundToInt(position * kModelUnitsPerCoordUnit));
  return result;
}

Coord6 ConvertCoord8(std::int32_t coded) {
  Coord6 result;
  result.Flags = static_cast<std::uint8_t>(static_cast<std::uint32_t>(coded) & 0xFF);
  const std::int32_t position = coded >> 8;  // the upper 24 bits, sign and all
  result.Value = ClampToModel(RoundToInt(position * kModelUnitsPerCoordUnit));
  return result;
}

Coord6 ConvertCoordOf(int version, std::int32_t coded) {
  return version == 8 ? ConvertCoord8(coded) : ConvertCoord6(coded);
}

std::int32_t ModelToCoord6(std::int32_t model) {
  return static_cast<std::int32_t>(RoundToInt(model / kModelUnitsPerCoordUnit * 256));
}

double Real6ToDouble(const std::uint8_t* bytes) {
  const int exponent = bytes[0];
  if (exponent == 0) return 0.0;
  std::uint64_t mantissa = 0;
  for (int i = 5; i >= 1; --i) mantissa = (mantissa << 8) | bytes[i];
  const bool negative = (mantissa >> 39) & 1;
  mantissa &= (std::uint64_t{1} << 39) - 1;
  const double value =
      std::ldexp(1.0 + static_cast<double>(mantissa) / static_cast<double>(std::uint64_t{1} << 39),
                 exponent - 129);
  return negative ? -value : value;
}

std::int16_t ZoomFromDouble(double zoom) {
  // Anything that is not a number the 16-bit zoom index can hold shows the smallest zoom.
  constexpr std::int16_t kAnyOtherZoom = 6;
  if (!std::isfinite(zoom) || zoom < -32768.5 || zoom > 32767.5) return kAnyOtherZoom;
  const std::int64_t rounded = RoundToInt(zoom);
  if (rounded < -32768 || rounded > 32767) return kAnyOtherZoom;
  return static_cast<std::int16_t>(rounded);
}

}  // namespace terrak
