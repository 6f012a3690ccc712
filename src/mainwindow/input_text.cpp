#include "mainwindow/input_text.h"

#include <cctype>
#include <charconv>

#include "common/numtext.h"
#include "common/rounding.h"

namespace terrak {

namespace {

constexpr std::size_t kToleranceCharacters = 11;
constexpr std::size_t kHeightCharacters = 6;

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The answer without the blanks around it, as the status bar quotes it.
std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A plain decimal number: sign, digits with an optional fraction after a point or a comma, an
// optional exponent. Leading and trailing blanks are allowed; anything else makes the text
// invalid. from_chars reads it the same in every locale.
std::optional<double> ReadDecimal(const std::string& text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  std::string number;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') number += '-';
    ++i;
  }
  std::size_t digits = 0;
  for (; i < n && IsDigit(text[i]); ++i, ++digits) number += text[i];
  if (i < n && (text[i] == '.' || text[i] == ',')) {
    number += '.';
    for (++i; i < n && IsDigit(text[i]); ++i, ++digits) number += text[i];
  }
  if (digits == 0) return std::nullopt;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    number += text[i++];
    if (i < n && (text[i] == '+' || text[i] == '-')) number += text[i++];
    if (i >= n || !IsDigit(text[i])) return std::nullopt;
    for (; i < n && IsDigit(text[i]); ++i) number += text[i];
  }
  while (i < n && IsBlank(text[i])) ++i;
  if (i != n) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  // Out of range: too small for a double is 0, too large an infinity of the number's sign,
  // which the range check refuses.
  if (error == std::errc::result_out_of_range) {
    if (number.find("e-") != std::string::npos || number.find("E-") != std::string::npos) return 0.0;
    return number[0] == '-' ? -HUGE_VAL : HUGE_VAL;
  }
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::int16_t> ParseToleranceAnswer(const std::string& answer) {
  const std::string text = answer.substr(0, kToleranceCharacters);
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

std::string ToleranceRefusal(const std::string& answer) {
  return "Tolerance not changed: \"" + Trimmed(answer.substr(0, kToleranceCharacters)) +
         "\" is not a whole number from 0 to 72";
}

std::optional<double> ParseHeightMetres(const std::string& answer) {
  return ReadDecimal(answer.substr(0, kHeightCharacters));
}

std::string HeightRangeProblem(double metres) {
  if (!(metres < 3000)) return "heights must be below 3000 m";
  // The lowest six characters write as a plain number; which heights the map can keep, its
  // format says (HeightNotHeldMessage).
  if (!(metres >= -99999)) return "heights must be -99999 m or more";
  return "";
}

std::string HeightRefusal(const std::string& answer) {
  std::string quoted(1, '"');
  quoted += Trimmed(answer.substr(0, kHeightCharacters));
  quoted += '"';
  const std::optional<double> metres = ParseHeightMetres(answer);
  if (!metres) return "Height not changed: " + quoted + " is not a number of metres";
  const std::string problem = HeightRangeProblem(*metres);
  if (problem.empty()) return "";
  return "Height not changed: " + quoted + " is out of range, " + problem;
}

std::int32_t HeightDecimetres(double metres) {
  return static_cast<std::int32_t>(RoundToInt(metres * 10));
}

std::string HeightDefaultText(std::int32_t heightDecimetres) {
  return FormatFixed(heightDecimetres / 10.0, 3, 1).substr(0, kHeightCharacters);
}

}  // namespace terrak
