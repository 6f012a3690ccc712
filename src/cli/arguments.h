#pragma once
// The values of terrak-cli's options, read from their text: nothing when the text is not one.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "terrain/viewpoint.h"

namespace terrak::cli {

// Pictures larger than this on either side are refused.
inline constexpr std::int32_t kLargestRenderSide = 10000;

// "101,103.2,10.1" as its items, each a symbol's number as a map shows it: digits, parts
// divided by single dots. Nothing when an item is none. Which symbols they are depends on the
// map (FindSymbols).
std::optional<std::vector<std::string>> ParseSymbolList(const std::string& text);

// A whole number in decimal, with an optional minus sign (no blanks, no other bases).
std::optional<std::int32_t> ParseWholeNumber(const std::string& text);

struct PictureSize {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

// "WxH", each side 1 to kLargestRenderSide pixels.
std::optional<PictureSize> ParsePictureSize(const std::string& text);

// A preset's name (N, S, E, W, NE, NW, SE, SW) or an eye point "x,y,z,bearing,incline" of
// finite numbers.
std::optional<std::variant<ViewpointIndex, TViewPoint>> ParseView(const std::string& text);

// A finite decimal number greater than 0 ("150", "2.5", "1e1"); no blanks, no sign.
std::optional<double> ParsePositiveNumber(const std::string& text);

// Whether text ends with tail, letters compared without regard to case.
bool EndsWithNoCase(const std::string& text, const std::string& tail);

// The shortest decimal text that reads back as the same double; whole numbers without a point.
std::string ShortestNumberText(double value);

}  // namespace terrak::cli
