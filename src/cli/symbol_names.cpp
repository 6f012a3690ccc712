#include "cli/symbol_names.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <optional>

namespace terrak::cli {
namespace {

// The number a symbol's display text starts with ("10.1" of " 10.1 Contour").
std::string ShownNumber(const TmapSymbol& symbol) {
  const std::string& text = symbol.Text;
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) return {};
  return text.substr(start, text.find(' ', start) - start);
}

std::string Described(const TmapSymbol& symbol) {
  const std::size_t start = symbol.Text.find_first_not_of(' ');
  return start == std::string::npos ? std::to_string(symbol.Symbol) : symbol.Text.substr(start);
}

std::optional<std::int64_t> Digits(const std::string& text) {
  std::int64_t value = 0;
  if (text.empty() || text.size() > 10) return std::nullopt;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

// The program's numbers an item may stand for, the likelier first: on today's maps "101" is
// 101.0 before it is the number 101000 itself; "103.2" is 103002 there and "10.1" is 101 on
// OCAD 5 to 8 maps, where a number without a dot is the program's number.
std::vector<std::int64_t> NumbersOf(const std::string& item, std::int32_t scale) {
  std::vector<std::int64_t> numbers;
  const std::size_t dot = item.find('.');
  const std::optional<std::int64_t> main = Digits(item.substr(0, dot));
  if (!main) return numbers;
  if (dot == std::string::npos) {
    if (scale != 10) numbers.push_back(*main * scale);
    numbers.push_back(*main);
    return numbers;
  }
  const std::string subText = item.substr(dot + 1);
  const std::optional<std::int64_t> sub = Digits(subText);
  const std::size_t subDigits = scale == 10 ? 1 : 3;
  if (sub && subText.size() <= subDigits) numbers.push_back(*main * scale + *sub);
  return numbers;
}

// A number's value as a reader takes it: "103.2" is 103.2, "1.2.3" is 1.2.
std::optional<double> ValueOf(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// Up to three symbols whose shown numbers lie nearest the item's, a number ten times too large
// or too small counting as near (the old numbering is ten times the number shown).
std::string NearestSymbols(const std::string& item, const std::vector<TmapSymbol>& symbols) {
  const std::optional<double> wanted = ValueOf(item);
  std::vector<std::pair<double, const TmapSymbol*>> ranked;
  for (const TmapSymbol& symbol : symbols) {
    const std::optional<double> shown = ValueOf(ShownNumber(symbol));
    if (!shown) continue;
    double distance = 0;
    if (wanted)
      distance = std::min({std::fabs(*shown - *wanted), std::fabs(*shown - *wanted * 10),
                           std::fabs(*shown - *wanted / 10)});
    ranked.emplace_back(distance, &symbol);
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string names;
  for (std::size_t k = 0; k < ranked.size() && k < 3; ++k)
    names += (k == 0 ? "" : ", ") + Described(*ranked[k].second);
  return names;
}

bool Listed(std::int32_t number, const std::vector<TmapSymbol>& symbols) {
  return std::any_of(symbols.begin(), symbols.end(),
                     [number](const TmapSymbol& s) { return s.Symbol == number; });
}

SymbolNotFound NotFound(const std::string& item, const std::vector<TmapSymbol>& symbols) {
  const std::string nearest = NearestSymbols(item, symbols);
  return SymbolNotFound("the map has no symbol " + item +
                        (nearest.empty() ? std::string() : "; the nearest it has: " + nearest));
}

std::int32_t FindSymbol(const std::string& item, const MapModel& model) {
  const std::vector<TmapSymbol>& symbols = model.SymbolList;
  for (const TmapSymbol& symbol : symbols)
    if (ShownNumber(symbol) == item) return symbol.Symbol;
  const std::vector<std::int64_t> numbers = NumbersOf(item, model.SymbolNumberScale);
  for (const std::int64_t number : numbers)
    if (number <= INT32_MAX && Listed(static_cast<std::int32_t>(number), symbols))
      return static_cast<std::int32_t>(number);
  if (numbers.empty() || numbers.front() > INT32_MAX) throw NotFound(item, symbols);
  return static_cast<std::int32_t>(numbers.front());
}

}  // namespace

std::vector<std::int32_t> FindSymbols(const std::vector<std::string>& items,
                                      const MapModel& model) {
  std::vector<std::int32_t> symbols;
  for (const std::string& item : items) symbols.push_back(FindSymbol(item, model));
  return symbols;
}

void CheckSymbolsFound(const std::vector<std::string>& items,
                       const std::vector<std::int32_t>& symbols, const MapModel& model) {
  for (std::size_t k = 0; k < items.size() && k < symbols.size(); ++k) {
    const std::int32_t number = symbols[k];
    const bool found =
        Listed(number, model.SymbolList) ||
        std::any_of(model.MapObjects.begin(), model.MapObjects.end(),
                    [number](const TMapObject& object) { return object.Symbol == number; });
    if (!found) throw NotFound(items[k], model.SymbolList);
  }
}

}  // namespace terrak::cli
