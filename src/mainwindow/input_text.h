#pragma once
// Reading the answers of the two input boxes of the main window. Invalid or out-of-range answers
// give nothing and are ignored by the callers without a message.
#include <cstdint>
#include <optional>
#include <string>

namespace terrak {

// "Tolerance in TWIPs": the first 11 characters read as a whole number (leading blanks and a
// sign allowed, nothing after the digits), accepted from 0 to 72.
std::optional<std::int16_t> ParseToleranceAnswer(const std::string& answer);
std::string ToleranceDefaultText(std::int16_t tolerance);

// "Height in metres (< 3000)": the first 6 characters read as a decimal number below 3000; the
// result is ten times the number rounded (halves to even), in decimetres. An answer whose
// decimetres do not fit 16 bits is ignored like any other invalid one.
std::optional<std::int16_t> ParseHeightAnswer(const std::string& answer);
std::string HeightDefaultText(std::int32_t heightDecimetres);

}  // namespace terrak
