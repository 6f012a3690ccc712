#include "common/numtext.h"

#include <cstdio>

namespace terrak {

std::string FormatFixed(double value, int width, int decimals) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%*.*f", width, decimals, value);
  return buffer;
}

std::string FormatInt(std::int64_t value, int width) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%*lld", width, static_cast<long long>(value));
  return buffer;
}

}  // namespace terrak
