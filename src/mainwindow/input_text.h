#pragma once
// Reading the answers of the two input boxes of the main window. An answer that is not a number,
// or a number out of range, gives nothing; the callers then say why in the status bar.
#include <cstdint>
#include <optional>
#include <string>

namespace terrak {

// "Tolerance in TWIPs": the first 11 characters read as a whole number (leading blanks and a
// sign allowed, nothing after the digits), accepted from 0 to 72.
std::optional<std::int16_t> ParseToleranceAnswer(const std::string& answer);
std::string ToleranceDefaultText(std::int16_t tolerance);
// Why a tolerance answer was not taken, for the status bar.
std::string ToleranceRefusal(const std::string& answer);

// "Height in metres (< 3000)": the first 6 characters read as a decimal number of metres, with a
// decimal point or a decimal comma ("12,5"); nothing when they are not a number. The reading
// does not depend on the locale the program runs in.
std::optional<double> ParseHeightMetres(const std::string& answer);
// Why the map cannot take a height of so many metres: empty when it can. The one place that
// decides which heights the input box accepts.
std::string HeightRangeProblem(double metres);
// Why a height answer was not taken, for the status bar; empty when it is taken.
std::string HeightRefusal(const std::string& answer);
// A height in range, as the map keeps it: decimetres, halves to even.
std::int32_t HeightDecimetres(double metres);
std::string HeightDefaultText(std::int32_t heightDecimetres);

}  // namespace terrak
