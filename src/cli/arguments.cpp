#include "cli/arguments.h"

#include <charconv>
#include <cmath>

namespace terrak::cli {

std::optional<std::vector<std::int16_t>> ParseSymbolList(const std::string& text) {
  std::vector<std::int16_t> symbols;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = text.find(',', start);
    const std::size_t end = comma == std::string::npos ? text.size() : comma;
    int value = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + end;
    const auto [ptr, error] = std::from_chars(first, last, value);
    if (first == last || error != std::errc() || ptr != last || value < -32768 || value > 32767)
      return std::nullopt;
    symbols.push_back(static_cast<std::int16_t>(value));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return symbols;
}

std::string ShortestNumberText(double value) {
  if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
    return std::to_string(static_cast<long long>(value));
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace terrak::cli
