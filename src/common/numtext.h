#pragma once
// Numbers shown to the user: right-aligned in a fixed field, padded with blanks on the left,
// with a fixed number of decimals. A number wider than the field is written in full.
#include <cstdint>
#include <string>

namespace terrak {

std::string FormatFixed(double value, int width, int decimals);
std::string FormatInt(std::int64_t value, int width = 0);

}  // namespace terrak
