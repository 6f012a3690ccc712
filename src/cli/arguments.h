#pragma once
// Small helpers for reading command-line arguments.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace terrak::cli {

// "101,102,-5" as numbers; nothing when any item is not a whole number in the 16-bit range.
std::optional<std::vector<std::int16_t>> ParseSymbolList(const std::string& text);

// The shortest decimal text that reads back as the same double; whole numbers without a point.
std::string ShortestNumberText(double value);

}  // namespace terrak::cli
