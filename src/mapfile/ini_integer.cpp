#include "mapfile/ini_integer.h"

namespace terrak {

namespace {

// Beyond this no caller's range can be met, and the sum cannot overflow.
constexpr std::int64_t kDecimalLimit = 1'000'000'000'000'000;
constexpr std::int64_t kHexLimit = 0xFFFFFFFF;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::int64_t> ParseHex(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : digits) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + digit;
    if (value > kHexLimit) return std::nullopt;
  }
  // Eight hexadecimal digits are a 32-bit pattern: the top bit is the sign.
  return value > 0x7FFFFFFF ? value - 0x100000000 : value;
}

std::optional<std::int64_t> ParseDecimal(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > kDecimalLimit) return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<std::int64_t> ParseIniInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  std::optional<std::int64_t> value;
  if (text.starts_with('$'))
    value = ParseHex(text.substr(1));
  else if (text.starts_with("0x") || text.starts_with("0X"))
    value = ParseHex(text.substr(2));
  else
    value = ParseDecimal(text);
  if (value && negative) *value = -*value;
  return value;
}

}  // namespace terrak
