#include "cli/arguments.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <utility>

namespace terrak::cli {

namespace {

// The items of a comma-separated list, empty ones included.
std::vector<std::string> SplitAtCommas(const std::string& text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    items.push_back(text.substr(start, comma == std::string::npos ? std::string::npos
                                                                   : comma - start));
    if (comma == std::string::npos) return items;
    start = comma + 1;
  }
}

template <typename Number>
std::optional<Number> WholeText(const std::string& text) {
  Number value{};
  const char* first = text.data();
  const char* last = first + text.size();
  const auto [end, error] = std::from_chars(first, last, value);
  if (first == last || error != std::errc() || end != last) return std::nullopt;
  return value;
}

bool SymbolItem(const std::string& item) {
  if (item.empty() || item.size() > 32 || item.front() == '.' || item.back() == '.' ||
      item.find("..") != std::string::npos)
    return false;
  return std::all_of(item.begin(), item.end(),
                     [](char c) { return c == '.' || (c >= '0' && c <= '9'); });
}

}  // namespace

std::optional<std::vector<std::string>> ParseSymbolList(const std::string& text) {
  std::vector<std::string> items = SplitAtCommas(text);
  if (!std::all_of(items.begin(), items.end(), SymbolItem)) return std::nullopt;
  return items;
}

std::optional<std::int32_t> ParseWholeNumber(const std::string& text) {
  return WholeText<std::int32_t>(text);
}

std::optional<PictureSize> ParsePictureSize(const std::string& text) {
  const std::size_t x = text.find('x');
  if (x == std::string::npos) return std::nullopt;
  const auto side = [](const std::string& part) -> std::optional<std::int32_t> {
    const std::optional<std::int32_t> value = WholeText<std::int32_t>(part);
    if (!value || *value < 1 || *value > kLargestRenderSide) return std::nullopt;
    return value;
  };
  const std::optional<std::int32_t> width = side(text.substr(0, x));
  const std::optional<std::int32_t> height = side(text.substr(x + 1));
  if (!width || !height) return std::nullopt;
  return PictureSize{*width, *height};
}

std::optional<std::variant<ViewpointIndex, TViewPoint>> ParseView(const std::string& text) {
  static constexpr std::pair<const char*, ViewpointIndex> kNames[] = {
      {"N", kNorthView},      {"S", kSouthView},      {"E", kEastView},
      {"W", kWestView},       {"NE", kNorthEastView}, {"NW", kNorthWestView},
      {"SE", kSouthEastView}, {"SW", kSouthWestView}};
  for (const auto& [name, index] : kNames)
    if (text == name) return index;

  const std::vector<std::string> items = SplitAtCommas(text);
  if (items.size() != 5) return std::nullopt;
  double numbers[5] = {};
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::string& item = items[i];
    const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), numbers[i]);
    if (item.empty() || error != std::errc() || end != item.data() + item.size() ||
        !std::isfinite(numbers[i]))
      return std::nullopt;
  }
  return TViewPoint{numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], 0, 0, 0};
}

std::optional<double> ParsePositiveNumber(const std::string& text) {
  double value = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  const auto [end, error] = std::from_chars(first, last, value);
  if (first == last || error != std::errc() || end != last || !std::isfinite(value) ||
      !(value > 0))
    return std::nullopt;
  return value;
}

bool EndsWithNoCase(const std::string& text, const std::string& tail) {
  if (text.size() < tail.size()) return false;
  return std::equal(tail.begin(), tail.end(), text.end() - static_cast<std::ptrdiff_t>(tail.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

std::string ShortestNumberText(double value) {
  if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
    return std::to_string(static_cast<long long>(value));
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace terrak::cli
