#include "viewer/options.h"

#include <charconv>

#include "common/numtext.h"

namespace terrak {

std::string OptionDefaultText(std::int32_t value) { return FormatInt(value, 3).substr(0, 3); }

std::optional<std::int32_t> ParseOptionAnswer(const std::string& answer, std::int32_t min,
                                              std::int32_t max) {
  const std::string text = answer.substr(0, 3);
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) return std::nullopt;
  if (text[start] == '+') ++start;  // a plus sign reads as a number too
  std::int32_t value = 0;
  const char* first = text.data() + start;
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, value);
  if (first == last || error != std::errc() || end != last) return std::nullopt;
  if (value < min || value > max) return std::nullopt;
  return value;
}

bool AskNumberOption(UserDialogs& dialogs, const NumberOption& option, std::int32_t& value) {
  const std::string answer =
      dialogs.Input(option.Caption, option.Prompt, OptionDefaultText(value));
  const std::optional<std::int32_t> number = ParseOptionAnswer(answer, option.Min, option.Max);
  if (!number) return false;
  value = *number;
  return true;
}

}  // namespace terrak
