#include "mainwindow/input_text.h"

#include <cctype>
#include <cstdlib>

#include "common/numtext.h"
#include "common/rounding.h"

namespace terrak {

namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A plain decimal number: sign, digits with an optional fraction, an optional exponent. Leading
// and trailing blanks are allowed; anything else makes the text invalid.
std::optional<double> ReadDecimal(const std::string& text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  const std::size_t start = i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < n && IsDigit(text[i])) ++i, ++digits;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    if (i >= n || !IsDigit(text[i])) return std::nullopt;
    while (i < n && IsDigit(text[i])) ++i;
  }
  const std::size_t end = i;
  while (i < n && IsBlank(text[i])) ++i;
  if (i != n) return std::nullopt;
  return std::strtod(text.substr(start, end - start).c_str(), nullptr);
}

}  // namespace

std::optional<std::int16_t> ParseToleranceAnswer(const std::string& answer) {
  const std::string text = answer.substr(0, 11);
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return std::nullopt;
    value = value * 10 + (text[i] - '0');  // at most 11 digits: no overflow
  }
  if (negative) value = -value;
  if (value < 0 || value > 72) return std::nullopt;
  return static_cast<std::int16_t>(value);
}

std::string ToleranceDefaultText(std::int16_t tolerance) { return FormatInt(tolerance, 3); }

std::optional<std::int16_t> ParseHeightAnswer(const std::string& answer) {
  const std::optional<double> metres = ReadDecimal(answer.substr(0, 6));
  if (!metres || !(*metres < 3000)) return std::nullopt;
  const std::int64_t decimetres = RoundToInt(*metres * 10);
  if (decimetres < -32768) return std::nullopt;
  return static_cast<std::int16_t>(decimetres);
}

std::string HeightDefaultText(std::int32_t heightDecimetres) {
  return FormatFixed(heightDecimetres / 10.0, 3, 1).substr(0, 6);
}

}  // namespace terrak
