#pragma once
// The numbers of the viewer's Options submenu, asked for in an input box.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/user_dialogs.h"

namespace terrak {

struct NumberOption {
  const char* Caption;  // of the input box
  const char* Prompt;
  std::int32_t Min;
  std::int32_t Max;
};

inline constexpr NumberOption kSmoothingOption{"Change smoothing factor", "Smoothing Factor (0-99)",
                                               0, 99};
inline constexpr NumberOption kSmoothingPassesOption{"Change smoothing passes",
                                                     "Smoothing Passes (1-9)", 1, 9};
inline constexpr NumberOption kGridIntervalOption{"Change Grid Interval", "Grid Interval (1-100)",
                                                  1, 100};
inline constexpr NumberOption kContourGapOption{
    "Change Contour Gap", "Maximum gap between contours (0-000 metres)", 0, 999};

// The current value right-aligned in 3 characters, kept to at most 3 characters.
std::string OptionDefaultText(std::int32_t value);

// The first 3 characters of the answer read as a whole number (blanks before it allowed);
// nothing when they are not a number or it lies outside min .. max.
std::optional<std::int32_t> ParseOptionAnswer(const std::string& answer, std::int32_t min,
                                              std::int32_t max);

// Asks for the option; stores an accepted answer in value and returns true. Cancel answers the
// default text, which is accepted again when it is in range.
bool AskNumberOption(UserDialogs& dialogs, const NumberOption& option, std::int32_t& value);

}  // namespace terrak
