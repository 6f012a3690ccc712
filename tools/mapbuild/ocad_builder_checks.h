#pragma once
// Range checks of the map builder: a value that its field cannot hold is a mistake in the test
// or the generator, reported instead of being silently cut.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace terrak::testing {

inline std::int16_t CheckedI16(std::int64_t value, const char* what) {
  if (value < -32768 || value > 32767)
    throw std::invalid_argument(std::string("OCAD map builder: ") + what + " " +
                                std::to_string(value) + " does not fit 16 bits");
  return static_cast<std::int16_t>(value);
}

inline std::int32_t CheckedI32(std::int64_t value, const char* what) {
  if (value < INT32_MIN || value > INT32_MAX)
    throw std::invalid_argument(std::string("OCAD map builder: ") + what + " " +
                                std::to_string(value) + " does not fit 32 bits");
  return static_cast<std::int32_t>(value);
}

}  // namespace terrak::testing
